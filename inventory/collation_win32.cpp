// Names in the user's locale, as Explorer sorts them.

#include <windows.h>

#include "inventory/collation.h"
#include "system/widetext.h"

namespace vorlisk {

bool CollatesByCode() { return false; }

void AppendFolded(const std::string& name, std::wstring& folded) {
    const std::wstring text = WideText(name);
    const int length = static_cast<int>(text.size());
    std::wstring lower(text.size(), L'\0');
    // A text that the locale cannot fold keeps its case; its key still orders it.
    const bool lowered =
        length > 0 &&
        ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, LCMAP_LOWERCASE | LCMAP_LINGUISTIC_CASING,
                        text.data(), length, lower.data(), length, nullptr, nullptr, 0) == length;
    folded += lowered ? lower : text;
}

std::optional<std::wstring> CollationKey(const std::wstring& folded) {
    const int length = static_cast<int>(folded.size());
    const DWORD flags = LCMAP_SORTKEY | LINGUISTIC_IGNORECASE;
    int size = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, folded.data(), length, nullptr, 0,
                               nullptr, nullptr, 0);
    if (size <= 0) return std::nullopt;
    std::string bytes(static_cast<size_t>(size), '\0');
    size = ::LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, folded.data(), length,
                           reinterpret_cast<LPWSTR>(bytes.data()), size, nullptr, nullptr, 0);
    if (size <= 0) return std::nullopt;
    // The key is bytes, compared as unsigned bytes, and ends in a 0 that is left out.
    std::wstring key;
    for (int i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[static_cast<size_t>(i)]);
        if (byte == 0) break;
        key.push_back(static_cast<wchar_t>(byte));
    }
    return key;
}

}  // namespace vorlisk
