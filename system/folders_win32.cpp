// The program's folder, the Windows folder, the Program Files folders and the short (8.3)
// form of a path.

#include <windows.h>
// After windows.h, which it needs.
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "system/files.h"
#include "system/folders.h"
#include "system/services.h"
#include "system/widetext.h"

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
    std::wstring buffer(32768, L'\0');
    DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    // 0 is a failure and the full size a path that did not fit.
    if (length == 0 || length >= buffer.size()) return ".\\";
    std::string path = Utf8Text(std::wstring_view(buffer.data(), length));
    size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? ".\\" : path.substr(0, separator + 1);
}

std::string DataFolder(const std::string& programFolder) {
    if (PathExists(programFolder + "portable.txt") || PathExists(programFolder + "gameinv.txt"))
        return programFolder;
    // Installed in Program Files, which a user cannot write: the user's roaming data folder.
    const DWORD size = ::GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    if (size <= 1) return programFolder;
    std::wstring appData(size, L'\0');
    appData.resize(::GetEnvironmentVariableW(L"APPDATA", appData.data(), size));
    if (appData.empty()) return programFolder;
    if (appData.back() != L'\\') appData += L'\\';
    const std::wstring folder = appData + L"Vorlisk\\";
    // A folder that cannot be made shows itself later, when a save names it in its message.
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return Utf8Text(folder);
}

std::string InstalledReadme(const std::string& programFolder) {
    return programFolder + "README.txt";
}

std::string ShippedFile(const std::string& appPath, const std::string& programFolder,
                        const std::string& name) {
    for (const std::string& path : {appPath + name, programFolder + name})
        if (FileExists(path)) return path;
    return appPath + name;
}

std::vector<std::string> ProgramFilesFolders() {
    std::vector<std::string> folders;
    for (const KNOWNFOLDERID* id : {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86}) {
        PWSTR path = nullptr;
        if (SUCCEEDED(::SHGetKnownFolderPath(*id, 0, nullptr, &path)) && path && *path) {
            std::string folder = Utf8Text(path);
            if (folder.back() != '\\') folder += '\\';
            if (std::find(folders.begin(), folders.end(), folder) == folders.end())
                folders.push_back(folder);
        }
        ::CoTaskMemFree(path);
    }
    return folders;
}

std::string ShortPathOf(const std::string& path) {
    // A buffer of 255 blanks: the answer is its text up to the first NUL, and a buffer
    // without any NUL means the call failed (a missing path, or a short form of 255
    // characters or more). The call's return value is not needed for that.
    std::wstring buffer(255, L' ');
    ::GetShortPathNameW(WideText(path).c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    const size_t nul = buffer.find(L'\0');
    if (nul == std::wstring::npos) return {};
    buffer.resize(nul);
    return Utf8Text(buffer);
}

std::string PlatformServices::ApplicationFolder() { return DataFolder(vorlisk::ProgramFolder()); }

std::string PlatformServices::ProgramFolder() { return vorlisk::ProgramFolder(); }

std::string PlatformServices::WindowsDirectory() { return ConfigFolder(); }

std::string PlatformServices::ShortPathName(const std::string& path) { return ShortPathOf(path); }

}  // namespace vorlisk
