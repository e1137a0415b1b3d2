#include <windows.h>

#include <algorithm>

#include "system/readonlyfile.h"
#include "system/widetext.h"

namespace vorlisk {

ReadOnlyFile::ReadOnlyFile(const std::string& path) {
    const std::wstring name = WideText(path);
    DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        reason_ = "it is a folder";
        return;
    }
    // Pipes and devices are turned away below.
    HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason_ = LastErrorText();
        return;
    }
    LARGE_INTEGER size{};
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        reason_ = "it is not a regular file";
        ::CloseHandle(file);
        return;
    }
    if (!::GetFileSizeEx(file, &size)) {
        reason_ = LastErrorText();
        ::CloseHandle(file);
        return;
    }
    handle_ = reinterpret_cast<intptr_t>(file);
    size_ = static_cast<uint64_t>(size.QuadPart);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (IsOpen()) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

size_t ReadOnlyFile::ReadSome(uint64_t offset, char* buffer, size_t length) const {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(length, 1u << 30));
    if (!::ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, wanted, &got, &at)) {
        reason_ = LastErrorText();
        return 0;
    }
    return got;
}

}  // namespace vorlisk
