#include "import/filefilter.h"

#include <algorithm>

#include "system/asciicase.h"

namespace vorlisk {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

void AddOnce(std::vector<std::string>& patterns, std::string pattern) {
    if (std::find(patterns.begin(), patterns.end(), pattern) == patterns.end())
        patterns.push_back(std::move(pattern));
}

// The patterns of one list as a case-sensitive chooser needs them.
std::vector<std::string> ChooserPatterns(const std::string& list) {
    std::vector<std::string> patterns;
    for (const std::string& part : Split(list, ';')) {
        std::string pattern = TrimBlanks(part);
        if (pattern.empty()) continue;
        if (pattern == "*.*") {
            AddOnce(patterns, "*");
            continue;
        }
        AddOnce(patterns, pattern);
        // "*.ext" without further wildcards: the extension in either case.
        bool simpleExtension = pattern.size() > 2 && pattern.compare(0, 2, "*.") == 0 &&
                               pattern.find_first_of("*?[", 2) == std::string::npos;
        if (simpleExtension) {
            AddOnce(patterns, LowerAsciiText(pattern));
            AddOnce(patterns, UpperAsciiText(pattern));
        }
    }
    return patterns;
}

}  // namespace

std::string ConvertFilterText(std::string filter) {
    if (filter.empty() || filter.back() != '|') filter.push_back('|');
    std::replace(filter.begin(), filter.end(), '|', '\0');
    return filter;
}

std::vector<std::string> ChooserNameFilters(const std::string& filter) {
    std::string converted = ConvertFilterText(filter);
    converted.pop_back();  // the NUL that ends the last string
    std::vector<std::string> strings = Split(converted, '\0');
    // As in the Windows dialog, an empty string (two NULs in a row) ends the list.
    auto end = std::find(strings.begin(), strings.end(), std::string());
    strings.erase(end, strings.end());

    std::vector<std::string> filters;
    for (size_t i = 0; i + 1 < strings.size(); i += 2) {
        std::vector<std::string> patterns = ChooserPatterns(strings[i + 1]);
        if (patterns.empty()) continue;
        std::string entry = strings[i] + " (";
        for (size_t k = 0; k < patterns.size(); ++k) {
            if (k > 0) entry += ' ';
            entry += patterns[k];
        }
        entry += ')';
        filters.push_back(std::move(entry));
    }
    return filters;
}

}  // namespace vorlisk
