#include <gtest/gtest.h>

#include <filesystem>
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

TEST(Folders, DataFolderIsTheProgramsOnlyWhenPortable) {
    TempFolder temp("vorlisk-data");
    ScopedEnvironment environment;
    const std::string home = temp.MakeFolder("home");
    struct Case {
        const char* what;
        const char* marker;  // a file beside the program, or none
        const char* xdg;     // XDG_DATA_HOME below the temp folder, or as it stands
        bool hasHome;
        std::string folder;  // below the temp folder; empty: the program's folder
    };
    const std::vector<Case> cases = {
        {"portable.txt, even empty", "portable.txt", nullptr, true, ""},
        {"a catalogue beside the program", "gameinv.txt", nullptr, true, ""},
        {"XDG_DATA_HOME", nullptr, "/xdg/deep", true, "xdg/deep/vorlisk/"},
        {"relative XDG_DATA_HOME", nullptr, "xdg", true, "home/.local/share/vorlisk/"},
        {"empty XDG_DATA_HOME", nullptr, "", true, "home/.local/share/vorlisk/"},
        {"no home at all", nullptr, nullptr, false, ""},
    };
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string program = temp.MakeFolder("program" + std::to_string(run++));
        if (c.marker) temp.Write(program.substr(temp.Folder().size()) + c.marker, "");
        if (c.xdg && c.xdg[0] == '/')
            environment.Set("XDG_DATA_HOME", temp.Path() + c.xdg);
        else
            environment.Set("XDG_DATA_HOME", c.xdg);
        environment.Set("HOME", c.hasHome ? temp.Path("home").c_str() : nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(home + ".local", ignored);

        const std::string expected = c.folder.empty() ? program : temp.Folder() + c.folder;
        EXPECT_EQ(DataFolder(program), expected);
        EXPECT_TRUE(std::filesystem::is_directory(expected)) << "created on first start";
        if (c.folder.empty()) EXPECT_FALSE(std::filesystem::exists(home + ".local"));
    }
}

TEST(Folders, ShippedFileIsTheDataFoldersFirstThenTheInstalledOne) {
    TempFolder temp("vorlisk-shipped");
    const std::string data = temp.MakeFolder("data");
    const std::string program = temp.MakeFolder("usr/bin");
    const std::string share = temp.MakeFolder("usr/share/vorlisk");
    EXPECT_EQ(InstallPrefix(program), temp.Folder() + "usr/");
    struct Case {
        std::vector<std::string> present;  // folders holding a games.txt
        std::string read;
    };
    const std::vector<Case> cases = {
        {{data, program, share}, data},
        {{program, share}, program},
        {{share}, share},
        {{}, data},
    };
    for (const Case& c : cases) {
        for (const std::string& folder : {data, program, share})
            std::filesystem::remove(folder + "games.txt");
        for (const std::string& folder : c.present)
            vorlisk::testing::WriteWholeFile(folder + "games.txt", "SLUS-00594 Game\r\n");
        EXPECT_EQ(ShippedFile(data, program, "games.txt"), c.read + "games.txt");
    }
    // An empty file counts as missing.
    vorlisk::testing::WriteWholeFile(share + "games.txt", "SLUS-00594 Game\r\n");
    vorlisk::testing::WriteWholeFile(data + "games.txt", "");
    EXPECT_EQ(ShippedFile(data, program, "games.txt"), share + "games.txt");
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
