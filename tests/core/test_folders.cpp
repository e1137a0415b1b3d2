#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "system/folders.h"
#include "tests/core/environment.h"
#include "tests/core/tempfolder.h"

#ifndef _WIN32

namespace vorlisk {
namespace {

using vorlisk::testing::ScopedEnvironment;
using vorlisk::testing::TempFolder;

TEST(Folders, ConfigFolderFollowsXdgThenHome) {
    ScopedEnvironment environment;
    struct Case {
        const char* config;
        const char* home;
        std::string folder;
    };
    const std::vector<Case> cases = {
        {"/tmp/cfg", "/home/me", "/tmp/cfg/"},
        {"/tmp/cfg/", "/home/me", "/tmp/cfg//"},  // one separator is added whatever the end
        {"", "/home/me", "/home/me/.config/"},
        {nullptr, "/home/me", "/home/me/.config/"},
        {"relative/cfg", "/home/me", "/home/me/.config/"},
        {nullptr, "", "/"},
        {nullptr, nullptr, "/"},
    };
    for (const auto& c : cases) {
        environment.Set("XDG_CONFIG_HOME", c.config);
        environment.Set("HOME", c.home);
        EXPECT_EQ(ConfigFolder(), c.folder)
            << (c.config ? c.config : "(unset)") << " " << (c.home ? c.home : "(unset)");
    }
}

TEST(Folders, ShortPathIsThePathWhenItExists) {
    TempFolder temp("vorlisk-folders");
    temp.MakeFolder("sub folder");
    temp.Write("game.iso", "x");
    temp.Write("empty.iso", "");
    const std::string base = temp.Path();
    EXPECT_EQ(ShortPathOf(base + "/game.iso"), base + "/game.iso");
    EXPECT_EQ(ShortPathOf(base + "/empty.iso"), base + "/empty.iso");
    EXPECT_EQ(ShortPathOf(base + "/sub folder"), base + "/sub folder");
    EXPECT_EQ(ShortPathOf(base + "/missing.iso"), "");
    EXPECT_EQ(ShortPathOf(""), "");
}

}  // namespace
}  // namespace vorlisk

#endif
