// The program's own folder and the one-copy-per-user rule on POSIX systems.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/file.h>
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

const std::string kLockName = "vorlisk-" + std::to_string(::getuid()) + ".lock";

TEST(PosixProgram, ProgramFolderAndOneCopyAtATime) {
    PlatformServices services;
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    std::string self = std::filesystem::read_symlink("/proc/self/exe").filename().string();
    EXPECT_TRUE(FileExists(folder + self)) << folder;

    TempFolder runtime("vorlisk-runtime");
    TempFolder config("vorlisk-config");
    fs::permissions(runtime.Path(), fs::perms::owner_all);
    ScopedEnvironment environment;
    environment.Set("XDG_RUNTIME_DIR", runtime.Path());
    environment.Set("XDG_CONFIG_HOME", config.Path());
    EXPECT_TRUE(services.ClaimSingleInstance());
    EXPECT_FALSE(services.ClaimSingleInstance()) << "the first claim holds for the process";
    EXPECT_TRUE(PathExists(runtime.Path() + "/" + kLockName));
}

// The lock lies where only this user can write; where another user could have put something
// in its place, the program starts rather than be kept out.
TEST(PosixProgram, LockIsKeptWhereNobodyElseCanReachIt) {
    enum class Runtime { Private, OpenToOthers, Relative, Unset };
    enum class Planted { Nothing, LinkToAnotherFile, AnotherUsersHeldLock, OwnHeldLock };
    struct Case {
        const char* what;
        Runtime runtime;
        Planted planted;
        bool inRuntime;  // where the lock is expected: the runtime folder, else the config one
        bool starts;
    };
    const std::vector<Case> cases = {
        {"private runtime folder", Runtime::Private, Planted::Nothing, true, true},
        {"runtime folder others may enter", Runtime::OpenToOthers, Planted::Nothing, false, true},
        {"relative runtime folder", Runtime::Relative, Planted::Nothing, false, true},
        {"no runtime folder", Runtime::Unset, Planted::Nothing, false, true},
        {"a link in place of the lock", Runtime::Unset, Planted::LinkToAnotherFile, false, true},
        {"a running copy holds the lock", Runtime::Unset, Planted::OwnHeldLock, false, false},
        {"another user holds a lock file", Runtime::Unset, Planted::AnotherUsersHeldLock, false,
         true},
    };
    for (const auto& c : cases) {
        if (c.planted == Planted::AnotherUsersHeldLock && ::geteuid() != 0) continue;
        SCOPED_TRACE(c.what);
        TempFolder runtime("vorlisk-runtime");
        TempFolder config("vorlisk-config");
        fs::permissions(runtime.Path(), c.runtime == Runtime::OpenToOthers
                                            ? fs::perms::owner_all | fs::perms::others_all
                                            : fs::perms::owner_all);
        ScopedEnvironment environment;
        environment.Set("XDG_RUNTIME_DIR", c.runtime == Runtime::Relative ? "relative/runtime"
                                           : c.runtime == Runtime::Unset  ? nullptr
                                                                          : runtime.Path().c_str());
        environment.Set("XDG_CONFIG_HOME", config.Path());
        const std::string lock = c.inRuntime ? runtime.Path() + "/" + kLockName
                                             : config.MakeFolder("vorlisk") + kLockName;
        const std::string victim = config.Path("victim");
        int held = -1;
        if (c.planted == Planted::LinkToAnotherFile) fs::create_symlink(victim, lock);
        if (c.planted == Planted::OwnHeldLock || c.planted == Planted::AnotherUsersHeldLock) {
            held = ::open(config.Write("vorlisk/" + kLockName, "").c_str(), O_RDWR);
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

}  // namespace
}  // namespace vorlisk::testing

#endif
