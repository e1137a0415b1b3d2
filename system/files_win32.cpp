#include "system/files.h"

#include <windows.h>

#include <cerrno>
#include <cstring>

#include "system/services.h"
#include "system/widetext.h"

namespace vorlisk {

bool FileExists(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !GetFileAttributesExW(WideText(path).c_str(), GetFileExInfoStandard, &data))
        return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    return data.nFileSizeHigh != 0 || data.nFileSizeLow != 0;
}

bool PathExists(const std::string& path) {
    return !path.empty() && GetFileAttributesW(WideText(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

// The temporary file of a save of `path`. Nothing else makes a name like it, so a file of
// that name is ours to remove.
std::string TempFileOf(const std::string& path) { return path + ".vorlisk-new"; }

}  // namespace

void RemoveLeftoverTempFiles(const std::string& path) {
    // A save that is still writing the file keeps it open without sharing, so it is not
    // removed; neither is a folder or a link of that name.
    std::wstring temp = WideText(TempFileOf(path));
    DWORD attributes = GetFileAttributesW(temp.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return;
    DeleteFileW(temp.c_str());
}

WriteResult WriteFileSafely(const std::string& path, const std::string& content) {
    // A file left by a save that was cut short is written over and put in place.
    std::wstring temp = WideText(TempFileOf(path));
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {false, LastErrorText()};
    DWORD written = 0;
    bool ok =
        WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
        written == content.size() && FlushFileBuffers(file);
    std::string reason = ok ? std::string() : LastErrorText();
    CloseHandle(file);
    if (ok && !MoveFileExW(temp.c_str(), WideText(path).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        reason = LastErrorText();
    }
    if (!ok) {
        DeleteFileW(temp.c_str());
        return {false, reason};
    }
    return {true, {}};
}

// The file takes the place of whatever was at `path`, a link too, which is never written through.
WriteResult WriteOwnFileSafely(const std::string& path, const std::string& content) {
    return WriteFileSafely(path, content);
}

// Windows has no signal for a file-size limit: such a write fails by itself.
void LetOversizedWritesFail() {}

}  // namespace vorlisk
