#include "inventory/inventoryfile.h"

#include <algorithm>

#include "inventory/gamerecord.h"
#include "system/files.h"
#include "system/textfile.h"

namespace vorlisk {

InventoryFile::LoadResult InventoryFile::LoadInventory(const std::string& genre) {
    LoadResult result;
    if (inventoryChanged) {
        result.save = SaveInventory();
        if (!result.save.ok) {
            result.status = LoadStatus::NotLoaded;
            return result;
        }
    }
    lists_.Clear();
    hidden_.clear();
    // What saves cut short at an earlier run left beside the file goes first.
    RemoveLeftoverTempFiles(path_);
    // A missing file is an empty catalogue; an empty one reads as one. Anything else that
    // cannot be read, a folder too, is reported and never written over.
    if (!PathExists(path_)) return result;

    LineReader reader(path_, LineEnds::Catalogue);
    std::vector<std::pair<std::string, std::string>> shown;
    std::string line;
    while (reader.Next(line)) {
        size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;  // not a game
        std::string record = line.substr(tab + 1);
        line.resize(tab);
        bool matches = genre.empty() || RecordGenre(record) == genre;
        (matches ? shown : hidden_).emplace_back(std::move(line), std::move(record));
    }
    lists_.AddGames(std::move(shown));
    if (reader.Failed()) {
        writeProtected_ = true;
        result.status = LoadStatus::Unreadable;
        result.readFailure = reader.FailureReason();
    }
    return result;
}

std::string InventoryFile::FileContent() const {
    // The games of the lists and those the filter hides, merged in name order.
    std::vector<GameLists::NameEntry> hidden;
    hidden.reserve(hidden_.size());
    for (size_t i = 0; i < hidden_.size(); ++i)
        hidden.push_back({hidden_[i].first, NameSortKey(hidden_[i].first), static_cast<int>(i)});
    std::stable_sort(hidden.begin(), hidden.end(),
                     [](const auto& a, const auto& b) { return a.key < b.key; });

    size_t size = 0;
    for (int i = 0; i < lists_.Count(); ++i)
        size += lists_.Name(i).size() + lists_.RecordOf(i).size() + 4;
    for (const auto& [name, record] : hidden_) size += name.size() + record.size() + 4;
    std::string content;
    content.reserve(size);
    auto write = [&content](const std::string& name, const std::string& record) {
        if (name.find('\t') == std::string::npos && name.find('\r') == std::string::npos &&
            record.find('\r') == std::string::npos) {
            content.append(name).append(1, '\t').append(record);
        } else {
            content += EncodeCatalogueLine(CleanName(name) + '\t' + record);
        }
        content += "\r\n";
    };
    size_t h = 0;
    for (int i = 0; i < lists_.Count(); ++i) {
        const std::wstring& key = lists_.Key(i);
        for (; h < hidden.size() && hidden[h].key < key; ++h)
            write(hidden[h].name, hidden_[hidden[h].link].second);
        write(lists_.Name(i), lists_.RecordOf(i));
    }
    for (; h < hidden.size(); ++h) write(hidden[h].name, hidden_[hidden[h].link].second);
    return content;
}

InventoryFile::SaveStatus InventoryFile::SaveInventory() {
    if (!inventoryChanged || writeProtected_) return {};
    WriteResult written = WriteFileSafely(path_, FileContent());
    if (!written.ok) return {false, false, written.reason};
    inventoryChanged = false;
    return {true, true, {}};
}

}  // namespace vorlisk
