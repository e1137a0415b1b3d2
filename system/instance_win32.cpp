// The program's own folder and the one-copy-per-user rule on Windows.

#include <windows.h>

#include "system/services.h"

namespace vorlisk {

std::string PlatformServices::ApplicationFolder() {
    char buffer[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    // 0 is a failure and the full size a path that did not fit.
    if (length == 0 || length >= sizeof buffer) return ".\\";
    std::string path(buffer, length);
    size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? ".\\" : path.substr(0, separator + 1);
}

bool PlatformServices::ClaimSingleInstance() {
    // A named mutex of the user's session, held for the life of the process: the mutex of a
    // copy that already runs is opened instead of created.
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, "Local\\Vorlisk.SingleInstance");
    if (mutex == nullptr) return true;  // no mutex to be had: do not refuse to start
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return false;
    }
    return true;  // the handle stays open until the program ends
}

}  // namespace vorlisk
