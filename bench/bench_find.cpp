// Find over the 300,000 names of a generated catalogue, in list order, with a text that no
// name contains (so every name is searched): the program's search for a text beyond ASCII and
// for an ASCII text, against a plain scan that folds the ASCII letters of the bytes and against
// what a minimal Qt program does, QString::contains without regard to case over names that it
// keeps as QStrings. In C.UTF-8 and en_US.UTF-8.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "app/find.h"
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
