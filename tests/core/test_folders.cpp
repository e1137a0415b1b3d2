#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "system/folders.h"

#ifndef _WIN32

namespace vorlisk {
namespace {

namespace fs = std::filesystem;

class SavedVariable {
  public:
    explicit SavedVariable(const char* name) : name_(name) {
        const char* value = std::getenv(name);
        had_ = value != nullptr;
        if (value) value_ = value;
    }
    ~SavedVariable() {
        if (had_)
            ::setenv(name_, value_.c_str(), 1);
        else
            ::unsetenv(name_);
    }
    void Set(const char* value) {
        if (value)
            ::setenv(name_, value, 1);
        else
            ::unsetenv(name_);
    }

  private:
    const char* name_;
    bool had_ = false;
    std::string value_;
};

TEST(Folders, ConfigFolderFollowsXdgThenHome) {
    SavedVariable config("XDG_CONFIG_HOME");
    SavedVariable home("HOME");
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
        config.Set(c.config);
        home.Set(c.home);
        EXPECT_EQ(ConfigFolder(), c.folder)
            << (c.config ? c.config : "(unset)") << " " << (c.home ? c.home : "(unset)");
    }
}

TEST(Folders, ShortPathIsThePathWhenItExists) {
    fs::path dir = fs::temp_directory_path() / ("vorlisk-folders-" + std::to_string(::getpid()));
    fs::create_directories(dir / "sub folder");
    std::ofstream(dir / "game.iso") << "x";
    std::ofstream(dir / "empty.iso");
    const std::string base = dir.string();
    EXPECT_EQ(ShortPathOf(base + "/game.iso"), base + "/game.iso");
    EXPECT_EQ(ShortPathOf(base + "/empty.iso"), base + "/empty.iso");
    EXPECT_EQ(ShortPathOf(base + "/sub folder"), base + "/sub folder");
    EXPECT_EQ(ShortPathOf(base + "/missing.iso"), "");
    EXPECT_EQ(ShortPathOf(""), "");
    fs::remove_all(dir);
}

}  // namespace
}  // namespace vorlisk

#endif
