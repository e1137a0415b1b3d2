// Timing of the disc look-ups that run whenever a record is shown or the Get button is
// pressed: the games.txt look-up over a table of 20,000 games, the drive scan with no
// PlayStation disc in any drive, and both through the real window.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/benchwindow.h"
#include "import/discid.h"
#include "system/services.h"

namespace vorlisk::bench {
namespace {

constexpr int kTableLines = 20000;

// A program folder holding a games.txt of 20,000 games, a one-game catalogue and a disc
// whose ID is the table's last game.
const TempFolder& ProgramFolder() {
    static TempFolder folder("vorlisk-bench-discid");
    static bool filled = [] {
        std::ofstream out(folder.Path() + "games.txt", std::ios::binary);
        for (int i = 0; i < kTableLines; ++i) {
            char line[96];
            std::snprintf(line, sizeof line, "SLUS-%05d Some Game Title Number %d\tGENRE %d\r\n", i,
                          i, i % 7);
            out << line;
        }
        std::ofstream(folder.Path() + "gameinv.txt", std::ios::binary)
            << "Game\tSLUS-19999\tRPG\t1\t/no/such/image.iso\t\t\tReal PSX\tA game.\tTwo "
               "lines.\r\n";
        std::filesystem::create_directories(folder.Path() + "disc");
        std::ofstream(folder.Path() + "disc/SYSTEM.CNF", std::ios::binary)
            << "BOOT = cdrom:\\SLUS_199.99;1\r\n";
        return true;
    }();
    (void)filled;
    return folder;
}

void BM_LookupGameName(benchmark::State& state) {
    const std::string path = ProgramFolder().Path() + "games.txt";
    for (auto _ : state) benchmark::DoNotOptimize(LookupGameName(path, "slus-19999"));
}
BENCHMARK(BM_LookupGameName)->Unit(benchmark::kMillisecond);

void BM_LookupGameNameMissing(benchmark::State& state) {
    const std::string path = ProgramFolder().Path() + "games.txt";
    for (auto _ : state) benchmark::DoNotOptimize(LookupGameName(path, "SCES-99999"));
}
BENCHMARK(BM_LookupGameNameMissing)->Unit(benchmark::kMillisecond);

// The drives of this machine, found anew each time as the record editor does.
void BM_GetDiscGameIdThisMachine(benchmark::State& state) {
    PlatformServices services;
    for (auto _ : state) benchmark::DoNotOptimize(GetDiscGameId(services.CdromRoots()));
}
BENCHMARK(BM_GetDiscGameIdThisMachine)->Unit(benchmark::kMicrosecond);

void BM_GetDiscGameIdNoDrives(benchmark::State& state) {
    const std::vector<std::string> roots;
    for (auto _ : state) benchmark::DoNotOptimize(GetDiscGameId(roots));
}
BENCHMARK(BM_GetDiscGameIdNoDrives);

// Selecting the game in the real window: its record is shown, the drives are searched.
void BM_ShowGameRecordThroughTheWindow(benchmark::State& state) {
    QuietSystem system(ProgramFolder().Path());
    system.cdromRoots = {ProgramFolder().Path() + "disc/"};
    QuietUserInterface ui;
    formGameInventory window(system, ui);
    window.Form_Load();
    window.SelectGame(0);
    for (auto _ : state) window.lstName_Click();
}
BENCHMARK(BM_ShowGameRecordThroughTheWindow)->Unit(benchmark::kMicrosecond);

// The Get button in the real window: the disc's ID, then its name from the table.
void BM_GetButtonThroughTheWindow(benchmark::State& state) {
    QuietSystem system(ProgramFolder().Path());
    system.cdromRoots = {ProgramFolder().Path() + "disc/"};
    QuietUserInterface ui;
    formGameInventory window(system, ui);
    window.Form_Load();
    window.btnInfo_Click();
    for (auto _ : state) window.btnGet_Click();
}
BENCHMARK(BM_GetButtonThroughTheWindow)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlisk::bench

VORLISK_BENCHMARK_MAIN()
