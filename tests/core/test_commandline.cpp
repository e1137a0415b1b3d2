#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <set>

#include "system/commandline.h"

#ifndef _WIN32
#include <filesystem>

#include "system/services.h"
#include "tests/core/tempfolder.h"
#endif

namespace vorlisk {
namespace {

using Words = std::vector<std::string>;

TEST(CommandLine, SplitsTheWindowsWay) {
    struct Case {
        std::string line;
        Words words;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {" \t  ", {}},
        {"prog", {"prog"}},
        {"  prog  a\t\tb  c ", {"prog", "a", "b", "c"}},
        {R"("C:\Program Files\vgs.exe" -x)", {R"(C:\Program Files\vgs.exe)", "-x"}},
        {R"(daemon -mount 0,"/games/Race Day.cue")", {"daemon", "-mount", "0,/games/Race Day.cue"}},
        {R"(a "" b)", {"a", "", "b"}},
        {R"("")", {""}},
        {R"(x "a"b"c d")", {"x", "abc d"}},
        {R"("unclosed to the end)", {"unclosed to the end"}},
        {R"(C:\TOOLS\NOTE.EXE disc not mounted)",
         {R"(C:\TOOLS\NOTE.EXE)", "disc", "not", "mounted"}},
        // Backslashes are literal unless they stand before a double quote.
        {R"(a\b\\c d\)", {R"(a\b\\c)", R"(d\)"}},
        {R"(a\"b)", {R"(a"b)"}},
        {R"(a\\"b c")", {R"(a\b c)"}},
        {R"(a\\\"b)", {R"(a\"b)"}},
        {R"(a\\\\"b c")", {R"(a\\b c)"}},
        {R"("a\\" b)", {R"(a\)", "b"}},
        {R"("quote\"inside")", {R"(quote"inside)"}},
        // Nothing a shell would see is special here.
        {R"(prog ; $(touch x) `id` && a|b > f)",
         {"prog", ";", "$(touch", "x)", "`id`", "&&", "a|b", ">", "f"}},
        {"tab\tseparated\r", {"tab", "separated\r"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

TEST(CommandLine, UnquotedProgramWithBlanksIsTheLongestRunThatNamesAProgram) {
    const std::set<std::string> programs = {
        "/opt/My Emu/emu", "/opt/A B/C",       "/opt/A B/C D/emu", "emu",
        "/srv/Old",        "/srv/Old Emu/emu", "/usr/x y"};
    auto isProgram = [&](const std::string& text) { return programs.count(text) > 0; };
    struct Case {
        std::string line;
        Words words;
    };
    const std::vector<Case> cases = {
        {"/opt/My Emu/emu", {"/opt/My Emu/emu"}},
        {" \t/opt/My Emu/emu\t-x  ", {"/opt/My Emu/emu", "-x"}},
        {R"(/opt/My Emu/emu -x "/games/a b.iso")", {"/opt/My Emu/emu", "-x", "/games/a b.iso"}},
        // A program planted at a shorter run loses to the longer one.
        {"/opt/A B/C D/emu -x", {"/opt/A B/C D/emu", "-x"}},
        {"/opt/A B/C -x", {"/opt/A B/C", "-x"}},
        {"/usr/x y z", {"/usr/x y", "z"}},
        // Also when the first word alone names a program.
        {"/srv/Old Emu/emu", {"/srv/Old Emu/emu"}},
        {"/srv/Old Emu", {"/srv/Old", "Emu"}},
        {"emu /opt/My Emu/emu", {"emu", "/opt/My", "Emu/emu"}},
        // Quoted programs, and runs into a quoted word, are not looked for.
        {R"("/opt/My" Emu/emu)", {"/opt/My", "Emu/emu"}},
        {R"(/opt/My Emu/"emu")", {"/opt/My", "Emu/emu"}},
        {"/no/such prog -x", {"/no/such", "prog", "-x"}},
        {"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitProgramAndArguments(c.line, isProgram), c.words) << c.line;
}

TEST(CommandLine, AProgramGivenByItsFullPathStartsInItsOwnFolder) {
    auto isProgram = [](const std::string& text) {
        return text == R"(C:\Emulators\ePSXe 2\epsxe.exe)";
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {R"("C:\Emulators\DuckStation\duck.exe" -batch -- "D:\a b.iso")",
         R"(C:\Emulators\DuckStation\)"},
        {R"(C:\Emulators\ePSXe 2\epsxe.exe -nogui)", R"(C:\Emulators\ePSXe 2\)"},
        {R"(\\nas\games\emu.exe)", R"(\\nas\games\)"},
        // By name or by a relative path: where Vorlisk runs, as ever.
        {"epsxe.exe", ""},
        {R"(emu\epsxe.exe)", ""},
    };
    for (const auto& [line, folder] : cases)
        EXPECT_EQ(WindowsProgramFolder(line, isProgram), folder) << line;
}

TEST(CommandLine, QuotedArgumentsComeBackWhole) {
    const std::vector<std::string> arguments = {
        "plain",
        "two words",
        "",
        "tab\there",
        "quote\"in",
        "\"",
        "end\\",
        "end\\\\",
        "sp ace\\",
        "a\\\"b",
        "\\\\\"\\",
        "C:\\Dir\\",
        "/home/me/My Games/Race \"Day\".cue",
    };
    for (const auto& argument : arguments) {
        std::string line = "prog " + QuoteArgument(argument) + " next";
        EXPECT_EQ(SplitCommandLine(line), (Words{"prog", argument, "next"})) << line;
        std::string inside = "\"" + EscapeInsideQuotes(argument) + "\"";
        EXPECT_EQ(SplitCommandLine(inside), Words{argument}) << inside;
    }
    // Text that needs no quoting is left as it is.
    EXPECT_EQ(QuoteArgument("/usr/bin/daemon"), "/usr/bin/daemon");
    EXPECT_EQ(QuoteArgument("C:\\progra~1\\d-tools\\daemon"), "C:\\progra~1\\d-tools\\daemon");
    EXPECT_EQ(QuoteArgument("/my games/daemon"), "\"/my games/daemon\"");
    EXPECT_EQ(EscapeInsideQuotes("C:\\ISO\\Race Day.cue"), "C:\\ISO\\Race Day.cue");
}

#ifndef _WIN32

TEST(CommandLine, RunsToItsEndAndAnswersExitCodeAndErrorOutput) {
    vorlisk::testing::TempFolder temp("vorlisk run");
    const std::string tool = temp.Write("my tools/mount", R"(#!/bin/sh
[ "$1" = flood ] && exec head -c 300000 /dev/zero >&2
printf 'cannot mount "%s"\n' "$1" >&2; exit 73
)");
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    PlatformServices services;
    // The program is unquoted, with a blank in its path.
    ProgramRun run = services.RunCommandLine(tool + R"( "/games/Race Day.iso")",
                                             ShowState::Minimized, std::chrono::seconds(10), {});
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 73);
    EXPECT_EQ(run.errors, "cannot mount \"/games/Race Day.iso\"\n");
    // A program that writes without end leaves no more than 64 KiB of it.
    run = services.RunCommandLine(tool + " flood", ShowState::Minimized, std::chrono::seconds(10),
                                  {});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.errors, std::string(64 * 1024, '\0'));
}

TEST(CommandLine, StopsWaitingWhenAskedAndEndsTheProgram) {
    vorlisk::testing::TempFolder temp;
    const std::string pidFile = temp.Path("pid");
    const std::string tool = temp.Write("slow", "#!/bin/sh\necho $$ > \"$1\"\nexec sleep 60\n");
    std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
    PlatformServices services;
    int asked = 0;
    // Asked again and again while it waits, until the program has told its process id.
    ProgramRun run = services.RunCommandLine(tool + " " + pidFile, ShowState::Minimized,
                                             std::chrono::seconds(60), [&] {
                                                 ++asked;
                                                 return !temp.Read("pid").empty();
                                             });
    EXPECT_TRUE(run.started);
    EXPECT_FALSE(run.finished);
    EXPECT_FALSE(run.stillRunning);
    EXPECT_GT(asked, 0);
    const pid_t pid = static_cast<pid_t>(std::stol(temp.Read("pid")));
    EXPECT_TRUE(::kill(pid, 0) != 0 && errno == ESRCH) << "the program was left running";
}

#endif

}  // namespace
}  // namespace vorlisk
