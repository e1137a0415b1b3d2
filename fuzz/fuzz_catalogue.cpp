// The catalogue round trip: whatever gameinv.txt holds, a save writes back the games that a
// load found, byte for byte, also those that a genre filter hides, and saving what was saved
// writes the same bytes again.

#include <algorithm>
#include <utility>
#include <vector>

#include "fuzz/fuzzing.h"
#include "inventory/gamerecord.h"
#include "inventory/inventoryfile.h"

using namespace vorlisk;
using namespace vorlisk::fuzzing;

namespace {

std::vector<std::pair<std::string, std::string>> Sorted(const GameLists& lists) {
    std::vector<std::pair<std::string, std::string>> games;
    for (int i = 0; i < lists.Count(); ++i) games.emplace_back(lists.Name(i), lists.RecordOf(i));
    std::sort(games.begin(), games.end());
    return games;
}

void Save(InventoryFile& inventory) {
    inventory.inventoryChanged = true;
    Check(inventory.SaveInventory().ok, "the catalogue is saved");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteScratchFile("gameinv.txt", data, size);
    InventoryFile inventory(path);
    inventory.LoadInventory("");
    const auto games = Sorted(inventory.Lists());
    Save(inventory);
    const std::string saved = ReadScratchFile(path);

    inventory.LoadInventory("");
    Check(Sorted(inventory.Lists()) == games, "a saved catalogue loads the same games");
    Save(inventory);
    Check(ReadScratchFile(path) == saved, "saving again writes the same bytes");

    // Saved while a filter hides every game but those of the first game's genre.
    if (games.empty()) return 0;
    inventory.LoadInventory(std::string(RecordGenre(games.front().second)));
    Save(inventory);
    inventory.LoadInventory("");
    Check(Sorted(inventory.Lists()) == games, "the games a filter hides are written back");
    return 0;
}
