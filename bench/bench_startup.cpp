// Start-up time and peak memory of the program against a minimal Qt program that shows the
// same catalogue, at 32,767 and 300,000 games, in C.UTF-8 and in en_US.UTF-8, each catalogue
// as the program saved it (in list order) and in a random order; at 32,767 games saved also
// with a covers/ folder of as many pictures (program-covers).
//
// Every start runs in a child process of its own, started afresh from this program's file
// with the locale in its environment, since a process's peak memory only ever grows. The time
// runs from starting the child until it reports its window shown, loading the libraries
// included; the child reports its peak resident memory (VmHWM), shown as the counter peak_MB.
//
// The minimal program reads the file whole and keeps it (the records must stay somewhere),
// takes the names up to the first TAB, sorts them without regard to case, by
// QString::compare or, for the locale's order, by a QCollator, and shows them in one
// QStringListModel in a QListView with uniform item sizes, as the program's list has.

#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCollator>
#include <QFile>
#include <QListView>
#include <QStringListModel>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "bench/benchwindow.h"
#include "bench/catalogue.h"

extern char** environ;

namespace vorlisk::bench {
namespace {

using Clock = std::chrono::steady_clock;

// ---- the child: one start, then its time and peak memory on standard output ----

// Peak resident memory of this process in kB, from /proc/self/status.
long PeakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

// Lets the window lay out and paint what it shows, then tells the parent that it is shown (work
// that goes on in the background, such as listing the covers, is not waited for).
void Settle() {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    std::fputs("shown\n", stdout);
    std::fflush(stdout);
}

int StartProgram(const std::string& folder, int games) {
    QuietSystem system(folder);
    QuietUserInterface ui;
    formGameInventory window(system, ui);
    if (!window.Form_Load()) return 1;
    window.show();
    Settle();
    return window.Inventory().Lists().Count() == games && ui.messages == 0 ? 0 : 1;
}

int StartMinimal(const std::string& folder, int games, bool collator) {
    QFile file(QString::fromLocal8Bit(folder + "gameinv.txt"));
    if (!file.open(QIODevice::ReadOnly)) return 1;
    const QByteArray content = file.readAll();
    QStringList names;
    for (qsizetype start = 0, end; (end = content.indexOf("\r\n", start)) >= 0; start = end + 2) {
        qsizetype tab = content.indexOf('\t', start);
        names.append(QString::fromUtf8(content.constData() + start, std::min(tab, end) - start));
    }
    if (collator) {
        QCollator order;
        order.setCaseSensitivity(Qt::CaseInsensitive);
        std::sort(names.begin(), names.end(), order);
    } else {
        std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
            return a.compare(b, Qt::CaseInsensitive) < 0;
        });
    }
    QStringListModel model(names);
    QListView view;
    view.setUniformItemSizes(true);
    view.setModel(&model);
    view.show();
    Settle();
    return model.rowCount() == games ? 0 : 1;
}

// bench_startup --child <program|qt-compare|qt-collator> <folder> <games>
int RunChild(int argc, char** argv) {
    if (argc != 5) return 2;
    const std::string variant = argv[2];
    const std::string folder = argv[3];
    const int games = std::atoi(argv[4]);
    QApplication app(argc, argv);  // sets the C library's locale from the environment
    int failed = variant.starts_with("program")
                     ? StartProgram(folder, games)
                     : StartMinimal(folder, games, variant == "qt-collator");
    std::printf("%ld\n", PeakKilobytes());
    std::fflush(stdout);
    return failed;
}

// ---- the parent: one child per iteration ----

struct Start {
    bool ok = false;
    double seconds = 0;
    double peakMegabytes = 0;
};

// Qt wants a runtime folder that only the user may enter; one for the children if need be.
std::string RuntimeFolder() {
    if (const char* own = std::getenv("XDG_RUNTIME_DIR")) return own;
    static const TempFolder folder("vorlisk-bench-runtime");
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::owner_all);
    return folder.Path();
}

