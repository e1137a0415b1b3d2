// The program's own folder and the one-copy-per-user rule on POSIX systems.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "system/files.h"
#include "system/folders.h"
#include "system/services.h"
#include "tests/core/environment.h"
#include "tests/core/tempfolder.h"

namespace vorlisk::testing {
namespace {

namespace fs = std::filesystem;

TEST(PosixProgram, ProgramFolderAndOneCopyAtATime) {
    PlatformServices services;
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    std::string self = std::filesystem::read_symlink("/proc/self/exe").filename().string();
    EXPECT_TRUE(FileExists(folder + self)) << folder;

    TempFolder data("vorlisk-data");
    ScopedEnvironment environment;
    environment.Set("XDG_DATA_HOME", data.Path());
    EXPECT_TRUE(services.ClaimSingleInstance());
    EXPECT_FALSE(services.ClaimSingleInstance()) << "the first claim holds for the process";
    EXPECT_TRUE(PathExists(services.ApplicationFolder() + kInstanceLockName));
}

// Two starts whose environments differ (one from the desktop with XDG_RUNTIME_DIR, one from
// a terminal without it and with the data folder reached through another path) run on one
// data folder: the second is refused. A start on another data folder runs.
TEST(PosixProgram, OneDataFolderTakesOneCopyWhateverTheEnvironment) {
    TempFolder data("vorlisk-data");
    TempFolder home("vorlisk-home");
    TempFolder runtime("vorlisk-runtime");
    fs::create_directories(home.Path(".local"));
    fs::create_directory_symlink(data.Path(), home.Path(".local/share"));
    ScopedEnvironment environment;
    environment.Set("XDG_RUNTIME_DIR", runtime.Path());
    environment.Set("XDG_DATA_HOME", data.Path());
    EXPECT_TRUE(PlatformServices().ClaimSingleInstance());

    environment.Unset("XDG_RUNTIME_DIR");
    environment.Unset("XDG_DATA_HOME");
    environment.Set("HOME", home.Path());
    EXPECT_FALSE(PlatformServices().ClaimSingleInstance());

    TempFolder other("vorlisk-other-data");
    environment.Set("XDG_DATA_HOME", other.Path());
    EXPECT_TRUE(PlatformServices().ClaimSingleInstance());
}

// The lock lies in the data folder; where another user could have put something in its
// place, the program starts rather than be kept out.
TEST(PosixProgram, LockIsKeptWhereNobodyElseCanReachIt) {
    enum class Planted { Nothing, LinkToAnotherFile, AnotherUsersHeldLock, OwnHeldLock };
    struct Case {
        const char* what;
        Planted planted;
        bool starts;
    };
    const std::vector<Case> cases = {
        {"nothing there yet", Planted::Nothing, true},
        {"a link in place of the lock", Planted::LinkToAnotherFile, true},
        {"a running copy holds the lock", Planted::OwnHeldLock, false},
        {"another user holds a lock file", Planted::AnotherUsersHeldLock, true},
    };
    for (const auto& c : cases) {
        if (c.planted == Planted::AnotherUsersHeldLock && ::geteuid() != 0) continue;
        SCOPED_TRACE(c.what);
        TempFolder data("vorlisk-data");
        ScopedEnvironment environment;
        environment.Set("XDG_DATA_HOME", data.Path());
        const std::string lock = data.MakeFolder("vorlisk") + kInstanceLockName;
        const std::string victim = data.Path("victim");
        int held = -1;
        if (c.planted == Planted::LinkToAnotherFile) fs::create_symlink(victim, lock);
        if (c.planted == Planted::OwnHeldLock || c.planted == Planted::AnotherUsersHeldLock) {
            held =
                ::open(data.Write(std::string("vorlisk/") + kInstanceLockName, "").c_str(), O_RDWR);
            ASSERT_EQ(::flock(held, LOCK_EX), 0);
            if (c.planted == Planted::AnotherUsersHeldLock)
                ASSERT_EQ(::fchown(held, 65534, 65534), 0);
        }

        EXPECT_EQ(PlatformServices().ClaimSingleInstance(), c.starts);
        EXPECT_TRUE(fs::exists(fs::symlink_status(lock)));
        EXPECT_FALSE(PathExists(victim)) << "nothing is made where a planted link points";
        if (c.planted == Planted::LinkToAnotherFile) EXPECT_TRUE(fs::is_symlink(lock));
        if (held >= 0) ::close(held);
    }
}

// A lock of the user's own made read-only still keeps a second copy out. The check runs in a
// child process as a user whom permissions bind, which root is not.
TEST(PosixProgram, AReadOnlyLockOfTheUsersOwnStillKeepsASecondCopyOut) {
    TempFolder data("vorlisk-data");
    ScopedEnvironment environment;
    environment.Set("XDG_DATA_HOME", data.Path());
    const std::string folder = data.MakeFolder("vorlisk");
    const auto child = [&] {
        if (::geteuid() == 0 && (::chown(data.Path().c_str(), 65534, -1) != 0 ||
                                 ::chown(folder.c_str(), 65534, -1) != 0 || ::setuid(65534) != 0))
            std::_Exit(3);
        const int held = ::open((folder + kInstanceLockName).c_str(), O_RDWR | O_CREAT, 0600);
        if (held < 0 || ::flock(held, LOCK_EX) != 0 || ::fchmod(held, 0400) != 0) std::_Exit(4);
        std::_Exit(PlatformServices().ClaimSingleInstance() ? 1 : 0);
    };
    EXPECT_EXIT(child(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace vorlisk::testing

#endif
