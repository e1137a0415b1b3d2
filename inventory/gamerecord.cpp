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

RecordFields SplitRecord(const std::string& record) {
    RecordFields fields;
    int position = 1;
    for (int i = 0; i < kDescription; ++i)
        fields[static_cast<size_t>(i)] = GetField(position, record);
    size_t rest = static_cast<size_t>(position) - 1;
    if (rest < record.size()) fields[kDescription] = record.substr(rest);
    return fields;
}

std::string JoinRecord(const RecordFields& fields) {
    std::string record;
    for (int i = 0; i < kRecordFieldCount; ++i) {
        if (i > 0) record += '\t';
        record += fields[static_cast<size_t>(i)];
    }
    return record;
}

std::string StoredField(RecordField field, std::string text) {
    switch (field) {
        case kId:
        case kImagePath:
        case kFirstPicture:
        case kSecondPicture:
            return CleanName(TrimBlanks(text));
        case kDescription:
            return ReplaceText(TrimBlanks(text), "\r\n", "\t");
        default:
            return CleanName(std::move(text));
    }
}

std::string ShownDescription(const std::string& stored) {
    return ReplaceText(stored, "\t", "\r\n");
}

std::string BuildRecord(const GameFields& f) {
    const std::string texts[kRecordFieldCount] = {
        f.id,        f.genre,        std::to_string(f.imageFlag),
        f.imagePath, f.firstPicture, f.secondPicture,
        f.emulator,  f.description};
    RecordFields fields;
    for (int i = 0; i < kRecordFieldCount; ++i)
        fields[static_cast<size_t>(i)] = StoredField(static_cast<RecordField>(i), texts[i]);
    return JoinRecord(fields);
}

ShownRecord ReadRecord(const std::string& record) {
    const RecordFields stored = SplitRecord(record);
    ShownRecord shown;
    GameFields& f = shown.fields;
    f.id = stored[kId];
    f.genre = stored[kGenre];
    shown.imageFlagText = stored[kImageFlag];
    f.imageFlag = ParseImageFlag(shown.imageFlagText).value_or(0);
    f.imagePath = stored[kImagePath];
    f.firstPicture = stored[kFirstPicture];
    f.secondPicture = stored[kSecondPicture];
    f.emulator = stored[kEmulator];
    f.description = ShownDescription(stored[kDescription]);
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
