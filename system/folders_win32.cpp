// The program's folder, the Windows folder and the short (8.3) form of a path.

#include <windows.h>

#include <cstring>

#include "system/folders.h"
#include "system/services.h"

namespace vorlisk {

std::string ConfigFolder() {
    // Windows keeps the launch script in its own folder: GetWindowsDirectoryA into a buffer
    // of 256 characters, and one backslash appended whatever the folder ends with.
    char buffer[256];
    UINT length = ::GetWindowsDirectoryA(buffer, sizeof buffer);
    // 0 is a failure; a length beyond the buffer means the name did not fit and the buffer
    // holds nothing usable. Either way only the backslash is left.
    if (length >= sizeof buffer) length = 0;
    return std::string(buffer, length) + "\\";
}

std::string ProgramFolder() {
    char buffer[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    // 0 is a failure and the full size a path that did not fit.
    if (length == 0 || length >= sizeof buffer) return ".\\";
    std::string path(buffer, length);
    size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? ".\\" : path.substr(0, separator + 1);
}

// The data files lie beside the program.
std::string DataFolder(const std::string& programFolder) { return programFolder; }

std::string ShippedFile(const std::string& appPath, const std::string&, const std::string& name) {
    return appPath + name;
}

std::string ShortPathOf(const std::string& path) {
    // A buffer of 255 blanks: the answer is its text up to the first NUL, and a buffer
    // without any NUL means the call failed (a missing path, or a short form of 255
    // characters or more). The call's return value is not needed for that.
    std::string buffer(255, ' ');
    ::GetShortPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    const size_t nul = buffer.find('\0');
    if (nul == std::string::npos) return {};
    buffer.resize(nul);
    return buffer;
}

std::string PlatformServices::ApplicationFolder() { return DataFolder(vorlisk::ProgramFolder()); }

std::string PlatformServices::ProgramFolder() { return vorlisk::ProgramFolder(); }

std::string PlatformServices::WindowsDirectory() { return ConfigFolder(); }

std::string PlatformServices::ShortPathName(const std::string& path) { return ShortPathOf(path); }

}  // namespace vorlisk
