// The Linux `daemon` helper (tools/daemon), run as the program runs it.
#include <gtest/gtest.h>

#ifndef _WIN32

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "import/discid.h"
#include "system/processes.h"
#include "system/services.h"
#include "tests/core/environment.h"
#include "tests/core/tempfolder.h"

namespace vorlisk {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using vorlisk::testing::ReadWholeFile;
using vorlisk::testing::ScopedEnvironment;
using vorlisk::testing::TempFolder;
using vorlisk::testing::WriteWholeFile;

#ifdef VORLISK_SOURCE_DIR
const std::string kHelper = std::string(VORLISK_SOURCE_DIR) + "/tools/daemon";
#else
const std::string kHelper;
#endif

class DaemonHelperTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (kHelper.empty()) GTEST_SKIP() << "VORLISK_SOURCE_DIR is not defined for core_tests";
        temp_.MakeFolder("images");
        temp_.MakeFolder("runtime");
        env_.Set("XDG_RUNTIME_DIR", temp_.Path("runtime"));
        mountPoint_ = temp_.Path("runtime/vorlisk-" + std::to_string(::getuid()) + "/disc");
    }

    ProgramRun Helper(const std::vector<std::string>& arguments) {
        std::vector<std::string> all = {kHelper};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return RunProgram(all, 10s);
    }

    ScopedEnvironment env_;
    TempFolder temp_{"vorlisk-daemon"};
    std::string mountPoint_;
};

// fuseiso and fusermount stand-ins that only write down how they were called.
class DaemonHelperArguments : public DaemonHelperTest {
  protected:
    void SetUp() override {
        DaemonHelperTest::SetUp();
        if (IsSkipped()) return;
        temp_.MakeFolder("bin");
        for (std::string tool : {"fuseiso", "fusermount"}) {
            const std::string path = temp_.Path("bin/" + tool);
            WriteWholeFile(path,
                           "#!/bin/sh\n{ printf '" + tool +
                               "'; for a in \"$@\"; do printf ' <%s>' \"$a\"; done; echo; } >> \"" +
                               temp_.Path("calls") + "\"\n");
            fs::permissions(path, fs::perms::owner_all);
        }
        const char* path = std::getenv("PATH");
        env_.Set("PATH", temp_.Path("bin") + ":" + (path ? path : "/usr/bin:/bin"));
    }
    std::string Calls() {
        std::string calls = temp_.Read("calls");
        fs::remove(temp_.Path("calls"));
        return calls;
    }
    std::string Images() const { return temp_.Path("images"); }
};

