// The Linux `daemon` helper (tools/daemon), run as the program runs it.
#include <gtest/gtest.h>

#ifndef _WIN32

#include <signal.h>
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
#include "tests/core/discimages.h"
#include "tests/core/environment.h"
#include "tests/core/tempfolder.h"

namespace vorlisk {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using vorlisk::testing::BuildPlayStationIso;
using vorlisk::testing::ReadWholeFile;
using vorlisk::testing::ScopedEnvironment;
using vorlisk::testing::TempFolder;
using vorlisk::testing::WhyNoDiscMounts;
using vorlisk::testing::WriteDiscImage;
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
    WriteWholeFile(images + "/Game.bwt", "BWT5 STREAM SIGN");
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
        {"-mount", "0," + images + "/Game.bwt"},
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

    // A state folder that is not the user's own is never acted on, not even to unmount.
    const std::string elsewhere = temp_.MakeFolder("elsewhere");
    fs::create_directory_symlink(elsewhere, fs::path(mountPoint_).parent_path());
    WriteWholeFile(images + "/A.iso", "iso");
    for (const auto& arguments : {std::vector<std::string>{"-unmount", "0"},
                                  std::vector<std::string>{"-mount", "0," + images + "/A.iso"}}) {
        ProgramRun run = Helper(arguments);
        EXPECT_EQ(run.exitCode, 73) << arguments[0];
        EXPECT_NE(run.errors.find("belongs to another user"), std::string::npos) << run.errors;
        EXPECT_EQ(Calls(), "");
    }
    EXPECT_TRUE(fs::is_empty(elsewhere));
}

TEST_F(DaemonHelperArguments, SaysWhenFuseisoIsMissing) {
    WriteWholeFile(Images() + "/A.iso", "iso");
    env_.Set("PATH", temp_.Path("images"));  // nothing to run there
    ProgramRun run = Helper({"-mount", "0," + Images() + "/A.iso"});
    EXPECT_TRUE(run.finished);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find("fuseiso"), std::string::npos) << run.errors;
}

// The real thing: disc images with a PlayStation boot file, mounted through FUSE.
class DaemonHelperMount : public DaemonHelperTest {
  protected:
    void SetUp() override {
        DaemonHelperTest::SetUp();
        if (IsSkipped()) return;
        if (std::string why = WhyNoDiscMounts(); !why.empty()) GTEST_SKIP() << why;
    }
    void TearDown() override {
        if (!kHelper.empty()) Helper({"-unmount", "0"});
        DaemonHelperTest::TearDown();
    }

    // Builds images/<name>.iso with the boot line `bootLine` and answers its path.
    std::string Iso(const std::string& name, const std::string& bootLine) {
        const std::string iso = temp_.Path("images/" + name + ".iso");
        std::string failure = BuildPlayStationIso(iso, bootLine);
        EXPECT_EQ(failure, "");
        return iso;
    }

