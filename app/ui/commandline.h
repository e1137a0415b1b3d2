#pragma once
// The program's command line: --help and --version, read before any window opens, so that
// both, and a wrong argument, work without a display.

#include <QString>
#include <QStringList>
#include <optional>

namespace vorlisk {

// What the program prints before it ends at once: on standard output with exit code 0, on
// standard error otherwise.
struct CommandLineEnd {
    int exitCode = 0;
    QString text;
};

// Reads `arguments` (the program's name first). Nothing when the program is to start: no
// arguments, or only the options of Qt's own window system (-platform, -style, ...), which
// QApplication takes. The help or the version ends with code 0; an unknown option or any
// other argument ends with code 2 and the usage. Needs a QCoreApplication.
std::optional<CommandLineEnd> ReadCommandLine(const QStringList& arguments);

}  // namespace vorlisk