TEST_F(DaemonHelperArguments, MountsTheRightDataFile) {
    const std::string images = Images();
    WriteWholeFile(images + "/My Game.iso", "iso");
    WriteWholeFile(images + "/Race Day (Track 1).bin", "bin");
    WriteWholeFile(images + "/Race Day.cue",
                   "REM made on Windows\r\n  file \"Race Day (Track 1).bin\" BINARY\r\n"
                   "  TRACK 01 MODE2/2352\r\nFILE \"Other.bin\" BINARY\r\n");
    WriteWholeFile(images + "/track.bin", "bin");
    WriteWholeFile(images + "/Windows.cue", "FILE \"C:\\GAMES\\TRACK.BIN\" BINARY\n");
    WriteWholeFile(images + "/plain.bin", "bin");
    WriteWholeFile(images + "/Plain.cue", "FILE plain.bin BINARY\n");
    WriteWholeFile(images + "/Clone.ccd", "[CloneCD]\n");
    WriteWholeFile(images + "/Clone.IMG", "img");
    WriteWholeFile(images + "/$(touch trap); `touch trap`.iso", "iso");

    const std::string unmount = "fusermount <-u> <-z> <-q> <" + mountPoint_ + ">\n";
    auto mounted = [&](const std::string& file) {
        return unmount + "fuseiso <-n> <" + file + "> <" + mountPoint_ + "> <-o> <ro>\n";
    };
    struct Case {
        std::vector<std::string> arguments;
        std::string calls;
    };
    const std::vector<Case> cases = {
        {{"-mount", "0," + images + "/My Game.iso"}, mounted(images + "/My Game.iso")},
        {{"-mount 0," + images + "/My Game.iso"}, mounted(images + "/My Game.iso")},
        {{"-mount", "0,", images + "/My Game.iso"}, mounted(images + "/My Game.iso")},
        {{"-mount", "0," + images + "/Race Day.cue"}, mounted(images + "/Race Day (Track 1).bin")},
        {{"-mount", "0," + images + "/Windows.cue"}, mounted(images + "/track.bin")},
        {{"-mount", "0," + images + "/Plain.cue"}, mounted(images + "/plain.bin")},
        {{"-mount", "0," + images + "/Clone.ccd"}, mounted(images + "/Clone.IMG")},
        {{"-mount", "0," + images + "/$(touch trap); `touch trap`.iso"},
         mounted(images + "/$(touch trap); `touch trap`.iso")},
        {{"-unmount", "0"}, unmount},
        {{"-unmount 0"}, unmount},
        {{"-mount", "1," + images + "/My Game.iso"},
         "fusermount <-u> <-z> <-q> <" + mountPoint_ + "1>\nfuseiso <-n> <" + images +
             "/My Game.iso> <" + mountPoint_ + "1> <-o> <ro>\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[0] + (c.arguments.size() > 1 ? " " + c.arguments[1] : ""));
        ProgramRun run = Helper(c.arguments);
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_EQ(Calls(), c.calls);
    }
    EXPECT_FALSE(fs::exists("trap"));
    EXPECT_FALSE(fs::exists(images + "/trap"));
    // The helper's own folder is private to the user.
    auto perms = fs::status(fs::path(mountPoint_).parent_path()).permissions();
    EXPECT_EQ(perms & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
}

TEST_F(DaemonHelperArguments, RefusesWhatItCannotMount) {
    const std::string images = Images();
    WriteWholeFile(images + "/Lost.cue", "FILE \"Lost.bin\" BINARY\n");
    WriteWholeFile(images + "/Empty.cue", "REM no file line\n");
    WriteWholeFile(images + "/Alone.ccd", "[CloneCD]\n");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"-mount"},
        {"-eject", "0"},
        {"-mount", images + "/Lost.cue"},  // no device
        {"-mount", "7," + images + "/Lost.cue"},
        {"-mount", "0," + images + "/missing.iso"},
        {"-mount", "0,"},
        {"-mount", "0," + images + "/Lost.cue"},
        {"-mount", "0," + images + "/Empty.cue"},
        {"-mount", "0," + images + "/Alone.ccd"},
    };
    for (const auto& arguments : cases) {
        std::string shown;
        for (const auto& a : arguments) shown += a + " ";
        SCOPED_TRACE(shown);
        ProgramRun run = Helper(arguments);
        EXPECT_TRUE(run.finished);
        EXPECT_NE(run.exitCode, 0);
        EXPECT_NE(run.errors.find("daemon: "), std::string::npos) << run.errors;
        EXPECT_EQ(Calls(), "");
    }
}

TEST_F(DaemonHelperArguments, SaysWhenFuseisoIsMissing) {
    WriteWholeFile(Images() + "/A.iso", "iso");
    env_.Set("PATH", temp_.Path("images"));  // nothing to run there
    ProgramRun run = Helper({"-mount", "0," + Images() + "/A.iso"});
    EXPECT_TRUE(run.finished);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find("fuseiso"), std::string::npos) << run.errors;
}

// The real thing: an ISO image with a PlayStation boot file, mounted through FUSE.
class DaemonHelperMount : public DaemonHelperTest {
  protected:
    void TearDown() override {
        if (!kHelper.empty()) Helper({"-unmount", "0"});
        DaemonHelperTest::TearDown();
    }

