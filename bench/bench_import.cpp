// Importing a folder of 50,000 (empty) disc image files, against listing that folder and
// sorting its names in a plain vector; and importing 10,000 real images, whose IDs are read,
// against listing that folder and reading three sectors of each image.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "bench/benchwindow.h"
#include "import/folderimport.h"
#include "tests/core/discimages.h"

namespace vorlisk::bench {
namespace {

constexpr int kImages = 50000;
constexpr int kDiscImages = 10000;
const char* const kTypes[] = {"cue", "iso", "bwt", "ccd"};

const TempFolder& ImageFolder() {
    static TempFolder folder("vorlisk-bench-import");
    static bool filled = [] {
        for (int i = 0; i < kImages; ++i) {
            std::string name = "Game_" + std::to_string((i * 7919) % kImages) + "_Disc_" +
                               std::to_string(i % 3 + 1) + "." + kTypes[i % 4];
            std::ofstream(folder.Path() + name);
        }
        return true;
    }();
    (void)filled;
    return folder;
}

// Imports the folder `images` of `count` images into an empty list, each iteration anew;
// every record must get the ID `id`.
void ImportThroughTheWindow(benchmark::State& state, const TempFolder& images, int count,
                            const std::string& id) {
    TempFolder app("vorlisk-bench-import-app");
    QuietSystem system(app.Path());
    QuietUserInterface ui;
    ui.folderAnswer = QString::fromStdString(images.Path());
    formGameInventory window(system, ui);
    window.Form_Load();
    window.btnInfo_Click();
    for (auto _ : state) {
        state.PauseTiming();
        window.Inventory().inventoryChanged = false;
        window.LoadInventory("");  // no gameinv.txt: an empty list
        state.ResumeTiming();
        window.btnAddISO_Click();
        const GameLists& lists = window.Inventory().Lists();
        if (lists.Count() != count) state.SkipWithError("wrong count");
        if (lists.RecordOf(count - 1).rfind(id + "\t", 0) != 0) state.SkipWithError("wrong ID");
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_ImportThroughTheWindow(benchmark::State& state) {
    ImportThroughTheWindow(state, ImageFolder(), kImages, "");
}
BENCHMARK(BM_ImportThroughTheWindow)->Unit(benchmark::kMillisecond);

void BM_ListFolderAndSortNames(benchmark::State& state) {
    const TempFolder& images = ImageFolder();
    for (auto _ : state) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(images.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return strcasecmp(a.c_str(), b.c_str()) < 0;
        });
        benchmark::DoNotOptimize(names.data());
    }
    state.SetItemsProcessed(state.iterations() * kImages);
}
BENCHMARK(BM_ListFolderAndSortNames)->Unit(benchmark::kMillisecond);

// 10,000 small PlayStation images: half of them ISOs, half raw mode 2 BINs with a cue sheet.
const TempFolder& DiscImageFolder() {
    static TempFolder folder("vorlisk-bench-images");
    static bool filled = [] {
        const std::string iso = testing::PlayStationIso("SLUS_005.94");
        for (int i = 0; i < kDiscImages; ++i)
            testing::WriteDiscImage(
                folder.Path(), "Game_" + std::to_string(i) + (i % 2 ? ".iso" : ".cue"), iso, 2);
        return true;
    }();
    (void)filled;
    return folder;
}

void BM_ImportImagesThroughTheWindow(benchmark::State& state) {
    ImportThroughTheWindow(state, DiscImageFolder(), kDiscImages, "SLUS-00594");
}
BENCHMARK(BM_ImportImagesThroughTheWindow)->Unit(benchmark::kMillisecond);

// The least that reading the IDs needs: listing the folder once, and for each image opening
// it and reading its volume descriptor, root folder and boot file (sectors 16, 20 and 21).
void BM_ListFolderAndReadThreeSectors(benchmark::State& state) {
    const TempFolder& images = DiscImageFolder();
    std::string sector(2048, '\0');
    for (auto _ : state) {
        size_t read = 0;
        for (const std::string& name : ListPlainFiles(images.Path())) {
            const bool raw = IsImageFileName(name, "bin");
            if (!raw && !IsImageFileName(name, "iso")) continue;
            int fd = ::open((images.Path() + name).c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) continue;
            for (off_t at : {16, 20, 21})
                read += static_cast<size_t>(::pread(fd, sector.data(), sector.size(),
                                                    at * (raw ? 2352 : 2048) + (raw ? 24 : 0)));
            ::close(fd);
        }
        if (read != 3u * kDiscImages * sector.size()) state.SkipWithError("short read");
    }
    state.SetItemsProcessed(state.iterations() * kDiscImages);
}
BENCHMARK(BM_ListFolderAndReadThreeSectors)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlisk::bench

VORLISK_BENCHMARK_MAIN()
