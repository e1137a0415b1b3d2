// Find over the 300,000 names of a generated catalogue, in list order, with a text that no
// name contains (so every name is searched): the program's search for a text beyond ASCII and
// for an ASCII text, against a plain scan that folds the ASCII letters of the bytes and against
// what a minimal Qt program does, QString::contains without regard to case over names that it
// keeps as QStrings. In C.UTF-8 and en_US.UTF-8. Then the same search through the main window.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <string>
#include <vector>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QWindow>
#include <QString>
#include <QStringList>
#include <QStringListModel>
#include <filesystem>
#include <fstream>

#include "app/find.h"
#include "app/ui/text.h"
#include "bench/catalogue.h"

namespace vorlisk::bench {
namespace {

constexpr int kGames = 300000;
const std::string kBeyondAscii = "Zo\xC3\xAB";  // Zoë
const std::string kAscii = "Zelda";

// The names as the game list holds them.
const GameLists& Lists() {
    static const InventoryFile inventory = [] {
        const Catalogue catalogue(kGames);
        InventoryFile loaded(catalogue.Path());
        loaded.LoadInventory("");
        return loaded;
    }();
    return inventory.Lists();
}

// Runs the benchmark in `locale`, or skips it when the locale is not installed.
class InLocale {
  public:
    InLocale(benchmark::State& state, const char* locale)
        : saved_(std::setlocale(LC_ALL, nullptr)) {
        if (std::setlocale(LC_ALL, locale) == nullptr)
            state.SkipWithError(
                (std::string("the locale ") + locale + " is not installed").c_str());
    }
    ~InLocale() { std::setlocale(LC_ALL, saved_.c_str()); }

