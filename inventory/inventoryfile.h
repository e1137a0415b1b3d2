#pragma once
// gameinv.txt: one game per line, the name, a TAB, then the record. The catalogue is read
// whole into the game lists, filtered by genre, and written back only when it changed.

#include <string>
#include <utility>
#include <vector>

#include "inventory/gamelists.h"

namespace vorlisk {

class InventoryFile {
  public:
    enum class LoadStatus {
        Loaded,      // the file was read to its end (or is missing or empty)
        Unreadable,  // the file exists but could not be read to its end
        NotLoaded,   // the save before the load failed; the lists were kept as they were
    };
    struct SaveStatus {
        bool written = false;  // false when nothing needed writing or writing is held back
        bool ok = true;
        std::string reason;  // why writing failed
    };
    struct LoadResult {
        LoadStatus status = LoadStatus::Loaded;
        SaveStatus save;          // the save made before loading
        std::string readFailure;  // with Unreadable: what went wrong
    };

    explicit InventoryFile(std::string path) : path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    GameLists& Lists() { return lists_; }
    const GameLists& Lists() const { return lists_; }

    // True while the lists hold changes that the file lacks.
    bool inventoryChanged = false;

    // Saves first when the lists changed, then fills the lists with the games whose genre
    // field shows the same text as `genre` (every game for the empty genre). The games left out are
    // kept aside, byte for byte, and written back by every save. Temporary files that saves cut
    // short left beside the file are removed.
    LoadResult LoadInventory(const std::string& genre);

    // Writes the lists (and the games the filter hides) when inventoryChanged is true.
    // The file is replaced only once every line was written; on failure it stays as it was
    // and inventoryChanged stays true. A file that could not be read to its end is never
    // written during the run.
    SaveStatus SaveInventory();

    // True once the file could not be read to its end; it is then left alone.
    bool WriteProtected() const { return writeProtected_; }

  private:
    std::string FileContent() const;

    std::string path_;
    GameLists lists_;
    std::vector<std::pair<std::string, std::string>> hidden_;  // name and record
    bool writeProtected_ = false;
};

}  // namespace vorlisk
