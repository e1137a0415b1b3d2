#include "app/ui/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace vorlisk {

namespace {

// The options that QApplication and its platforms take from the command line themselves,
// with or without a value. They pass here and are left to it.
struct QtOption {
    const char* name;
    bool value;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},    {"platformpluginpath", true}, {"platformtheme", true},
    {"plugin", true},      {"qwindowgeometry", true},    {"geometry", true},
    {"qwindowtitle", true}, {"title", true},             {"qwindowicon", true},
    {"icon", true},        {"session", true},            {"display", true},
    {"name", true},        {"visual", true},             {"style", true},
    {"stylesheet", true},  {"qmljsdebugger", true},      {"reverse", false},
    {"widgetcount", false}, {"nograb", false},           {"dograb", false},
    {"sync", false},
};

}  // namespace

std::optional<CommandLineEnd> ReadCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's own options begin with one dash: -platform is one option, not -p -l -a ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("A catalogue of PlayStation games and their disc images, with a launcher."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information."));
    parser.addOption(help);
    parser.addOption(version);
    for (const QtOption& qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name), QString(),
                                  qt.value ? QStringLiteral("value") : QString());
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    QString wrong;
    if (!parser.parse(arguments))
        wrong = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        wrong = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments()[0]);
    if (!wrong.isEmpty())
        return CommandLineEnd{2, QStringLiteral("vorlisk: %1\n\n%2").arg(wrong, parser.helpText())};
    if (parser.isSet(help)) return CommandLineEnd{0, parser.helpText()};
    if (parser.isSet(version))
        return CommandLineEnd{0, QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                             QCoreApplication::applicationVersion())};
    return std::nullopt;
}

}  // namespace vorlisk
