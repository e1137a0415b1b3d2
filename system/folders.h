#pragma once
// Where the program, its data and the user's own settings live, and the short form of a path.

#include <string>
#include <vector>

namespace vorlisk {

// The folder of the user's configuration followed by one separator: $XDG_CONFIG_HOME when it
// is set to an absolute path, else $HOME/.config, else the root folder. The launch script
// daemount.ini and the folder of the registry store lie here.
std::string ConfigFolder();

// The folder of the running program's executable, ending in one separator.
std::string ProgramFolder();

// The folder of the data files (AppPath), ending in one separator: the program's own folder
// when a file portable.txt or gameinv.txt lies there (a portable program); otherwise the
// user's data folder, created when it is missing: on Windows %APPDATA%\Vorlisk\, on Linux
// $XDG_DATA_HOME/vorlisk/ when XDG_DATA_HOME is an absolute path, else
// $HOME/.local/share/vorlisk/. Without any such folder, the program's own folder.
std::string DataFolder(const std::string& programFolder);

// Linux: the folder that the program is installed in, the parent of its own folder ("/usr/"
// for "/usr/bin/"). Installed helpers lie below it in libexec/vorlisk/, shipped files in
// share/vorlisk/.
std::string InstallPrefix(const std::string& programFolder);

// The file `name` that ships with the program (such as games.txt), as it is to be read: the
// copy in the data folder `appPath` when present, else the one beside the executable, else
// (Linux) the installed one in share/vorlisk/. When none is present, the data folder's path,
// which reads as a missing file.
std::string ShippedFile(const std::string& appPath, const std::string& programFolder,
                        const std::string& name);

#ifdef _WIN32
// The real Program Files folders (the 64-bit one, then the 32-bit one when it differs), each
// ending in a backslash; those the system does not name are left out.
std::vector<std::string> ProgramFilesFolders();
#endif

// Where the README installed with the program lies: README.txt in the program's folder on
// Windows; on Linux share/doc/vorlisk/README.md below the installed prefix.
std::string InstalledReadme(const std::string& programFolder);

// The short form of `path`. Linux paths have no short form: the path itself when it names
// an existing file or folder, otherwise the empty text.
std::string ShortPathOf(const std::string& path);

}  // namespace vorlisk
