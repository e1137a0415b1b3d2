#pragma once
// Small text helpers. Texts are compared with ASCII letters taken without regard to case,
// other bytes as they are: keywords, file types, registry names and game IDs are compared
// this way.

#include <algorithm>
#include <string>
#include <string_view>

namespace vorlisk {

inline char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
inline char UpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string LowerAsciiText(std::string text) {
    for (char& c : text) c = LowerAscii(c);
    return text;
}

inline std::string UpperAsciiText(std::string text) {
    for (char& c : text) c = UpperAscii(c);
    return text;
}

inline bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

inline bool BeginsWithIgnoringCase(std::string_view text, std::string_view head) {
    return text.size() >= head.size() && EqualIgnoringCase(text.substr(0, head.size()), head);
}

inline bool EndsWithIgnoringCase(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() &&
           EqualIgnoringCase(text.substr(text.size() - tail.size()), tail);
}

// Position of `needle` in `text` from `from`, case ignored; npos when absent. An empty
// needle is found at `from`.
inline size_t FindIgnoringCase(std::string_view text, std::string_view needle, size_t from = 0) {
    if (from > text.size()) return std::string_view::npos;
    auto found =
        std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), needle.begin(),
                    needle.end(), [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
    return found == text.end() && !needle.empty() ? std::string_view::npos
                                                  : static_cast<size_t>(found - text.begin());
}

// The text without blanks (character 32 only) at either end.
inline std::string TrimBlanks(std::string_view text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

}  // namespace vorlisk
