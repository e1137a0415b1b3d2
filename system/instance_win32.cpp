// The one-copy rule on Windows.

#include <windows.h>

#include <string>

#include "system/services.h"
#include "system/widetext.h"

namespace vorlisk {

bool PlatformServices::ClaimSingleInstance() {
    // A named mutex of the user's session, held for the life of the process: the mutex of a
    // copy that already runs is opened instead of created.
    HANDLE mutex = ::CreateMutexA(nullptr, FALSE, "Local\\Vorlisk.SingleInstance");
    if (mutex != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        return false;
    }
    // And a lock inside the data folder, so that no two copies write one portable folder
    // (from two sessions, say): the file stays open without write sharing while the program
    // runs. A folder that cannot be written (the program installed read-only) holds no lock.
    const std::string lock = ApplicationFolder() + kInstanceLockName;
    HANDLE file =
        ::CreateFileW(WideText(lock).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION) {
        if (mutex != nullptr) ::CloseHandle(mutex);
        return false;
    }
    return true;  // the handles stay open until the program ends
}

}  // namespace vorlisk
