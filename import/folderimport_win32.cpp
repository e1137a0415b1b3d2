#include <windows.h>

#include "import/folderimport.h"
#include "system/widetext.h"

namespace vorlisk {

std::vector<std::string> ListPlainFiles(const std::string& folder) {
    std::vector<std::string> names;
    std::string pattern = folder;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';

    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW(WideText(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    const DWORD leftOut = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_DEVICE;
    do {
        if ((found.dwFileAttributes & leftOut) == 0) names.push_back(Utf8Text(found.cFileName));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

}  // namespace vorlisk
