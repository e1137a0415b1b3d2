// Importing a folder of 50,000 disc images, against listing that folder and sorting its
// names in a plain vector.

#include <benchmark/benchmark.h>
#include <strings.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "bench/benchwindow.h"
#include "import/folderimport.h"

namespace vorlisk::bench {
namespace {

constexpr int kImages = 50000;
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

void BM_ImportThroughTheWindow(benchmark::State& state) {
    const TempFolder& images = ImageFolder();
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
        if (window.Inventory().Lists().Count() != kImages) state.SkipWithError("wrong count");
    }
    state.SetItemsProcessed(state.iterations() * kImages);
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

}  // namespace
}  // namespace vorlisk::bench

VORLISK_BENCHMARK_MAIN()
