// Timing of the catalogue round trip: a change of the genre filter in the real main window
// (save, then read and sort the whole file again) and the save alone, on a catalogue of
// 32,767 games, each against what the same work costs without the program's rules: reading
// the file and sorting its lines, and writing its bytes.

#include <benchmark/benchmark.h>

#include <QComboBox>
#include <algorithm>
#include <cctype>
#include <fstream>
#include <string>
#include <vector>

#include "bench/benchwindow.h"
#include "bench/catalogue.h"
#include "inventory/inventoryfile.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vorlisk::bench {
namespace {

// The catalogue of 32,767 games that every benchmark here works on, made on first use.
const Catalogue& TheCatalogue() {
    static const Catalogue catalogue(32767);
    return catalogue;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string content(static_cast<size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    return content;
}

void ReportWork(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * TheCatalogue().Games());
    state.SetBytesProcessed(state.iterations() * TheCatalogue().Bytes());
}

// ---- the program ----

// The genre filter changed in the main window, the catalogue marked as changed: the lists
// are saved, then the file is read again whole. Alternates between all games and RACE.
void BM_GenreFilterChange(benchmark::State& state) {
    QuietSystem system(TheCatalogue().Folder());
    QuietUserInterface ui;
    formGameInventory window(system, ui);
    if (!window.Form_Load()) {
        state.SkipWithError("the window did not start");
        return;
    }
    const int genreEntry = window.cmbGenre()->findText(QStringLiteral("RACE"));
    if (genreEntry <= 0 || window.Inventory().Lists().Count() != TheCatalogue().Games()) {
        state.SkipWithError("the catalogue did not load");
        return;
    }
    int step = 0;
    for (auto _ : state) {
        window.Inventory().inventoryChanged = true;
        formGameInventory::SelectEntry(window.cmbGenre(), step++ % 2 ? 0 : genreEntry);
    }
    if (ui.messages > 0) state.SkipWithError("a save or a load failed");
    ReportWork(state);
}
BENCHMARK(BM_GenreFilterChange)->Unit(benchmark::kMillisecond)->UseRealTime();

// SaveInventory of the whole catalogue.
void BM_SaveInventory(benchmark::State& state) {
    InventoryFile inventory(TheCatalogue().Path());
    inventory.LoadInventory("");
    for (auto _ : state) {
        inventory.inventoryChanged = true;
        if (!inventory.SaveInventory().written) {
            state.SkipWithError("the save failed");
            break;
        }
    }
    ReportWork(state);
}
BENCHMARK(BM_SaveInventory)->Unit(benchmark::kMillisecond)->UseRealTime();

// LoadInventory of the whole catalogue with no save before it: the read and sort alone.
void BM_LoadInventory(benchmark::State& state) {
    InventoryFile inventory(TheCatalogue().Path());
    for (auto _ : state) {
        if (inventory.LoadInventory("").status != InventoryFile::LoadStatus::Loaded) {
            state.SkipWithError("the load failed");
            break;
        }
    }
    ReportWork(state);
}
BENCHMARK(BM_LoadInventory)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- baselines ----

bool LessIgnoringCase(const std::string& a, const std::string& b) {
    size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        int ca = std::tolower(static_cast<unsigned char>(a[i]));
        int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb;
    }
    return a.size() < b.size();
}

// Reading the file whole, splitting it into lines and sorting them without regard to case.
void BM_BaselineReadAndSort(benchmark::State& state) {
    for (auto _ : state) {
        std::string content = ReadWholeFile(TheCatalogue().Path());
        std::vector<std::string> lines;
        lines.reserve(static_cast<size_t>(TheCatalogue().Games()));
        size_t start = 0;
        for (size_t end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.emplace_back(content, start, end - start);
        std::sort(lines.begin(), lines.end(), LessIgnoringCase);
        benchmark::DoNotOptimize(lines.data());
    }
    ReportWork(state);
}
BENCHMARK(BM_BaselineReadAndSort)->Unit(benchmark::kMillisecond)->UseRealTime();

// Writing the file's bytes to another file of the same folder.
void BM_BaselineWrite(benchmark::State& state) {
    const std::string content = ReadWholeFile(TheCatalogue().Path());
    const std::string copy = TheCatalogue().Folder() + "plain.txt";
    for (auto _ : state) {
        std::ofstream out(copy, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
    }
    ReportWork(state);
}
BENCHMARK(BM_BaselineWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifndef _WIN32
// The same write made safe the way a save makes it: a temporary file, flushed to the disk,
// then renamed over the old one. Shows how much of a save the flush alone costs.
void BM_BaselineWriteFlushed(benchmark::State& state) {
    const std::string content = ReadWholeFile(TheCatalogue().Path());
    const std::string copy = TheCatalogue().Folder() + "plain.txt";
    const std::string temp = copy + ".new";
    for (auto _ : state) {
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        bool ok =
            fd >= 0 &&
            ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size()) &&
            ::fsync(fd) == 0;
        if (fd >= 0) ::close(fd);
        if (!ok || ::rename(temp.c_str(), copy.c_str()) != 0) {
            state.SkipWithError("the write failed");
            break;
        }
    }
    ReportWork(state);
}
BENCHMARK(BM_BaselineWriteFlushed)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

}  // namespace
}  // namespace vorlisk::bench

VORLISK_BENCHMARK_MAIN()
