#include "app/ui/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace vorlisk {

namespace {

// The options that QApplication and its platforms take from the command line themselves,
// with a value and without. They pass here and are left to it.
constexpr const char* kQtOptionsWithValue =
    "platform platformpluginpath platformtheme plugin qwindowgeometry geometry qwindowtitle title "
    "qwindowicon icon session display name visual style stylesheet qmljsdebugger";
constexpr const char* kQtFlags = "reverse widgetcount nograb dograb sync";

}  // namespace

std::optional<CommandLineEnd> ReadCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    // Qt's own options begin with one dash: -platform is one option, not -p -l -a ...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("A catalogue of PlayStation games and their disc images, with a launcher."));
    const QCommandLineOption help(
        {QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")},
        QStringLiteral("Displays help on commandline options."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information."));
    parser.addOption(help);
    parser.addOption(version);
    auto addQtOptions = [&parser](const char* names, const QString& valueName) {
        for (const QString& name : QString::fromLatin1(names).split(QLatin1Char(' '))) {
            QCommandLineOption option(name, QString(), valueName);
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
    };
    addQtOptions(kQtOptionsWithValue, QStringLiteral("value"));
    addQtOptions(kQtFlags, QString());

    QString wrong;
    if (!parser.parse(arguments))
        wrong = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        wrong = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments()[0]);
    if (!wrong.isEmpty())
        return CommandLineEnd{2, QStringLiteral("vorlisk: %1\n\n%2").arg(wrong, parser.helpText())};
    if (parser.isSet(help)) return CommandLineEnd{0, parser.helpText()};
    if (parser.isSet(version))
        return CommandLineEnd{
            0, QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                             QCoreApplication::applicationVersion())};
    return std::nullopt;
}

}  // namespace vorlisk