    // The file-system type mounted at the mount point, or empty.
    std::string MountedType() const {
        std::istringstream mounts(ReadWholeFile("/proc/self/mounts"));
        std::string device, point, type, rest;
        std::string found;
        while (mounts >> device >> point >> type && std::getline(mounts, rest))
            if (point == mountPoint_) found = type;
        return found;
    }

    bool WaitForMount(bool wanted) const {
        for (int i = 0; i < 100; ++i) {
            if (!MountedType().empty() == wanted) return true;
            std::this_thread::sleep_for(30ms);
        }
        return false;
    }

    // The first line of system.cnf in the root, whatever the case of its name.
    std::string BootLine() const {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(mountPoint_, error)) {
            std::string name = entry.path().filename().string();
            for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (name != "system.cnf") continue;
            std::string text = ReadWholeFile(entry.path());
            return text.substr(0, text.find_first_of("\r\n"));
        }
        return {};
    }
};

TEST_F(DaemonHelperMount, MountsAnIsoImageAsADisc) {
    int fuse = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (fuse < 0) GTEST_SKIP() << "/dev/fuse cannot be opened";
    ::close(fuse);
    if (FindProgramOnPath("fuseiso").empty()) GTEST_SKIP() << "fuseiso is not installed";
    std::vector<std::string> builder;
    if (std::string tool = FindProgramOnPath("genisoimage"); !tool.empty())
        builder = {tool, "-quiet"};
    else if (std::string tool = FindProgramOnPath("xorriso"); !tool.empty())
        builder = {tool, "-as", "mkisofs", "-quiet"};
    else
        GTEST_SKIP() << "neither genisoimage nor xorriso is installed";

    temp_.Write("disc/SYSTEM.CNF", "BOOT = cdrom:\\SLUS_005.94;1\r\nTCB = 4\r\n");
    const std::string image = temp_.Path("images/Race Day.iso");
    builder.insert(builder.end(), {"-o", image, temp_.Path("disc")});
    ProgramRun build = RunProgram(builder, 30s);
    ASSERT_TRUE(build.finished && build.exitCode == 0) << build.errors;

    ProgramRun mount = Helper({"-mount", "0," + image});
    ASSERT_TRUE(mount.finished);
    ASSERT_EQ(mount.exitCode, 0) << mount.errors;
    ASSERT_TRUE(WaitForMount(true));
    EXPECT_EQ(MountedType(), "fuse.fuseiso");
    EXPECT_EQ(BootLine(), "BOOT = cdrom:\\SLUS_005.94;1");
    // The program sees the mounted image as a CD-ROM drive holding that disc.
    std::vector<std::string> roots = PlatformServices().CdromRoots();
    EXPECT_NE(std::find(roots.begin(), roots.end(), mountPoint_ + "/"), roots.end());
    EXPECT_EQ(GetDiscGameId(roots), "SLUS-00594");

    // Mounting again, through a cue sheet, replaces the first mount.
    temp_.Write("images/Race Day.cue", "FILE \"Race Day.iso\" BINARY\r\n");
    mount = Helper({"-mount 0," + temp_.Path("images/Race Day.cue")});
    ASSERT_EQ(mount.exitCode, 0) << mount.errors;
    ASSERT_TRUE(WaitForMount(true));
    EXPECT_EQ(BootLine(), "BOOT = cdrom:\\SLUS_005.94;1");
    std::string mounts = ReadWholeFile("/proc/self/mounts");
    size_t count = 0;
    for (size_t at = 0; (at = mounts.find(" " + mountPoint_ + " ", at)) != std::string::npos; ++at)
        ++count;
    EXPECT_EQ(count, 1u);

    ProgramRun unmount = Helper({"-unmount", "0"});
    EXPECT_EQ(unmount.exitCode, 0) << unmount.errors;
    EXPECT_TRUE(WaitForMount(false));
}

}  // namespace
}  // namespace vorlisk

#endif
