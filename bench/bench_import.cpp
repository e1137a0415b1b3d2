// Importing a folder of 50,000 (empty) disc image files, against the least an import of them
// must do (list the folder once, open each image once, read its volume descriptor when the
// file is long enough for one, sort the names) and against listing and sorting alone; and
// importing 10,000 real images, whose IDs are read, against listing that folder and reading
// three sectors of each image, with the page cache warm and, where this process may drop it,
// cold; and reading the IDs of 1,000 CHD files of a mid-size disc, warm, with the part that
// opening them (header, map, track list) takes alone.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "bench/benchwindow.h"
#include "import/chd.h"
#include "import/folderimport.h"
#include "import/imagegameid.h"
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

// Empties the page cache, so that the next reads come from the disk. False where this process
// may not (it needs to be root, outside a container that forbids it).
bool DropPageCache() {
    ::sync();
    std::ofstream control("/proc/sys/vm/drop_caches");
    control << "3\n";
    control.flush();
    return control.good();
}

// Imports the folder `images` of `count` images into an empty list, each iteration anew;
// every record must get the ID `id`. `cold`: each from an empty page cache.
void ImportThroughTheWindow(benchmark::State& state, const TempFolder& images, int count,
                            const std::string& id, bool cold = false) {
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
        if (cold && !DropPageCache()) state.SkipWithError("the page cache cannot be dropped here");
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
BENCHMARK(BM_ImportThroughTheWindow)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

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

// The floor of the import: one listing of the folder, each image opened once and its volume
// descriptor (sector 16) read when the file is long enough to hold it, the names sorted.
void BM_ImportFloor(benchmark::State& state) {
    const TempFolder& images = ImageFolder();
    std::string sector(2048, '\0');
    for (auto _ : state) {
        std::vector<std::string> names;
        for (std::string& name : ListPlainFiles(images.Path())) {
            int fd = ::open((images.Path() + name).c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) continue;
            struct stat info {};
            if (::fstat(fd, &info) == 0 && info.st_size >= 17 * 2048)
                benchmark::DoNotOptimize(::pread(fd, sector.data(), sector.size(), 16 * 2048));
            ::close(fd);
            names.push_back(std::move(name));
        }
        std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
            return strcasecmp(a.c_str(), b.c_str()) < 0;
        });
        if (names.size() != kImages) state.SkipWithError("wrong count");
        benchmark::DoNotOptimize(names.data());
    }
    state.SetItemsProcessed(state.iterations() * kImages);
}
BENCHMARK(BM_ImportFloor)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

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
BENCHMARK(BM_ImportImagesThroughTheWindow)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void BM_ImportImagesThroughTheWindowCold(benchmark::State& state) {
    ImportThroughTheWindow(state, DiscImageFolder(), kDiscImages, "SLUS-00594", true);
}
BENCHMARK(BM_ImportImagesThroughTheWindowCold)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Iterations(3);

// The least that reading the IDs needs: listing the folder once, and for each image opening
// it and reading its volume descriptor, root folder and boot file (sectors 16, 20 and 21).
void BM_ListFolderAndReadThreeSectors(benchmark::State& state) {
    const TempFolder& images = DiscImageFolder();
    const bool cold = state.range(0) != 0;
    std::string sector(2048, '\0');
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            if (!DropPageCache()) state.SkipWithError("the page cache cannot be dropped here");
            state.ResumeTiming();
        }
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
BENCHMARK(BM_ListFolderAndReadThreeSectors)->Unit(benchmark::kMillisecond)->Arg(0);
BENCHMARK(BM_ListFolderAndReadThreeSectors)
    ->Unit(benchmark::kMillisecond)
    ->Arg(1)
    ->Iterations(3)
    ->Name("BM_ListFolderAndReadThreeSectorsCold");

// 1,000 hard links of one CHD file of a disc of about 150 MB, made with chdman's default
// codecs: half its data repeats 64 random 2 KiB blocks, a fifth is zeros, the rest random.
// Empty when chdman is missing or failed.
constexpr int kChdImages = 1000;
const std::string& ChdFolder() {
    static TempFolder folder("vorlisk-bench-chd");
    static std::string path = [] {
        std::mt19937 random(1);
        auto randomBlock = [&] {
            std::string block(2048, '\0');
            for (char& c : block) c = static_cast<char>(random());
            return block;
        };
        std::vector<std::string> repeated(64);
        for (std::string& block : repeated) block = randomBlock();
        std::string data;
        for (size_t i = 0; data.size() < 150u << 20; ++i)
            data += i % 10 < 5   ? repeated[i * 7 % 64]
                    : i % 10 < 7 ? std::string(2048, '\0')
                                 : randomBlock();
        const std::string iso = testing::IsoImage(
            {{"SYSTEM.CNF;1", "BOOT = cdrom:\\SLUS_005.94;1\r\n"}, {"DATA.BIN;1", data}});
        data.clear();
        const std::string dir = folder.Path();
        testing::WriteDiscImage(dir, "disc.cue", iso, 2);
        if (!testing::MakeChd(dir + "disc.cue", dir + "disc.chd").empty()) return std::string();
        std::filesystem::remove(dir + "disc.bin");
        std::filesystem::create_directory(dir + "links");
        for (int i = 0; i < kChdImages; ++i)
            std::filesystem::create_hard_link(dir + "disc.chd",
                                              dir + "links/Game_" + std::to_string(i) + ".chd");
        return dir + "links/";
    }();
    return path;
}

// The game ID of each CHD file, as the import reads it.
void BM_ReadChdGameIds(benchmark::State& state) {
    const std::string& links = ChdFolder();
    if (links.empty()) state.SkipWithError("chdman is not installed or failed");
    for (auto _ : state)
        for (int i = 0; i < kChdImages && !links.empty(); ++i)
            if (ImageGameId(links + "Game_" + std::to_string(i) + ".chd") != "SLUS-00594")
                state.SkipWithError("wrong ID");
    state.SetItemsProcessed(state.iterations() * kChdImages);
}
BENCHMARK(BM_ReadChdGameIds)->Unit(benchmark::kMillisecond);

// The part of it that opening takes: the header, the whole map and the track list.
void BM_OpenChdFiles(benchmark::State& state) {
    const std::string& links = ChdFolder();
    if (links.empty()) state.SkipWithError("chdman is not installed or failed");
    for (auto _ : state)
        for (int i = 0; i < kChdImages && !links.empty(); ++i)
            if (!ChdDisc(links + "Game_" + std::to_string(i) + ".chd").IsOpen())
                state.SkipWithError("not opened");
    state.SetItemsProcessed(state.iterations() * kChdImages);
}
BENCHMARK(BM_OpenChdFiles)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlisk::bench

VORLISK_BENCHMARK_MAIN()
