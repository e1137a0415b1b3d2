#include "app/find.h"

#include <cwchar>
#include <cwctype>

#include "system/asciicase.h"

namespace vorlisk {

namespace {

// Bytes that do not decode under the locale are kept apart from every real letter by
// placing them in a private-use range.
constexpr wchar_t kUndecodedBase = 0xF700;

bool IsAscii(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// `lowerPart` is already in lower case.
bool ContainsAscii(const std::string& text, const std::string& lowerPart) {
    const size_t n = lowerPart.size();
    if (n == 0) return true;
    if (text.size() < n) return false;
    for (size_t i = 0; i + n <= text.size(); ++i) {
        size_t k = 0;
        while (k < n && LowerAscii(text[i + k]) == lowerPart[k]) ++k;
        if (k == n) return true;
    }
    return false;
}

// The text decoded under the current locale and folded by towlower.
std::wstring FoldWide(const std::string& text) {
    std::wstring folded;
    folded.reserve(text.size());
    std::mbstate_t state{};
    size_t i = 0;
    while (i < text.size()) {
        wchar_t wide = 0;
        size_t used = std::mbrtowc(&wide, text.data() + i, text.size() - i, &state);
        if (used == static_cast<size_t>(-1) || used == static_cast<size_t>(-2)) {
            wide = static_cast<wchar_t>(kUndecodedBase + static_cast<unsigned char>(text[i]));
            used = 1;
            state = std::mbstate_t{};
        } else if (used == 0) {
            used = 1;  // an embedded NUL
        }
        // ASCII letters fold the same way on both paths, whatever the locale.
        if (static_cast<unsigned long>(wide) < 0x80)
            folded.push_back(static_cast<wchar_t>(LowerAscii(static_cast<char>(wide))));
        else
            folded.push_back(static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(wide))));
        i += used;
    }
    return folded;
}

// Compares names against one search text, preparing the search text once.
class Matcher {
  public:
    explicit Matcher(const std::string& part)
        : lowerAscii_(LowerAsciiText(part)),
          asciiPart_(IsAscii(part)),
          foldedPart_(FoldWide(part)) {}

    bool Matches(const std::string& text) const {
        // The usual case, ASCII in ASCII, needs no decoding.
        if (asciiPart_ && IsAscii(text)) return ContainsAscii(text, lowerAscii_);
        return FoldWide(text).find(foldedPart_) != std::wstring::npos;
    }

  private:
    std::string lowerAscii_;
    bool asciiPart_;
    std::wstring foldedPart_;
};

}  // namespace

int FindNextName(int count, const std::function<const std::string&(int)>& nameAt, int selected,
                 const std::string& searchText) {
    if (searchText.empty() || !nameAt) return -1;
    Matcher matcher(searchText);
    int start = selected < 0 ? 0 : selected + 1;
    for (int i = start; i < count; ++i)
        if (matcher.Matches(nameAt(i))) return i;
    return -1;
}

}  // namespace vorlisk
