#include "system/commandline.h"

#include <cctype>

namespace vorlisk {

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;    // a word has begun, even if it is still empty ("")
    bool inQuotes = false;  // inside a double-quoted stretch
    size_t i = 0;
    const size_t n = commandLine.size();
    while (i < n) {
        char c = commandLine[i];
        if (c == '\\') {
            size_t run = 0;
            while (i < n && commandLine[i] == '\\') {
                ++run;
                ++i;
            }
            inWord = true;
            if (i < n && commandLine[i] == '"') {
                word.append(run / 2, '\\');
                if (run % 2 == 1) {
                    word.push_back('"');
                    ++i;
                }
                // With an even run the quote is read by the next turn and toggles.
            } else {
                word.append(run, '\\');
            }
            continue;
        }
        if (c == '"') {
            inQuotes = !inQuotes;
            inWord = true;
            ++i;
            continue;
        }
        if ((c == ' ' || c == '\t') && !inQuotes) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
            ++i;
            continue;
        }
        word.push_back(c);
        inWord = true;
        ++i;
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

std::vector<std::string> SplitProgramAndArguments(
    const std::string& commandLine, const std::function<bool(const std::string&)>& isProgram) {
    std::vector<std::string> words = SplitCommandLine(commandLine);
    if (words.empty()) return words;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const size_t begin = commandLine.find_first_not_of(" \t");
    // Runs end only in the plain text before the first quote: a word that holds a quote is
    // an argument.
    const size_t quote = commandLine.find('"', begin);
    const size_t plainEnd = quote == std::string::npos ? commandLine.size() : quote;
    std::vector<size_t> ends;  // where the words of the plain text end, in order
    for (size_t i = begin + 1; i < plainEnd; ++i)
        if (blank(commandLine[i]) && !blank(commandLine[i - 1])) ends.push_back(i);
    if (quote == std::string::npos && !blank(commandLine.back()))
        ends.push_back(commandLine.size());
    // Longest first, down to the first word alone.
    for (size_t k = ends.size(); k-- > 0;) {
        std::string program = commandLine.substr(begin, ends[k] - begin);
        if (!isProgram(program)) continue;
        std::vector<std::string> resolved = SplitCommandLine(commandLine.substr(ends[k]));
        resolved.insert(resolved.begin(), std::move(program));
        return resolved;
    }
    return words;
}

std::string EscapeInsideQuotes(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size() + 2);
    size_t backslashes = 0;
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            escaped.push_back(c);
            continue;
        }
        if (c == '"') {
            // Double the backslashes already written and escape the quote itself.
            escaped.append(backslashes, '\\');
            escaped += "\\\"";
        } else {
            escaped.push_back(c);
        }
        backslashes = 0;
    }
    // Backslashes at the end come right before the closing quote that the caller adds.
    escaped.append(backslashes, '\\');
    return escaped;
}

std::string WindowsProgramFolder(const std::string& commandLine,
                                 const std::function<bool(const std::string&)>& isProgram) {
    const std::vector<std::string> words = SplitProgramAndArguments(commandLine, isProgram);
    if (words.empty()) return {};
    const std::string& program = words[0];
    auto separator = [](char c) { return c == '\\' || c == '/'; };
    const bool onDrive = program.size() > 2 && std::isalpha(static_cast<unsigned char>(program[0])) &&
                         program[1] == ':' && separator(program[2]);
    const bool onShare = program.size() > 2 && separator(program[0]) && separator(program[1]);
    if (!onDrive && !onShare) return {};
    return program.substr(0, program.find_last_of("\\/") + 1);
}

std::string QuoteArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
    return "\"" + EscapeInsideQuotes(argument) + "\"";
}

}  // namespace vorlisk
