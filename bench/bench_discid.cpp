// Timing of the disc look-ups that run whenever a record is shown or the Get button is
// pressed: the games.txt look-up over a table of 20,000 games, and the drive scan with no
// PlayStation disc in any drive.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "import/discid.h"
#include "system/services.h"

namespace {

namespace fs = std::filesystem;

// A games.txt of `lines` games in a fresh temporary folder, removed at the end.
class GameTable {
  public:
    explicit GameTable(int lines) {
        std::random_device random;
        folder_ = fs::temp_directory_path() / ("vorlisk-bench-" + std::to_string(random()));
        fs::create_directories(folder_);
        std::ofstream out(folder_ / "games.txt", std::ios::binary);
        for (int i = 0; i < lines; ++i) {
            char line[96];
            std::snprintf(line, sizeof line, "SLUS-%05d Some Game Title Number %d\tGENRE %d\r\n", i,
                          i, i % 7);
            out << line;
        }
    }
    ~GameTable() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    std::string Path() const { return (folder_ / "games.txt").string(); }

  private:
    fs::path folder_;
};

void BM_LookupGameName(benchmark::State& state) {
    GameTable table(20000);
    const std::string path = table.Path();
    for (auto _ : state) {
        std::string name = vorlisk::LookupGameName(path, "slus-19999");
        benchmark::DoNotOptimize(name);
    }
}
BENCHMARK(BM_LookupGameName)->Unit(benchmark::kMillisecond);

void BM_LookupGameNameMissing(benchmark::State& state) {
    GameTable table(20000);
    const std::string path = table.Path();
    for (auto _ : state) {
        std::string name = vorlisk::LookupGameName(path, "SCES-99999");
        benchmark::DoNotOptimize(name);
    }
}
BENCHMARK(BM_LookupGameNameMissing)->Unit(benchmark::kMillisecond);

// The drives of this machine, found anew each time as the record editor does.
void BM_GetDiscGameIdThisMachine(benchmark::State& state) {
    vorlisk::PlatformServices services;
    for (auto _ : state) {
        std::string id = vorlisk::GetDiscGameId(services.CdromRoots());
        benchmark::DoNotOptimize(id);
    }
}
BENCHMARK(BM_GetDiscGameIdThisMachine)->Unit(benchmark::kMicrosecond);

void BM_GetDiscGameIdNoDrives(benchmark::State& state) {
    const std::vector<std::string> roots;
    for (auto _ : state) {
        std::string id = vorlisk::GetDiscGameId(roots);
        benchmark::DoNotOptimize(id);
    }
}
BENCHMARK(BM_GetDiscGameIdNoDrives);

}  // namespace

BENCHMARK_MAIN();
