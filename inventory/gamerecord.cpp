#include "inventory/gamerecord.h"

#include <charconv>

namespace vorlisk {

std::string ReplaceText(std::string text, std::string_view find, std::string_view replacement) {
    if (find.empty()) return text;
    size_t p = text.find(find);
    if (p == std::string::npos) return text;
    std::string result;
    result.reserve(text.size());
    size_t from = 0;
    while (p != std::string::npos) {
        result.append(text, from, p - from);
        result.append(replacement);
        from = p + find.size();
        p = text.find(find, from);
    }
    result.append(text, from, std::string::npos);
    return result;
}

std::string GetField(int& position, const std::string& record) {
    if (position <= 0) return {};
    size_t start = static_cast<size_t>(position) - 1;
    if (start >= record.size()) return {};
    size_t tab = record.find('\t', start);
    if (tab == std::string::npos) {
        position = static_cast<int>(record.size()) + 1;
        return record.substr(start);
    }
    position = static_cast<int>(tab) + 2;
    return record.substr(start, tab - start);
}

std::string CleanName(std::string name) {
    for (char& c : name)
        if (c == '\t') c = ' ';
    return name;
}

std::string BuildRecord(const GameFields& f) {
    std::string record;
    auto add = [&record](std::string field) {
        record += CleanName(std::move(field));
        record += '\t';
    };
    add(TrimBlanks(f.id));
    add(f.genre);
    add(std::to_string(f.imageFlag));
    add(TrimBlanks(f.imagePath));
    add(TrimBlanks(f.firstPicture));
    add(TrimBlanks(f.secondPicture));
    add(f.emulator);
    record += ReplaceText(TrimBlanks(f.description), "\r\n", "\t");
    return record;
}

ShownRecord ReadRecord(const std::string& record) {
    ShownRecord shown;
    GameFields& f = shown.fields;
    int position = 1;
    f.id = GetField(position, record);
    f.genre = GetField(position, record);
    shown.imageFlagText = GetField(position, record);
    f.imageFlag = ParseImageFlag(shown.imageFlagText).value_or(0);
    f.imagePath = GetField(position, record);
    f.firstPicture = GetField(position, record);
    f.secondPicture = GetField(position, record);
    f.emulator = GetField(position, record);
    size_t rest = static_cast<size_t>(position) - 1;
    if (rest < record.size()) f.description = ReplaceText(record.substr(rest), "\t", "\r\n");
    return shown;
}

std::optional<int> ParseImageFlag(const std::string& text) {
    std::string trimmed = TrimBlanks(text);
    int value = 0;
    const char* begin = trimmed.data();
    const char* end = begin + trimmed.size();
    if (begin != end && *begin == '+') ++begin;
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end || begin == end) return std::nullopt;
    return value;
}

std::string_view RecordGenre(std::string_view record) {
    size_t start = record.find('\t');
    if (start == std::string_view::npos) return {};
    ++start;
    size_t end = record.find('\t', start);
    return record.substr(start,
                         end == std::string_view::npos ? std::string_view::npos : end - start);
}

}  // namespace vorlisk
