#include <clocale>
#include <cwchar>
#include <cwctype>
#include <string_view>

#include "inventory/collation.h"

namespace vorlisk {

bool CollatesByCode() {
    const char* locale = std::setlocale(LC_COLLATE, nullptr);
    if (!locale) return true;
    std::string_view name(locale);
    return name == "C" || name == "POSIX" || name.substr(0, 2) == "C.";
}

void AppendFolded(const std::string& name, std::wstring& folded) {
    std::mbstate_t state{};
    const char* p = name.data();
    size_t left = name.size();
    while (left > 0) {
        wchar_t wc = 0;
        size_t used = std::mbrtowc(&wc, p, left, &state);
        if (used == 0) used = 1;  // an embedded NUL
        if (used == static_cast<size_t>(-1) || used == static_cast<size_t>(-2)) {
            wc = static_cast<wchar_t>(0xE000 + static_cast<unsigned char>(*p));
            used = 1;
            state = std::mbstate_t{};
        }
        folded.push_back(static_cast<wchar_t>(std::towlower(static_cast<wint_t>(wc))));
        p += used;
        left -= used;
    }
}

std::optional<std::wstring> CollationKey(const std::wstring& folded) {
    // Room for what the transformation usually needs, so that it mostly runs once.
    std::wstring collated(folded.size() * 8 + 16, L'\0');
    size_t needed = std::wcsxfrm(collated.data(), folded.c_str(), collated.size());
    if (needed != static_cast<size_t>(-1) && needed >= collated.size()) {
        collated.assign(needed + 1, L'\0');
        needed = std::wcsxfrm(collated.data(), folded.c_str(), collated.size());
    }
    if (needed == static_cast<size_t>(-1)) return std::nullopt;
    collated.resize(needed);
    return collated;
}

}  // namespace vorlisk