Start RunStart(const std::string& variant, const Catalogue& catalogue, const std::string& locale) {
    std::vector<std::string> env = {"LC_ALL=" + locale, "QT_QPA_PLATFORM=offscreen",
                                    "XDG_RUNTIME_DIR=" + RuntimeFolder()};
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "LC_", 3) != 0 && std::strncmp(*e, "LANG", 4) != 0 &&
            std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0 &&
            std::strncmp(*e, "XDG_RUNTIME_DIR=", 16) != 0)
            env.emplace_back(*e);
    const std::vector<std::string> args = {"bench_startup", "--child", variant, catalogue.Folder(),
                                           std::to_string(catalogue.Games())};
    std::vector<char*> argv, envp;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    int out[2];
    if (::pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t child = -1;
    const Clock::time_point started = Clock::now();
    int spawned =
        posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    std::string output;
    Start start;
    char buffer[256];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) {
        if (output.empty())  // the report: the window is shown
            start.seconds = std::chrono::duration<double>(Clock::now() - started).count();
        output.append(buffer, static_cast<size_t>(n));
    }
    ::close(out[0]);
    if (spawned != 0) return {};
    int status = 0;
    ::waitpid(child, &status, 0);
    long kilobytes = 0;
    start.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
               std::sscanf(output.c_str(), "shown\n%ld", &kilobytes) == 1 && kilobytes > 0;
    start.peakMegabytes = static_cast<double>(kilobytes) / 1024.0;
    return start;
}

// The catalogue of `games` games as the program saved it in `locale`: in that locale's order,
// as a user's own catalogue is after its first save; or `shuffled` into a random order.
const Catalogue& CatalogueOf(int games, const std::string& locale, bool shuffled) {
    static std::map<std::tuple<int, std::string, bool>, std::unique_ptr<Catalogue>> made;
    auto& catalogue = made[{games, locale, shuffled}];
    if (!catalogue) catalogue = std::make_unique<Catalogue>(games, locale, shuffled);
    return *catalogue;
}

bool LocaleInstalled(const std::string& locale) {
    locale_t installed = ::newlocale(LC_ALL_MASK, locale.c_str(), nullptr);
    if (installed == nullptr) return false;
    ::freelocale(installed);
    return true;
}

void BM_StartUp(benchmark::State& state, const std::string& variant, int games,
                const std::string& locale, bool shuffled) {
    if (!LocaleInstalled(locale)) {
        state.SkipWithError(("the locale " + locale + " is not installed").c_str());
        return;
    }
    const Catalogue& catalogue = CatalogueOf(games, locale, shuffled);
    std::unique_ptr<CoverFolderOf> covers;
    if (variant == "program-covers") covers = std::make_unique<CoverFolderOf>(catalogue, games);
    double peak = 0;
    for (auto _ : state) {
        Start start = RunStart(variant, catalogue, locale);
        if (!start.ok) {
            state.SkipWithError("the start failed");
            return;
        }
        state.SetIterationTime(start.seconds);
        peak = std::max(peak, start.peakMegabytes);
    }
    state.counters["peak_MB"] = peak;
}

void RegisterStartUps() {
    for (bool shuffled : {false, true})
        for (const char* locale : {"C.UTF-8", "en_US.UTF-8"})
            for (int games : {32767, 300000})
                for (const char* variant :
                     {"program", "program-covers", "qt-compare", "qt-collator"}) {
                    if ((shuffled || games > 32767) && std::strcmp(variant, "program-covers") == 0)
                        continue;
                    std::string name = std::string("BM_StartUp/") + variant + "/" +
                                       std::to_string(games) + "/" + locale +
                                       (shuffled ? "/random" : "");
                    benchmark::RegisterBenchmark(name.c_str(), BM_StartUp, variant, games, locale,
                                                 shuffled)
                        ->UseManualTime()
                        ->Iterations(1)
                        ->Repetitions(5)
                        ->ReportAggregatesOnly(true)
                        ->Unit(benchmark::kMillisecond);
                }
}

}  // namespace
}  // namespace vorlisk::bench

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--child") == 0)
        return vorlisk::bench::RunChild(argc, argv);
    vorlisk::bench::RegisterStartUps();
    return vorlisk::bench::RunBenchmarks(argc, argv);
}
