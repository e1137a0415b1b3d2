#include "launch/playtime.h"

#include <charconv>

#include "system/asciicase.h"
#include "system/textfile.h"

namespace vorlisk {

namespace {

std::optional<long long> Number(std::string_view text) {
    long long value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) return {};
    return value;
}

}  // namespace

void PlayHistory::Read() {
    entries_.clear();
    LineReader reader(path_, LineEnds::Catalogue);
    std::string line;
    while (reader.Next(line)) {
        std::vector<std::string_view> fields;
        for (size_t from = 0;;) {
            size_t tab = line.find('\t', from);
            fields.emplace_back(std::string_view(line).substr(from, tab - from));
            if (tab == std::string::npos) break;
            from = tab + 1;
        }
        if (fields.size() != 4) continue;
        std::optional<long long> last = Number(fields[2]), seconds = Number(fields[3]);
        if (!last || !seconds || (fields[0].empty() && fields[1].empty())) continue;
        Entry entry{std::string(fields[0]), std::string(fields[1]), {*last, *seconds}};
        if (size_t known = IndexOf(entry.id, entry.name); known < entries_.size())
            entries_[known] = std::move(entry);  // the later line holds
        else
            entries_.push_back(std::move(entry));
    }
}

size_t PlayHistory::IndexOf(const std::string& id, const std::string& name) const {
    const std::string key = TrimBlanks(id);
    size_t at = 0;
    for (const Entry& entry : entries_) {
        if (key.empty() ? entry.id.empty() && entry.name == name : entry.id == key) break;
        ++at;
    }
    return at;
}

std::optional<PlayTime> PlayHistory::Of(const std::string& id, const std::string& name) const {
    size_t at = IndexOf(id, name);
    if (at == entries_.size()) return {};
    return entries_[at].time;
}

void PlayHistory::Add(const std::string& id, const std::string& name, long long seconds,
                      long long endedAt) {
    size_t at = IndexOf(id, name);
    if (at == entries_.size()) entries_.push_back(Entry{TrimBlanks(id), name, {}});
    Entry& entry = entries_[at];
    entry.name = name;
    entry.time.lastPlayed = endedAt;
    entry.time.seconds += seconds > 0 ? seconds : 0;
}

WriteResult PlayHistory::Save() const {
    std::string content;
    for (const Entry& entry : entries_)
        content += EncodeCatalogueLine(entry.id + '\t' + entry.name + '\t' +
                                       std::to_string(entry.time.lastPlayed) + '\t' +
                                       std::to_string(entry.time.seconds)) +
                   "\r\n";
    return WriteFileSafely(path_, content);
}

}  // namespace vorlisk
