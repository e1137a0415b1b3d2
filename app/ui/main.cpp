#include <QApplication>
#include <QCommandLineParser>
#include <QStyleFactory>
#include <cstdio>
#include <cstring>
#include <optional>

#include "app/ui/comeforward.h"
#include "app/ui/formGameInventory.h"
#include "app/ui/sessionend.h"
#include "app/ui/userinterface.h"
#include "system/services.h"

namespace {

// Reads the command line, which knows only --help and --version. Answers the exit code when
// the program is to end at once: 0 after the help or the version, 2 for a wrong argument.
std::optional<int> ReadCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A catalogue of PlayStation games and their disc images, with a launcher."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    QString wrong;
    if (!parser.parse(arguments))
        wrong = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        wrong = QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments()[0]);
    if (!wrong.isEmpty()) {
        std::fprintf(stderr, "vorlisk: %s\nTry 'vorlisk --help' for more information.\n",
                     qPrintable(wrong));
        return 2;
    }
    if (parser.isSet(help)) parser.showHelp(0);
    if (parser.isSet(version)) parser.showVersion();
    return std::nullopt;
}

// True when the command line asks for the help or the version, which need no display.
bool AsksForText(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "-?", "--help", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("Vorlisk"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORLISK_VERSION));
    if (AsksForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        return ReadCommandLine(QCoreApplication::arguments()).value_or(0);
    }

    // Qt takes its own options (such as -platform) from the command line here.
    QApplication app(argc, argv);
    if (std::optional<int> end = ReadCommandLine(QCoreApplication::arguments())) return *end;
    // Wayland matches the window to the installed desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.vorlisk"));
    // Fusion draws the back colour that marks unsaved edits on every platform.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    vorlisk::LetOversizedWritesFail();
    vorlisk::PlatformServices system;
    vorlisk::QtUserInterface ui;
    vorlisk::formGameInventory window(system, ui);
    if (!window.Form_Load()) {
        // Another copy runs on the data folder: it comes to the front, and this one ends.
        vorlisk::AskRunningCopyToComeForward(window.AppPath());
        return 0;
    }
    vorlisk::ListenForLaterStarts(window, window.AppPath());
    vorlisk::SessionEnd sessionEnd(window);
    window.show();
    return app.exec();
}
