#pragma once
// Where the user's own settings live, and the short form of a path.

#include <string>

namespace vorlisk {

// The folder of the user's configuration followed by one separator: $XDG_CONFIG_HOME when it
// is set to an absolute path, else $HOME/.config, else the root folder. The launch script
// daemount.ini and the folder of the registry store lie here.
std::string ConfigFolder();

// The short form of `path`. Linux paths have no short form: the path itself when it names
// an existing file or folder, otherwise the empty text.
std::string ShortPathOf(const std::string& path);

}  // namespace vorlisk
