#include "system/processes.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "system/asciicase.h"

namespace vorlisk {

bool ProcessNameMatches(const std::string& processText, const std::string& myName) {
    if (myName.find('.') != std::string::npos) return EndsWithIgnoringCase(processText, myName);
    // Every text ends in the empty name, so the empty name stands for ".exe" alone.
    if (!myName.empty() && EndsWithIgnoringCase(processText, myName)) return true;
    return EndsWithIgnoringCase(processText, myName + ".exe");
}

namespace {

class NeverStarted : public StartedProgram {
  public:
    explicit NeverStarted(std::string failure) {
        outcome_.known = outcome_.ended = true;
        outcome_.failure = std::move(failure);
    }
    StartOutcome Poll() override { return outcome_; }
    bool Ended() override { return true; }

  private:
    StartOutcome outcome_;
};

}  // namespace

std::unique_ptr<StartedProgram> FailedStart(std::string failure) {
    return std::make_unique<NeverStarted>(std::move(failure));
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

std::string LastLines(const std::string& text, size_t count) {
    auto blank = [](char c) { return c == '\n' || c == '\r' || c == ' ' || c == '\t'; };
    size_t end = text.size();
    while (end > 0 && blank(text[end - 1])) --end;
    size_t begin = end;
    for (size_t lines = 0; begin > 0 && lines < count; --begin)
        if (text[begin - 1] == '\n' && ++lines == count) break;
    while (begin < end && blank(text[begin])) ++begin;
    std::string last;
    for (size_t i = begin; i < end; ++i)
        if (text[i] != '\r') last.push_back(text[i]);
    return last;
}

std::vector<std::string> SearchPathFolders(const std::string& pathVariable) {
    std::vector<std::string> folders;
    size_t start = 0;
    for (;;) {
        size_t colon = pathVariable.find(':', start);
        std::string folder =
            pathVariable.substr(start, colon == std::string::npos ? colon : colon - start);
        if (folder.empty()) folder = ".";
        if (folder.back() != '/') folder += '/';
        folders.push_back(std::move(folder));
        if (colon == std::string::npos) return folders;
        start = colon + 1;
    }
}

}  // namespace vorlisk
