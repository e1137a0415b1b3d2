#include <gtest/gtest.h>

#include <set>

#include "launch/playcommand.h"
#include "system/commandline.h"
#include "system/folders.h"
#include "tests/core/environment.h"

namespace vorlisk {
namespace {

using Words = std::vector<std::string>;
using vorlisk::testing::ScopedEnvironment;

TEST(PlayCommand, MountArgumentsQuoteTheImagePath) {
    EXPECT_EQ(DaemonMountArguments("/games/GAME.ISO"), " -mount 0,\"/games/GAME.ISO\"");
    EXPECT_EQ(DaemonMountArguments("/games/Race Day.cue"), " -mount 0,\"/games/Race Day.cue\"");
    EXPECT_EQ(DaemonMountArguments("C:\\ISO\\Race Day.cue"), " -mount 0,\"C:\\ISO\\Race Day.cue\"");

    // Whatever the path holds, it arrives as one argument after "-mount".
    for (std::string path : {"/games/Race Day.cue", "/games/a\"b.iso", "/games/x\\\"y z.iso",
                             "/games/$(rm -rf ~); `id`.iso", "C:\\ISO\\GAME.ISO"}) {
        EXPECT_EQ(SplitCommandLine("daemon" + DaemonMountArguments(path)),
                  (Words{"daemon", "-mount", "0," + path}))
            << path;
    }
}

// Images that no mount program takes are never mounted, whatever is installed.
TEST(PlayCommand, NoMountForImagesThatNoMountProgramTakes) {
    auto any = [](const std::string&) { return true; };
    for (const char* image : {"/g/a.chd", "/g/b.PBP", "/g/set.m3u", "C:\\G\\C.CHD"})
        EXPECT_EQ(PlayMountCommand("/app/", "/app/", image, any), "") << image;
    for (const char* image : {"/g/a.iso", "/g/b.cue", "/g/c.bin", "/g/chd.img"})
        EXPECT_NE(PlayMountCommand("/app/", "/app/", image, any), "") << image;
}

#ifdef _WIN32
// DAEMON Tools in the real Program Files folders, the old program and today's Lite, each with
// the command line it takes.
TEST(PlayCommand, DaemonToolsInTheRealProgramFiles) {
    const std::vector<std::string> folders = ProgramFilesFolders();
    ASSERT_FALSE(folders.empty());
    const std::string image = "C:\\ISO\\Race Day.iso";
    for (const std::string& folder : folders) {
        struct Case {
            std::string file;
            Words words;
        };
        const std::vector<Case> cases = {
            {folder + "d-tools\\daemon.exe",
             {folder + "d-tools\\daemon.exe", "-mount", "0," + image}},
            {folder + "DAEMON Tools Lite\\DTCommandLine.exe",
             {folder + "DAEMON Tools Lite\\DTCommandLine.exe", "--mount", "--path", image}},
        };
        for (const Case& c : cases) {
            auto exists = [&c](const std::string& path) { return path == c.file; };
            EXPECT_EQ(SplitCommandLine(PlayMountCommand("C:\\V\\", "C:\\V\\", image, exists)),
                      c.words)
                << c.file;
        }
    }
}
#else

TEST(PlayCommand, CandidatesInOrder) {
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        const char* what;
        std::string appPath, programFolder, path;
        std::vector<std::string> tested;
    };
    const std::vector<Case> cases = {
        {"installed",
         "/home/me/.local/share/vorlisk/",
         "/usr/bin/",
         "/usr/local/bin:/usr/bin/::/x",
         {"/home/me/.local/share/vorlisk/d-tools/daemon", "/usr/bin/d-tools/daemon",
          "/usr/libexec/vorlisk/daemon", "/usr/local/bin/daemon", "/usr/bin/daemon", "./daemon",
          "/x/daemon"}},
        {"portable, no PATH",
         "/opt/vorlisk/",
         "/opt/vorlisk/",
         "",
         {"/opt/vorlisk/d-tools/daemon", "/opt/libexec/vorlisk/daemon"}},
        {"in the root folder",
         "/data/",
         "/",
         "",
         {"/data/d-tools/daemon", "/d-tools/daemon", "/libexec/vorlisk/daemon"}},
    };
    for (const Case& c : cases) {
        Pairs expected;  // never a program named daemon in the working folder
        for (const std::string& path : c.tested) expected.push_back({path, path});
        EXPECT_EQ(DaemonCandidates(c.appPath, c.programFolder, c.path), expected) << c.what;
    }
}

class PlayCommandPath : public ::testing::Test {
  protected:
    void SetUp() override { environment_.Set("PATH", "/usr/local/bin:/usr/bin"); }

    ScopedEnvironment environment_;
};

TEST_F(PlayCommandPath, FirstExistingCandidateWins) {
    struct Case {
        std::set<std::string> existing;
        std::string program;
    };
    const std::string app = "/home/me/My Games/vorlisk/";
    const std::vector<Case> cases = {
        {{"daemon", app + "d-tools/daemon", "/usr/bin/daemon"}, app + "d-tools/daemon"},
        {{"daemon", "./daemon"}, ""},  // the working folder's program is never started
        {{app + "d-tools/daemon", "/usr/local/bin/daemon"}, app + "d-tools/daemon"},
        {{"/usr/libexec/vorlisk/daemon", "/usr/local/bin/daemon"}, "/usr/libexec/vorlisk/daemon"},
        {{"/usr/local/bin/daemon", "/usr/bin/daemon"}, "/usr/local/bin/daemon"},
        {{"/usr/bin/daemon"}, "/usr/bin/daemon"},
        {{"/bin/daemon", app + "daemon"}, ""},
        {{}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.program);
        std::vector<std::string> tested;
        auto exists = [&](const std::string& path) {
            tested.push_back(path);
            return c.existing.count(path) > 0;
        };
        EXPECT_EQ(FindDaemonCommand(app, "/usr/bin/", exists), c.program);
        // Later candidates are not tested once one is found.
        if (!c.program.empty()) EXPECT_TRUE(c.existing.count(tested.back()));

        std::string line = PlayMountCommand(app, "/usr/bin/", "/iso/Race Day.cue", exists);
        if (c.program.empty()) {
            EXPECT_EQ(line, "");
        } else {
            EXPECT_EQ(SplitCommandLine(line), (Words{c.program, "-mount", "0,/iso/Race Day.cue"}));
        }
    }
    // A program part without blanks goes unquoted.
    EXPECT_EQ(PlayMountCommand("/opt/v/", "/opt/v/", "/iso/A.ISO",
                               [](const std::string& p) { return p == "/opt/v/d-tools/daemon"; }),
              "/opt/v/d-tools/daemon -mount 0,\"/iso/A.ISO\"");
}

#endif

}  // namespace
}  // namespace vorlisk
