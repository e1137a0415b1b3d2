#include <QApplication>
#include <QStyleFactory>
#include <cstdio>
#include <optional>

#ifdef _WIN32
#include <windows.h>
#endif

#include "app/ui/comeforward.h"
#include "app/ui/commandline.h"
#include "app/ui/formGameInventory.h"
#include "app/ui/sessionend.h"
#include "app/ui/userinterface.h"
#include "system/services.h"

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QStringLiteral("Vorlisk"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORLISK_VERSION));
    // The command line is read before QApplication, which ends the program when there is no
    // display: the help, the version and a wrong argument need none.
    std::optional<vorlisk::CommandLineEnd> end;
    {
        QCoreApplication reader(argc, argv);
        end = vorlisk::ReadCommandLine(QCoreApplication::arguments());
    }
    if (end) {
#ifdef _WIN32
        // A window program has no console: started from one, it prints into that one, unless
        // its output already goes somewhere (a pipe, a file). From Explorer nothing changes.
        const HANDLE output = ::GetStdHandle(STD_OUTPUT_HANDLE);
        if ((!output || ::GetFileType(output) == FILE_TYPE_UNKNOWN) &&
            ::AttachConsole(ATTACH_PARENT_PROCESS)) {
            std::freopen("CONOUT$", "w", stdout);
            std::freopen("CONOUT$", "w", stderr);
        }
#endif
        std::fputs(end->text.toLocal8Bit().constData(), end->exitCode == 0 ? stdout : stderr);
        return end->exitCode;
    }

    // Qt takes its own options (such as -platform) from the command line here.
    QApplication app(argc, argv);
    // Wayland matches the window to the installed desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.vorlisk"));
    // Fusion draws the back colour that marks unsaved edits on every platform.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    vorlisk::LetOversizedWritesFail();
    vorlisk::PlatformServices system;
    vorlisk::QtUserInterface ui;
    vorlisk::formGameInventory window(system, ui);
    if (!vorlisk::OpenOnceTheFolderIsFree(window, ui, std::chrono::seconds(10))) return 0;
    vorlisk::ListenForLaterStarts(window, window.AppPath());
    vorlisk::SessionEnd sessionEnd(window);
    window.show();
    return app.exec();
}
