#include "app/find.h"

#include <algorithm>
#include <optional>

#include "system/asciicase.h"
#include "system/textencoding.h"

namespace vorlisk {

namespace {

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

// The characters of `text`, each read as either encoding wrote it and case-folded.
void Fold(const std::string& text, std::u32string& folded) {
    folded.clear();
    for (size_t i = 0; i < text.size();) folded.push_back(FoldCase(NextCharacter(text, i)));
}

// Compares names against one search text, preparing the search text once.
class Matcher {
  public:
    explicit Matcher(const std::string& part) {
        Fold(part, foldedPart_);
        asciiPart_ = std::all_of(foldedPart_.begin(), foldedPart_.end(),
                                 [](char32_t c) { return c < 0x80; });
        if (asciiPart_)
            for (char32_t c : foldedPart_) lowerAscii_.push_back(static_cast<char>(c));
    }

    bool Matches(const std::string& text) {
        // An ASCII name folds to its own lower-case bytes: it cannot hold a folded text with
        // letters beyond ASCII, and is searched for an ASCII one without decoding.
        if (IsAscii(text)) return asciiPart_ && ContainsAscii(text, lowerAscii_);
        Fold(text, foldedText_);
        return foldedText_.find(foldedPart_) != std::u32string::npos;
    }

    // True when both look for the same folded text, and so match the same names.
    bool SameAs(const Matcher& other) const { return foldedPart_ == other.foldedPart_; }

  private:
    std::u32string foldedPart_;
    bool asciiPart_ = false;
    std::string lowerAscii_;     // the folded text, when it is ASCII
    std::u32string foldedText_;  // reused for every name
};

}  // namespace

int FindNextName(int count, const std::function<const std::string&(int)>& nameAt, int selected,
                 const std::string& searchText, const std::string& otherSpelling) {
    if (searchText.empty() || !nameAt) return -1;
    Matcher matcher(searchText);
    std::optional<Matcher> other;
    if (!otherSpelling.empty()) {
        other.emplace(otherSpelling);
        if (other->SameAs(matcher)) other.reset();
    }
    int start = selected < 0 ? 0 : selected + 1;
    for (int i = start; i < count; ++i) {
        const std::string& name = nameAt(i);
        if (matcher.Matches(name) || (other && other->Matches(name))) return i;
    }
    return -1;
}

}  // namespace vorlisk
