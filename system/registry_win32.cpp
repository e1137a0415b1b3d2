// One text value of the Windows registry, read and written through advapi32.

#include <windows.h>

#include "system/registry.h"

namespace vorlisk {

namespace {

// The handle of a root key given by its 32-bit value. Root handles are sign-extended on
// 64-bit Windows: HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002 there.
HKEY RootKey(unsigned long keyRoot) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(keyRoot)));
}

constexpr DWORD kReadBufferSize = 255;
// Every key-specific right (query and set value, create and enumerate sub-keys, notify,
// create link), without the standard rights.
constexpr REGSAM kKeyRights = 0x3F;

}  // namespace

std::string GetKeyValue(unsigned long keyRoot, const std::string& keyName,
                        const std::string& valueName) {
    HKEY key = nullptr;
    if (::RegOpenKeyA(RootKey(keyRoot), keyName.c_str(), &key) != ERROR_SUCCESS) return {};

    // The data is taken as text whatever its registry type: a REG_DWORD of 4 bytes gives
    // the text of its first three. Data of more than 255 bytes does not fit and gives nothing.
    std::string buffer(kReadBufferSize, ' ');
    DWORD size = kReadBufferSize;
    DWORD type = REG_EXPAND_SZ;
    LONG status = ::RegQueryValueExA(key, valueName.c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(buffer.data()), &size);
    std::string result;
    // The size counts the closing NUL, which is left out.
    if (status == ERROR_SUCCESS && size > 1) result = buffer.substr(0, size - 1);

    // A key that will not close cannot be reported from here (there is no window to show a
    // warning in); the value read stands either way.
    ::RegCloseKey(key);
    return result;
}

bool SetKeyValue(unsigned long keyRoot, const std::string& keyName, unsigned long type,
                 const std::string& valueName, std::string& keyVal) {
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExA(RootKey(keyRoot), keyName.c_str(), 0, kKeyRights, &key);
    // A missing key is created; how that went shows only in the writing that follows.
    if (status != ERROR_SUCCESS) {
        key = nullptr;
        ::RegCreateKeyA(RootKey(keyRoot), keyName.c_str(), &key);
    }
    if (type == REG_SZ) {
        // The data is the text with its NUL, but the size given counts the text alone.
        // Windows (and Wine) count a NUL that follows the data in, so the value is stored
        // whole with its NUL and GetKeyValue reads it back unchanged; without the NUL in the
        // data it would come back one character short. The empty text is stored as 0 bytes.
        const std::string data = keyVal + '\0';
        status = ::RegSetValueExA(key, valueName.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(data.data()),
                                  static_cast<DWORD>(keyVal.size()));
    }
    if (status != ERROR_SUCCESS) keyVal.clear();
    if (key) ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

}  // namespace vorlisk
