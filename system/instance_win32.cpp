// The one-copy-per-user rule on Windows.

#include <windows.h>

#include "system/services.h"

namespace vorlisk {

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
