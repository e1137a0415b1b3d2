#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "system/files.h"
#include "system/folders.h"
#include "system/services.h"

namespace vorlisk {

namespace {

// An XDG base folder followed by one separator: the variable's value when it is an absolute
// path (a relative one is invalid and ignored, as the XDG base directories ask), else
// `underHome` in $HOME. Empty when neither is set.
std::string XdgFolder(const char* variable, const char* underHome) {
    const char* value = std::getenv(variable);
    if (value && value[0] == '/') return std::string(value) + "/";
    const char* home = std::getenv("HOME");
    if (home && *home) return std::string(home) + "/" + underHome + "/";
    return {};
}

}  // namespace

std::string ConfigFolder() {
    std::string folder = XdgFolder("XDG_CONFIG_HOME", ".config");
    return folder.empty() ? "/" : folder;
}

std::string ProgramFolder() {
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return "./";
    std::string path(buffer, static_cast<size_t>(length));
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "./" : path.substr(0, slash + 1);
}

std::string DataFolder(const std::string& programFolder) {
    if (PathExists(programFolder + "portable.txt") || PathExists(programFolder + "gameinv.txt"))
        return programFolder;
    std::string base = XdgFolder("XDG_DATA_HOME", ".local/share");
    if (base.empty()) return programFolder;
    std::string folder = base + "vorlisk/";
    // A folder that cannot be made shows itself later, when a save names it in its message.
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

std::string InstallPrefix(const std::string& programFolder) {
    size_t end = programFolder.find_last_not_of('/');
    if (end == std::string::npos) return programFolder;  // the root folder has no parent
    size_t slash = programFolder.rfind('/', end);
    return slash == std::string::npos ? programFolder + "../" : programFolder.substr(0, slash + 1);
}

std::string InstalledReadme(const std::string& programFolder) {
    return InstallPrefix(programFolder) + "share/doc/vorlisk/README.md";
}

std::string ShippedFile(const std::string& appPath, const std::string& programFolder,
                        const std::string& name) {
    for (const std::string& path : {appPath + name, programFolder + name,
                                    InstallPrefix(programFolder) + "share/vorlisk/" + name})
        if (FileExists(path)) return path;
    return appPath + name;
}

std::string ShortPathOf(const std::string& path) { return PathExists(path) ? path : std::string(); }

std::string PlatformServices::ApplicationFolder() { return DataFolder(vorlisk::ProgramFolder()); }

std::string PlatformServices::ProgramFolder() { return vorlisk::ProgramFolder(); }

std::string PlatformServices::WindowsDirectory() { return ConfigFolder(); }

std::string PlatformServices::ShortPathName(const std::string& path) { return ShortPathOf(path); }

}  // namespace vorlisk
