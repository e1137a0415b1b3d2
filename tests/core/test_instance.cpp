// The program's own folder and the one-copy-per-user rule on POSIX systems.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "system/files.h"
#include "system/folders.h"
#include "system/services.h"
#include "tests/core/environment.h"
#include "tests/core/tempfolder.h"

namespace vorlisk::testing {
namespace {

TEST(PosixProgram, ProgramFolderAndOneCopyAtATime) {
    PlatformServices services;
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    std::string self = std::filesystem::read_symlink("/proc/self/exe").filename().string();
    EXPECT_TRUE(FileExists(folder + self)) << folder;

    TempFolder runtime("vorlisk-runtime");
    ScopedEnvironment environment;
    environment.Set("XDG_RUNTIME_DIR", runtime.Path());
    EXPECT_TRUE(services.ClaimSingleInstance());
    EXPECT_FALSE(services.ClaimSingleInstance()) << "the first claim holds for the process";
    EXPECT_TRUE(PathExists(runtime.Path() + "/vorlisk-" + std::to_string(::getuid()) + ".lock"));
}

}  // namespace
}  // namespace vorlisk::testing

#endif
