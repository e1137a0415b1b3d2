#include "app/find.h"

#include <algorithm>
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

// The text decoded under the current locale and folded by towlower, into `folded`.
void FoldWide(const std::string& text, std::wstring& folded) {
    folded.clear();
    std::mbstate_t state{};
    size_t i = 0;
    while (i < text.size()) {
        // Where a character begins, a byte below 0x80 is that ASCII character in every
        // locale the C library offers; ASCII letters fold the same way on both paths.
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            folded.push_back(static_cast<wchar_t>(LowerAscii(text[i++])));
            continue;
        }
        wchar_t wide = 0;
        size_t used = std::mbrtowc(&wide, text.data() + i, text.size() - i, &state);
        if (used == static_cast<size_t>(-1) || used == static_cast<size_t>(-2)) {
            wide = static_cast<wchar_t>(kUndecodedBase + static_cast<unsigned char>(text[i]));
            used = 1;
            state = std::mbstate_t{};
        } else if (used == 0) {
            used = 1;  // a NUL: every step takes at least one byte
        }
        if (static_cast<unsigned long>(wide) < 0x80)
            folded.push_back(static_cast<wchar_t>(LowerAscii(static_cast<char>(wide))));
        else
            folded.push_back(static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(wide))));
        i += used;
    }
}

// Compares names against one search text, preparing the search text once.
class Matcher {
  public:
    explicit Matcher(const std::string& part) {
        FoldWide(part, foldedPart_);
        asciiPart_ = std::all_of(foldedPart_.begin(), foldedPart_.end(),
                                 [](wchar_t c) { return static_cast<unsigned long>(c) < 0x80; });
        if (asciiPart_)
            for (wchar_t c : foldedPart_) lowerAscii_.push_back(static_cast<char>(c));
    }

    bool Matches(const std::string& text) {
        // An ASCII name folds to its own lower-case bytes: it cannot hold a folded text with
        // letters beyond ASCII, and is searched for an ASCII one without decoding.
        if (IsAscii(text)) return asciiPart_ && ContainsAscii(text, lowerAscii_);
        FoldWide(text, foldedText_);
        return foldedText_.find(foldedPart_) != std::wstring::npos;
    }

  private:
    std::wstring foldedPart_;
    bool asciiPart_ = false;
    std::string lowerAscii_;   // the folded text, when it is ASCII
    std::wstring foldedText_;  // reused for every name
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