  private:
    std::string saved_;
};

void Find(benchmark::State& state, const char* locale, const std::string& text) {
    const GameLists& lists = Lists();
    InLocale in(state, locale);
    if (lists.Count() != kGames) state.SkipWithError("the catalogue did not load");
    for (auto _ : state) {
        int found = FindNextName(
            lists.Count(), [&lists](int i) -> const std::string& { return lists.Name(i); }, -1,
            text);
        if (found != -1) state.SkipWithError("a name contains the text");
    }
    state.SetItemsProcessed(state.iterations() * lists.Count());
}

void BM_FindBeyondAscii(benchmark::State& state, const char* locale) {
    Find(state, locale, kBeyondAscii);
}
void BM_FindAscii(benchmark::State& state, const char* locale) { Find(state, locale, kAscii); }

// The plain scan: every name searched for the bytes of the text, ASCII letters folded.
void BM_BaselinePlainScan(benchmark::State& state, const char* locale) {
    const GameLists& lists = Lists();
    InLocale in(state, locale);
    auto same = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    };
    for (auto _ : state) {
        int found = -1;
        for (int i = 0; i < lists.Count() && found < 0; ++i) {
            const std::string& name = lists.Name(i);
            if (std::search(name.begin(), name.end(), kBeyondAscii.begin(), kBeyondAscii.end(),
                            same) != name.end())
                found = i;
        }
        if (found != -1) state.SkipWithError("a name contains the text");
    }
    state.SetItemsProcessed(state.iterations() * lists.Count());
}

// The minimal Qt program's search: its names are QStrings already.
void BM_BaselineQtContains(benchmark::State& state, const char* locale) {
    const GameLists& lists = Lists();
    InLocale in(state, locale);
    QStringList names;
    names.reserve(lists.Count());
    for (int i = 0; i < lists.Count(); ++i) names << QString::fromStdString(lists.Name(i));
    const QString text = QString::fromStdString(kBeyondAscii);
    for (auto _ : state) {
        int found = -1;
        for (int i = 0; i < names.size() && found < 0; ++i)
            if (names[i].contains(text, Qt::CaseInsensitive)) found = i;
        if (found != -1) state.SkipWithError("a name contains the text");
    }
    state.SetItemsProcessed(state.iterations() * lists.Count());
}

// ---- through the window ----

// Ctrl+F, the text and Enter (the input box answers at once), or F3, in the main window over
// the catalogue with one game more, whose name goes beyond ASCII and is listed at the end, until
// that game is selected and its record shown and painted; beside a minimal Qt program that
// keeps the names in a QStringListModel, finds with QString::contains without regard to case and
// selects the row. In en_US.UTF-8. The selection is cleared, untimed, before each search.
const std::string kLastName = "Zo\xC3\xAB Zone";  // Zoë Zone

const TempFolder& WindowFolder() {
    static const TempFolder folder = [] {
        TempFolder made("vorlisk-bench-find-window");
        const Catalogue catalogue(kGames);
        std::filesystem::copy_file(catalogue.Path(), made.Path() + "gameinv.txt");
        std::ofstream(made.Path() + "gameinv.txt", std::ios::binary | std::ios::app)
            << kLastName << "\tSLUS-99999\tRPG\t1\t/home/player/psx/images/Zoe_Zone.iso\t"
            << "/home/player/psx/covers/SLUS-99999-front.jpg\t\tePSXe\tThe last game.\r\n";
        return made;
    }();
    return folder;
}

void Press(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(window.windowHandle(), &press);
    QApplication::processEvents();  // the selection and the record painted
}

void BM_FindThroughTheWindow(benchmark::State& state, Qt::Key key) {
    InLocale in(state, "en_US.UTF-8");
    QuietSystem system(WindowFolder().Path());
    QuietUserInterface ui;
    ui.inputAnswer = ToQt(kBeyondAscii);
    formGameInventory window(system, ui);
    if (!window.Form_Load()) state.SkipWithError("the window did not start");
    window.show();
    QApplication::processEvents();
    const int last = window.Inventory().Lists().Count() - 1;
    if (window.Inventory().Lists().Name(last) != kLastName)
        state.SkipWithError("the game is not listed last");
    window.FindGame();  // F3 then goes on with the text
    for (auto _ : state) {
        state.PauseTiming();
        window.lstName()->selectionModel()->clear();
        QApplication::processEvents();
        state.ResumeTiming();
        Press(window, key, key == Qt::Key_F ? Qt::ControlModifier : Qt::NoModifier);
        if (window.SelectedGame() != last || window.txtName()->text() != ToQt(kLastName))
            state.SkipWithError("the game was not found and shown");
    }
    if (ui.messages > 0) state.SkipWithError("a message was shown");
}

void BM_BaselineQtFindAndSelect(benchmark::State& state) {
    InLocale in(state, "en_US.UTF-8");
    const GameLists& lists = Lists();
    QStringList names;
    names.reserve(lists.Count() + 1);
    for (int i = 0; i < lists.Count(); ++i) names << QString::fromStdString(lists.Name(i));
    names << QString::fromStdString(kLastName);
    QStringListModel model(names);
    QListView view;
    view.setUniformItemSizes(true);
    view.setModel(&model);
    view.show();
    QApplication::processEvents();
    const QString text = QString::fromStdString(kBeyondAscii);
    for (auto _ : state) {
        state.PauseTiming();
        view.selectionModel()->clear();
        QApplication::processEvents();
        state.ResumeTiming();
        int found = -1;
        for (int i = 0; i < names.size() && found < 0; ++i)
            if (names[i].contains(text, Qt::CaseInsensitive)) found = i;
        const QModelIndex index = model.index(found);
        view.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        view.scrollTo(index);
        QApplication::processEvents();
        if (found != names.size() - 1) state.SkipWithError("the name was not found");
    }
}

BENCHMARK_CAPTURE(BM_FindThroughTheWindow, CtrlF, Qt::Key_F)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_FindThroughTheWindow, F3, Qt::Key_F3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_BaselineQtFindAndSelect)->Unit(benchmark::kMillisecond)->UseRealTime();

#define VORLISK_FIND_BENCHMARK(function)                                           \
    BENCHMARK_CAPTURE(function, C_UTF8, "C.UTF-8")->Unit(benchmark::kMillisecond); \
    BENCHMARK_CAPTURE(function, en_US_UTF8, "en_US.UTF-8")->Unit(benchmark::kMillisecond)

VORLISK_FIND_BENCHMARK(BM_FindBeyondAscii);
VORLISK_FIND_BENCHMARK(BM_FindAscii);
VORLISK_FIND_BENCHMARK(BM_BaselinePlainScan);
VORLISK_FIND_BENCHMARK(BM_BaselineQtContains);

}  // namespace
}  // namespace vorlisk::bench

VORLISK_BENCHMARK_MAIN()
