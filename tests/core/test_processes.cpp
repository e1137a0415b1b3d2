#include <gtest/gtest.h>

#include <regex>

#include "system/processes.h"
#include "tests/core/environment.h"
#include "tests/core/tempfolder.h"

#ifndef _WIN32
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

extern char** environ;
#endif

namespace vorlisk {
namespace {

TEST(Processes, NameMatchesTheEndOfTheProcessText) {
    struct Case {
        std::string text;
        std::string name;
        bool matches;
    };
    const std::vector<Case> cases = {
        {"daemon.exe", "daemon.exe", true},
        {"daemon.exe", "daemon", true},
        {"daemon.exe", "Daemon.EXE", true},
        {"C:\\PROGRAM FILES\\D-TOOLS\\DAEMON.EXE", "daemon.exe", true},
        {"C:\\PROGRAM FILES\\D-TOOLS\\DAEMON.EXE", "daemon", true},
        {"mydaemon.exe", "daemon.exe", true},
        {"/usr/bin/daemon", "daemon", true},
        {"/usr/bin/daemon", "DAEMON", true},
        {"/usr/bin/daemon", "daemon.exe", false},
        {"/usr/bin/daemonize", "daemon", false},
        {"daemon", "/usr/bin/daemon", false},  // a shorter text never matches
        {"/opt/emulator.bin", "emulator.bin", true},
        {"/opt/emulator.bin.exe", "emulator.bin", false},
        {"/opt/emulator", "emulator.", false},
        {"/opt/emulator..exe", "emulator.", false},
        {"/opt/dir.d/prog", "dir.d/prog", true},
        {"C:\\VGS\\VGS.EXE", "C:\\VGS\\VGS.EXE", true},
        {"D:\\C:\\VGS\\VGS.EXE", "c:\\vgs\\vgs.exe", true},
        {"C:\\VGS\\VGS.EXE", "D:\\VGS\\VGS.EXE", false},
        // The empty name stands for ".exe" alone.
        {"C:\\WINDOWS\\EXPLORER.EXE", "", true},
        {"/usr/bin/bash", "", false},
        {"", "", false},
        {"", "daemon", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProcessNameMatches(c.text, c.name), c.matches) << c.text << " / " << c.name;
}

TEST(Processes, ChooseWindowPrefersAnEqualTitle) {
    const std::string vgs = "Connectix Virtual Game Station";
    struct Case {
        std::vector<WindowEntry> windows;
        std::optional<size_t> chosen;
    };
    const std::vector<Case> cases = {
        {{}, std::nullopt},
        {{{"1", "Terminal"}, {"2", "Connectix Virtual Game"}}, std::nullopt},
        {{{"1", "Terminal"}, {"2", vgs}}, 1},
        {{{"1", vgs + " - Ridge Racer"}, {"2", vgs}}, 1},
        {{{"1", vgs + " - Ridge Racer"}, {"2", vgs + " - Tekken"}}, 0},
        {{{"1", "CONNECTIX VIRTUAL GAME STATION"}}, 0},
        {{{"1", "My " + vgs}}, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ChooseWindow(c.windows, vgs), c.chosen);
}

TEST(Processes, EscapedTitleMatchesOnlyItself) {
    for (std::string title : {"Connectix Virtual Game Station", "a.b*c+d?(e)[f]{g}|h^i$j\\k",
                              "C:\\VGS\\VGS.EXE - [Game]"}) {
        std::regex pattern("^" + EscapeRegexText(title), std::regex::extended);
        EXPECT_TRUE(std::regex_search(title, pattern)) << title;
        EXPECT_TRUE(std::regex_search(title + " - more", pattern)) << title;
        std::string other = title;
        other[1] = other[1] == 'x' ? 'y' : 'x';
        EXPECT_FALSE(std::regex_search(other, pattern)) << title;
    }
}

#ifndef _WIN32

namespace fs = std::filesystem;

using vorlisk::testing::ReadWholeFile;
using vorlisk::testing::ScopedEnvironment;
using vorlisk::testing::TempFolder;
using vorlisk::testing::WriteWholeFile;

void WriteScript(const fs::path& path, const std::string& text) {
    WriteWholeFile(path, text);
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
}

// Waits until the file appears (the helpers write it last, by renaming).
bool WaitForFile(const fs::path& path) {
    for (int i = 0; i < 500; ++i) {
        if (fs::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Children of this process that ended and were never waited for.
int ZombieChildren() {
    int zombies = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::string stat = ReadWholeFile(entry.path() / "stat");
        size_t close = stat.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream fields(stat.substr(close + 2));
        char state = 0;
        long parent = 0;
        fields >> state >> parent;
        if (parent == ::getpid() && state == 'Z') ++zombies;
    }
    return zombies;
}

std::string OwnExecutableName() { return fs::read_symlink("/proc/self/exe").filename().string(); }

TEST(Processes, FindsThisTestProgram) {
    const std::string self = OwnExecutableName();
    ASSERT_FALSE(self.empty());
    EXPECT_TRUE(IsProcessRunning(self));
    EXPECT_TRUE(IsProcessRunning(fs::read_symlink("/proc/self/exe").string()));
    std::string upper = self;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(IsProcessRunning(upper));
    EXPECT_TRUE(IsProcessRunning(self.substr(1)));  // an ends-with test
    // A dotted name is used as it is: no ".exe" is appended, and no running program ends
    // in this one.
    EXPECT_FALSE(IsProcessRunning(self + "." + std::to_string(::getpid())));
    EXPECT_FALSE(IsProcessRunning("no-such-program-" + std::to_string(::getpid())));
}

TEST(Processes, FindsAHelperByExecutableAndByFirstWord) {
    TempFolder dir("vorlisk-probe");
    const std::string tag = std::to_string(::getpid());
    const fs::path probe = dir.Path("vlkprobe" + tag);
    fs::copy_file("/bin/sleep", probe);
    fs::permissions(probe, fs::perms::owner_all);

    // The first word is what a program under Wine shows: its Windows path.
    std::string first = "C:\\GAMES\\WINPROBE" + tag + ".EXE";
    std::string seconds = "30";
    char* argv[] = {first.data(), seconds.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, probe.c_str(), nullptr, nullptr, argv, environ), 0);
    // The child shows the helper only once it has replaced itself with it, and the kernel
    // changes the executable before the command line: wait for both.
    for (int wait = 0; wait < 500 && !(IsProcessRunning(probe.string()) && IsProcessRunning(first));
         ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    struct Case {
        std::string name;
        bool running;
    };
    const std::vector<Case> cases = {
        {"vlkprobe" + tag, true},
        {"VLKPROBE" + tag, true},
        {probe.string(), true},
        {"vlkprobe" + tag + ".exe", false},
        {"winprobe" + tag, true},  // with ".exe" added
        {"WinProbe" + tag + ".exe", true},
        {"games\\winprobe" + tag, true},
        {"winprobe" + tag + ".bin", false},
        {"D:\\GAMES\\WINPROBE" + tag + ".EXE", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsProcessRunning(c.name), c.running) << c.name;

    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    for (const auto& c : cases) EXPECT_FALSE(IsProcessRunning(c.name)) << c.name << " after kill";
}

// A program that is a script shows its interpreter as the executable; the script's path, the
// interpreter's first argument after its options, tells which program runs.
TEST(Processes, FindsAScriptByItsPath) {
    TempFolder dir("vorlisk-script");
    const std::string tag = std::to_string(::getpid());
    const std::string direct = dir.Path("vlkdirect" + tag), relative = dir.Path("vlkrel" + tag);
    for (const std::string& script : {direct, relative})
        WriteScript(script, "#!/bin/sh\nsleep 30 & wait\n");

    struct Start {
        std::string program;
        std::vector<std::string> arguments;
    };
    const std::vector<Start> starts = {
        {direct, {direct}},  // by its #! line: /bin/sh <script>
        {"/bin/sh", {"sh", "-e", "--", "./vlkrel" + tag}},
    };
    std::vector<pid_t> started;
    for (const auto& start : starts) {
        std::vector<char*> argv;
        for (const std::string& argument : start.arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, dir.Path().c_str());
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);  // its own group
        pid_t pid = 0;
        int failed =
            ::posix_spawn(&pid, start.program.c_str(), &actions, &attributes, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        ASSERT_EQ(failed, 0);
        started.push_back(pid);
    }
    for (int wait = 0; wait < 500 && !(IsProcessRunning(direct) && IsProcessRunning(relative));
         ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));

    const std::vector<std::pair<std::string, bool>> cases = {
        {direct, true},
        {"VLKDIRECT" + tag, true},
        {relative, true},
        {"vlkrel" + tag + ".sh", false},
        {dir.Path("other") + "/vlkrel" + tag, false},
    };
    for (const auto& [name, running] : cases) EXPECT_EQ(IsProcessRunning(name), running) << name;
    for (pid_t pid : started) {
        ::kill(-pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    for (const auto& [name, running] : cases) EXPECT_FALSE(IsProcessRunning(name)) << name;
}

TEST(Processes, StartsWithoutAShellAndDetached) {
    TempFolder dir("vorlisk start");  // a blank in every path
    const fs::path script = dir.Path("report args.sh");
    WriteScript(script,
                "#!/bin/sh\n"
                "out=\"$1\"; shift\n"
                "{ for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done\n"
                "  printf 'stdin=%s\\n' \"$(readlink /proc/$$/fd/0)\"\n"
                "  printf 'stat=%s\\n' \"$(cat /proc/$$/stat)\"; } > \"$out.part\"\n"
                "mv \"$out.part\" \"$out\"\n");
    const fs::path out = dir.Path("out.txt");
    TempFolder trapDir("vorlisk-trap");  // no blank: a shell would see one command word
    const fs::path trap = trapDir.Path("trap");
    const std::string line = "\"" + script.string() + "\" \"" + out.string() +
                             "\" \"two words\" \"quote\\\"inside\" ; $(touch " + trap.string() +
                             ") `touch " + trap.string() + "` && x \"\"";

    StartDetached(line);
    ASSERT_TRUE(WaitForFile(out));
    std::string report = ReadWholeFile(out);
    EXPECT_EQ(report.substr(0, report.find("stdin=")),
              "[two words]\n[quote\"inside]\n[;]\n[$(touch]\n[" + trap.string() +
                  ")]\n[`touch]\n[" + trap.string() + "`]\n[&&]\n[x]\n[]\n");
    EXPECT_NE(report.find("stdin=/dev/null\n"), std::string::npos) << report;
    EXPECT_FALSE(fs::exists(trap));

    // The helper runs in a session of its own, and no child is left behind unreaped.
    std::string stat = report.substr(report.find("stat="));
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    char state;
    long parent, group, session;
    fields >> state >> parent >> group >> session;
    EXPECT_NE(session, static_cast<long>(::getsid(0)));
    EXPECT_NE(parent, static_cast<long>(::getpid()));
    EXPECT_EQ(ZombieChildren(), 0);
}

TEST(Processes, StartLooksUpBareNamesOnPath) {
    TempFolder dir("vorlisk-path");
    const std::string tag = std::to_string(::getpid());
    WriteScript(dir.Path("vlk-report-" + tag),
                "#!/bin/sh\nprintf '%s\\n' \"$2\" > \"$1.part\"; mv \"$1.part\" \"$1\"\n");
    const fs::path out = dir.Path("out");

    {
        ScopedEnvironment environment;
        const char* oldPath = std::getenv("PATH");
        environment.Set("PATH", dir.Path() + ":" + (oldPath ? oldPath : ""));
        EXPECT_EQ(FindProgramOnPath("vlk-report-" + tag), dir.Path() + "/vlk-report-" + tag);
        StartDetached("vlk-report-" + tag + " " + out.string() + " found");
        // Starting what cannot be started is quietly ignored.
        StartDetached("");
        StartDetached("   ");
        StartDetached("no-such-program-" + tag + " a b");
        StartDetached(dir.Path() + "/missing-program");
    }

    ASSERT_TRUE(WaitForFile(out));
    EXPECT_EQ(ReadWholeFile(out), "found\n");
    EXPECT_EQ(FindProgramOnPath("vlk-report-" + tag), "");
    EXPECT_EQ(ZombieChildren(), 0);
}

// A started program is watched for its first moments: its end within them with the exit code
// (128 + the signal) and the last 4 KiB of its error output, or that it outlived them.
TEST(Processes, StartReportsAnEndWithinTheWatch) {
    TempFolder dir("vorlisk-watch");
    struct Case {
        const char* what;
        std::string script;
        StartOutcome expected;
    };
    const std::string many =
        "i=0; while [ $i -lt 2000 ]; do echo \"line $i\" >&2; i=$((i+1)); done";
    const Case cases[] = {
        {"fails", "echo first >&2; echo last >&2; exit 3", {true, true, 3, "first\nlast\n"}},
        {"ends well", "exit 0", {true, true, 0, ""}},
        {"killed", "kill -9 $$", {true, true, 137, ""}},
        {"writes much", many + "; exit 1", {true, true, 1, "line 1999\n"}},
        {"outlives the watch", "echo early >&2; exec sleep 2", {true, false, -1, ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path script = dir.Path("started");
        WriteScript(script, "#!/bin/sh\n" + c.script + "\n");
        std::unique_ptr<StartedProgram> program =
            StartDetached(script.string(), std::chrono::milliseconds(500));
        ASSERT_TRUE(program);
        StartOutcome outcome;
        for (int i = 0; i < 500 && !outcome.known; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            outcome = program->Poll();
        }
        EXPECT_TRUE(outcome.known);
        EXPECT_EQ(outcome.ended, c.expected.ended);
        EXPECT_EQ(outcome.exitCode, c.expected.exitCode);
        EXPECT_LE(outcome.output.size(), 4096u);
        EXPECT_TRUE(outcome.output.ends_with(c.expected.output)) << outcome.output;
        if (c.expected.output.empty()) EXPECT_EQ(outcome.output, "");
    }
    EXPECT_EQ(StartDetached("no-such-program-of-vorlisk")->Poll().failure,
              "no-such-program-of-vorlisk: no program of this name is found on PATH");
}

TEST(Processes, RunProgramCollectsOutputAndKeepsItsTimeLimit) {
    TempFolder dir("vorlisk-run");
    const fs::path talk = dir.Path("talk");
    WriteScript(talk, "#!/bin/sh\nprintf 'out %s\\n' \"$1\"; printf 'err\\n' >&2; exit 3\n");
    ProgramRun run = RunProgram({talk.string(), "a b"}, std::chrono::milliseconds(5000));
    EXPECT_TRUE(run.started);
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.output, "out a b\n");
    EXPECT_EQ(run.errors, "err\n");

    const fs::path slow = dir.Path("slow");
    WriteScript(slow, "#!/bin/sh\nprintf 'begun\\n'\nexec /bin/sleep 30\n");
    auto before = std::chrono::steady_clock::now();
    run = RunProgram({slow.string()}, std::chrono::milliseconds(300));
    auto took = std::chrono::steady_clock::now() - before;
    EXPECT_TRUE(run.started);
    EXPECT_FALSE(run.finished);
    EXPECT_LT(took, std::chrono::seconds(5));
    EXPECT_FALSE(IsProcessRunning(slow.string()));

    run = RunProgram({dir.Path("missing")}, std::chrono::milliseconds(1000));
    EXPECT_FALSE(run.started);
    EXPECT_FALSE(run.finished);
    EXPECT_EQ(ZombieChildren(), 0);
}

TEST(Processes, NoWindowSystemMeansNoWindow) {
    ScopedEnvironment environment;
    environment.Unset("DISPLAY");
    EXPECT_FALSE(ActivateWindowByTitleAndSendEnter("Connectix Virtual Game Station"));
    // A display but no xdotool to ask.
    TempFolder empty("vorlisk-nopath");
    environment.Set("DISPLAY", ":99");
    environment.Set("PATH", empty.Path());
    EXPECT_FALSE(ActivateWindowByTitleAndSendEnter("Connectix Virtual Game Station"));
}

#endif

}  // namespace
}  // namespace vorlisk
