#include "inventory/inventoryfile.h"

#include "inventory/gamerecord.h"
#include "system/files.h"
#include "system/textencoding.h"
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
    // The genre is compared as the text the user sees, so that one genre written in both
    // encodings is one genre.
    const std::string shownGenre = ShownUtf8(genre);
    while (reader.Next(line)) {
        size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;  // not a game
        // Both parts in strings of their own size: the line's buffer is reused for the next.
        std::string record = line.substr(tab + 1);
        bool matches = genre.empty() || ShownUtf8(RecordGenre(record)) == shownGenre;
        (matches ? shown : hidden_).emplace_back(line.substr(0, tab), std::move(record));
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
    // The games of the lists and those the filter hides, merged in name order: each hidden
    // game after the listed games whose names do not sort after its own.
    const NameAt hiddenName = [this](size_t i) -> const std::string& { return hidden_[i].first; };
    const std::vector<size_t> hidden = NameOrder(hidden_.size(), hiddenName);
    const std::vector<size_t> places = PlacesAmong(
        static_cast<size_t>(lists_.Count()),
        [this](size_t i) -> const std::string& { return lists_.Name(static_cast<int>(i)); },
        hidden.size(), [&](size_t k) -> const std::string& { return hiddenName(hidden[k]); });

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
    for (int i = 0; i <= lists_.Count(); ++i) {
        for (; h < hidden.size() && places[h] == static_cast<size_t>(i); ++h)
            write(hidden_[hidden[h]].first, hidden_[hidden[h]].second);
        if (i < lists_.Count()) write(lists_.Name(i), lists_.RecordOf(i));
    }
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
