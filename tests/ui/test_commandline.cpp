#include <gtest/gtest.h>

#include <QCoreApplication>

#include "app/ui/commandline.h"

namespace vorlisk::testing {
namespace {

TEST(CommandLine, StartsOnlyWithoutArgumentsOrWithQtsOwnOptions) {
    // The program's name and version for this test alone.
    const QString name = QCoreApplication::applicationName();
    const QString version = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationName(QStringLiteral("Vorlisk"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    struct Case {
        QStringList arguments;  // after the program's name
        std::optional<int> exitCode;
        const char* text;  // what the printed text holds
    };
    const Case cases[] = {
        {{}, std::nullopt, ""},
        {{"-platform", "offscreen", "-style=fusion", "-reverse"}, std::nullopt, ""},
        {{"--help"}, 0, "--version"},
        {{"-?"}, 0, "--version"},
        {{"--version"}, 0, "Vorlisk 1.0\n"},
        {{"--help-all"}, 2, "Unknown option 'help-all'."},
        {{"--no-such-option"}, 2, "Usage: "},
        {{"game.iso"}, 2, "Unexpected argument 'game.iso'."},
        {{"-platform"}, 2, "Missing value after '-platform'."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        std::optional<CommandLineEnd> end =
            ReadCommandLine(QStringList{QStringLiteral("vorlisk")} + c.arguments);
        EXPECT_EQ(end.has_value(), c.exitCode.has_value());
        if (!end || !c.exitCode) continue;
        EXPECT_EQ(end->exitCode, *c.exitCode);
        EXPECT_TRUE(end->text.contains(QString::fromUtf8(c.text))) << end->text.toStdString();
        if (end->exitCode == 2) EXPECT_TRUE(end->text.contains(QStringLiteral("--help")));
    }
    QCoreApplication::setApplicationName(name);
    QCoreApplication::setApplicationVersion(version);
}

}  // namespace
}  // namespace vorlisk::testing
