#include "system/processes.h"

#include <algorithm>

namespace vorlisk {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() &&
           EqualIgnoringCase(text.substr(text.size() - tail.size()), tail);
}

bool BeginsWithIgnoringCase(std::string_view text, std::string_view head) {
    return text.size() >= head.size() && EqualIgnoringCase(text.substr(0, head.size()), head);
}

}  // namespace

bool ProcessNameMatches(const std::string& processText, const std::string& myName) {
    if (myName.find('.') != std::string::npos) return EndsWithIgnoringCase(processText, myName);
    // Every text ends in the empty name, so the empty name stands for ".exe" alone.
    if (!myName.empty() && EndsWithIgnoringCase(processText, myName)) return true;
    return EndsWithIgnoringCase(processText, myName + ".exe");
}

std::optional<size_t> ChooseWindow(const std::vector<WindowEntry>& windows,
                                   const std::string& title) {
    for (size_t i = 0; i < windows.size(); ++i)
        if (EqualIgnoringCase(windows[i].title, title)) return i;
    for (size_t i = 0; i < windows.size(); ++i)
        if (BeginsWithIgnoringCase(windows[i].title, title)) return i;
    return std::nullopt;
}

std::string EscapeRegexText(const std::string& text) {
    // "]" and "}" are ordinary once "[" and "{" are escaped; escaping them is undefined.
    static constexpr std::string_view kSpecial = ".[\\*^$+?(){|";
    std::string escaped;
    escaped.reserve(text.size() + 8);
    for (char c : text) {
        if (kSpecial.find(c) != std::string_view::npos) escaped.push_back('\\');
        escaped.push_back(c);
    }
    return escaped;
}

}  // namespace vorlisk