    // The file-system types mounted at the mount point, one per mount.
    std::vector<std::string> MountedTypes() const {
        std::istringstream mounts(ReadWholeFile("/proc/self/mounts"));
        std::string device, point, type, rest;
        std::vector<std::string> found;
        while (mounts >> device >> point >> type && std::getline(mounts, rest))
            if (point == mountPoint_) found.push_back(type);
        return found;
    }
    std::string MountedType() const {
        std::vector<std::string> types = MountedTypes();
        return types.empty() ? std::string() : types.back();
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

    // The fuseiso process that serves the mount point, or 0.
    pid_t Fuseiso() const {
        for (const auto& entry : fs::directory_iterator("/proc")) {
            std::string command = ReadWholeFile(entry.path() / "cmdline");
            if (command.rfind("fuseiso", 0) != 0 && command.find("/fuseiso") == std::string::npos)
                continue;
            if (command.find(std::string(1, '\0') + mountPoint_ + '\0') == std::string::npos)
                continue;
            return static_cast<pid_t>(std::atol(entry.path().filename().c_str()));
        }
        return 0;
    }
};

TEST_F(DaemonHelperMount, MountsAnIsoImageAsADisc) {
    const std::string image = Iso("Race Day", "BOOT = cdrom:\\SLUS_005.94;1");

    ProgramRun mount = Helper({"-mount", "0," + image});
    ASSERT_TRUE(mount.finished);
    ASSERT_EQ(mount.exitCode, 0) << mount.errors;
    ASSERT_TRUE(WaitForMount(true));
    EXPECT_EQ(MountedType(), "fuse.fuseiso");
    EXPECT_EQ(BootLine(), "BOOT = cdrom:\\SLUS_005.94;1");
    // The program sees the mounted image as a CD-ROM drive holding that disc (other tests
    // may mount discs of their own at the same time).
    std::vector<std::string> roots = PlatformServices().CdromRoots();
    EXPECT_NE(std::find(roots.begin(), roots.end(), mountPoint_ + "/"), roots.end());
    EXPECT_EQ(GetDiscGameId({mountPoint_ + "/"}), "SLUS-00594");
    EXPECT_EQ(mount.output, mountPoint_ + "\n") << "the helper names its mount point";

    // Mounting again, through a cue sheet, replaces the first mount.
    temp_.Write("images/Race Day.cue", "FILE \"Race Day.iso\" BINARY\r\n");
    mount = Helper({"-mount 0," + temp_.Path("images/Race Day.cue")});
    ASSERT_EQ(mount.exitCode, 0) << mount.errors;
    ASSERT_TRUE(WaitForMount(true));
    EXPECT_EQ(BootLine(), "BOOT = cdrom:\\SLUS_005.94;1");
    EXPECT_EQ(MountedTypes().size(), 1u);

    ProgramRun unmount = Helper({"-unmount", "0"});
    EXPECT_EQ(unmount.exitCode, 0) << unmount.errors;
    EXPECT_TRUE(WaitForMount(false));
}

TEST_F(DaemonHelperMount, RecoversFromADeadMountAndMountsOneImageAtATime) {
    const std::string first = Iso("First", "BOOT = cdrom:\\SLUS_005.94;1");
    const std::string second =
        WriteDiscImage(temp_.Folder() + "images/", "Second.cue",
                       ReadWholeFile(Iso("Second", "BOOT = cdrom:\\SCES_003.44;1")));

    ProgramRun mount = Helper({"-mount", "0," + first});
    ASSERT_EQ(mount.exitCode, 0) << mount.errors;
    // fuseiso dies; its mount stays behind, "Transport endpoint is not connected".
    const pid_t fuseiso = Fuseiso();
    ASSERT_NE(fuseiso, 0);
    ::kill(fuseiso, SIGKILL);
    for (int i = 0; i < 100 && fs::exists("/proc/" + std::to_string(fuseiso)); ++i)
        std::this_thread::sleep_for(20ms);
    mount = Helper({"-mount", "0," + second});
    EXPECT_EQ(mount.exitCode, 0) << mount.errors;
    EXPECT_EQ(BootLine(), "BOOT = cdrom:\\SCES_003.44;1");
    EXPECT_EQ(MountedTypes().size(), 1u);

    // Two runs at once: both succeed, one after the other, and one image is mounted.
    ProgramRun runs[2];
    std::thread other([&] { runs[1] = Helper({"-mount", "0," + first}); });
    runs[0] = Helper({"-mount", "0," + second});
    other.join();
    for (const ProgramRun& run : runs) EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(MountedTypes().size(), 1u);
    const std::string boot = BootLine();
    EXPECT_TRUE(boot == "BOOT = cdrom:\\SLUS_005.94;1" || boot == "BOOT = cdrom:\\SCES_003.44;1")
        << boot;
}

}  // namespace
}  // namespace vorlisk

#endif
