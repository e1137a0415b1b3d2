// Moving through a list of 32,767 games one game at a time with the Down arrow key, with and
// without a covers/ folder of 32,767 pictures: each step shows the game's record and loads
// the one picture shown. The folder is listed once in the background before the moves.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QListView>
#include <memory>

#include "app/ui/widgets.h"
#include "bench/benchwindow.h"
#include "bench/catalogue.h"
#include "import/ui/coverfolders.h"

namespace vorlisk::bench {
namespace {

constexpr int kGames = 32767;

void BM_NextGame(benchmark::State& state, bool covers) {
    static const Catalogue catalogue(kGames);
    std::unique_ptr<CoverFolderOf> folder;
    if (covers) folder = std::make_unique<CoverFolderOf>(catalogue, kGames);
    QuietSystem system(catalogue.Folder());
    QuietUserInterface ui;
    formGameInventory window(system, ui);
    if (!window.Form_Load()) return state.SkipWithError("the start failed");
    bool listed = false;  // told through the event loop, so never missed here
    QObject::connect(window.Covers(), &CoverFolders::changed, [&listed] { listed = true; });
    window.show();
    QElapsedTimer clock;
    clock.start();
    while (!listed) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    state.counters["listing_ms"] = static_cast<double>(clock.elapsed());
    int shown = 0, moved = 0;
    window.SelectGame(0);
    for (auto _ : state) {
        if (window.SelectedGame() == kGames - 1) window.SelectGame(0);
        const int before = window.SelectedGame();
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(window.lstName(), &down);
        QApplication::processEvents();  // painted
        moved += window.SelectedGame() == before + 1 ? 1 : 0;
        shown += window.imgGame(0)->ShowsPicture() ? 1 : 0;
    }
    state.counters["covers"] = covers ? folder->Count() : 0;
    state.counters["shown"] = shown;
    state.counters["moved"] = moved;
}

BENCHMARK_CAPTURE(BM_NextGame, without_covers, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_NextGame, with_32767_covers, true)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vorlisk::bench

VORLISK_BENCHMARK_MAIN()
