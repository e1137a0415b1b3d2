#include <cstdlib>

#include "system/files.h"
#include "system/folders.h"
#include "system/services.h"

namespace vorlisk {

std::string ConfigFolder() {
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG base directories ask.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/.config/";
    return "/";
}

std::string ShortPathOf(const std::string& path) { return PathExists(path) ? path : std::string(); }

std::string PlatformServices::WindowsDirectory() { return ConfigFolder(); }

std::string PlatformServices::ShortPathName(const std::string& path) { return ShortPathOf(path); }

}  // namespace vorlisk
