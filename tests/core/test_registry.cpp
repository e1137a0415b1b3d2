#include <gtest/gtest.h>

#include <filesystem>

#include "system/registry.h"
#include "tests/core/environment.h"
#include "tests/core/tempfolder.h"

#ifndef _WIN32

namespace vorlisk {
namespace {

namespace fs = std::filesystem;
using vorlisk::testing::ScopedEnvironment;
using vorlisk::testing::TempFolder;

const std::string kVgsKey = "SOFTWARE\\Connectix\\Connectix Virtual Game Station\\General";

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { environment_.Set("XDG_CONFIG_HOME", temp_.Path()); }

    std::string Store() const { return temp_.Read("vorlisk/registry.ini"); }
    void WriteStore(const std::string& content) const {
        temp_.Write("vorlisk/registry.ini", content);
    }
    bool Set(unsigned long root, const std::string& key, const std::string& name, std::string value,
             unsigned long type = kRegSz) {
        return SetKeyValue(root, key, type, name, value);
    }

    ScopedEnvironment environment_;
    TempFolder temp_{"vorlisk-registry"};
};

TEST_F(RegistryTest, RoundTripAndFileLayout) {
    EXPECT_EQ(RegistryFilePath(), temp_.Path() + "/vorlisk/registry.ini");
    EXPECT_EQ(GetKeyValue(kHkeyLocalMachine, kVgsKey, "Location"), "");  // no store yet

    std::string value = "/opt/vgs/vgs.exe";
    EXPECT_TRUE(SetKeyValue(kHkeyLocalMachine, kVgsKey, kRegSz, "Location", value));
    EXPECT_EQ(value, "/opt/vgs/vgs.exe");
    EXPECT_EQ(GetKeyValue(kHkeyLocalMachine, kVgsKey, "Location"), "/opt/vgs/vgs.exe");
    EXPECT_EQ(Store(),
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Connectix\\Connectix Virtual Game Station\\General]"
              "\r\nLocation=/opt/vgs/vgs.exe\r\n");

    // Replacing keeps one line; a second value and a second key go where they belong.
    EXPECT_TRUE(Set(kHkeyLocalMachine, kVgsKey, "Location", "C:\\VGS\\VGS.EXE"));
    EXPECT_TRUE(Set(kHkeyCurrentUser, "Software\\Vorlisk", "Last", "SLUS-00594"));
    EXPECT_TRUE(Set(kHkeyLocalMachine, kVgsKey, "Version", "1.41"));
    EXPECT_EQ(Store(),
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Connectix\\Connectix Virtual Game Station\\General]"
              "\r\nLocation=C:\\VGS\\VGS.EXE\r\nVersion=1.41\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Vorlisk]\r\nLast=SLUS-00594\r\n");
    EXPECT_EQ(GetKeyValue(kHkeyLocalMachine, kVgsKey, "Location"), "C:\\VGS\\VGS.EXE");
    EXPECT_EQ(GetKeyValue(kHkeyLocalMachine, kVgsKey, "Version"), "1.41");
    // Roots keep their keys apart.
    EXPECT_EQ(GetKeyValue(kHkeyCurrentUser, kVgsKey, "Location"), "");
    EXPECT_EQ(GetKeyValue(kHkeyLocalMachine, "Software\\Vorlisk", "Last"), "");
}

TEST_F(RegistryTest, NamesIgnoreCase) {
    EXPECT_TRUE(Set(kHkeyLocalMachine, kVgsKey, "Location", "/a"));
    EXPECT_EQ(
        GetKeyValue(kHkeyLocalMachine,
                    "software\\CONNECTIX\\connectix virtual game station\\general", "LOCATION"),
        "/a");
    EXPECT_TRUE(Set(kHkeyLocalMachine,
                    "SOFTWARE\\connectix\\Connectix Virtual Game Station\\GENERAL", "location",
                    "/b"));
    EXPECT_EQ(GetKeyValue(kHkeyLocalMachine, kVgsKey, "Location"), "/b");
    // Still one key and one value, with the first spelling of the names.
    EXPECT_EQ(Store(),
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Connectix\\Connectix Virtual Game Station\\General]"
              "\r\nLocation=/b\r\n");
}

TEST_F(RegistryTest, EmptyAndMissingValues) {
    EXPECT_TRUE(Set(kHkeyLocalMachine, kVgsKey, "Empty", ""));
    struct Case {
        unsigned long root;
        std::string key;
        std::string name;
    };
    const std::vector<Case> cases = {
        {kHkeyLocalMachine, kVgsKey, "Empty"},
        {kHkeyLocalMachine, kVgsKey, "Location"},
        {kHkeyLocalMachine, "SOFTWARE\\Other", "Empty"},
        {kHkeyLocalMachine, kVgsKey + "\\Deeper", "Empty"},
        {0x80000004UL, kVgsKey, "Empty"},
        {0, kVgsKey, "Empty"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetKeyValue(c.root, c.key, c.name), "") << c.key << " " << c.name;
}

TEST_F(RegistryTest, LengthLimitOfTheReader) {
    for (size_t length : {1u, 200u, 254u, 255u, 256u, 1000u}) {
        std::string text(length, 'x');
        text[0] = '/';
        EXPECT_TRUE(Set(kHkeyLocalMachine, kVgsKey, "Location", text));
        EXPECT_EQ(GetKeyValue(kHkeyLocalMachine, kVgsKey, "Location"), length <= 254 ? text : "")
            << length;
    }
}

TEST_F(RegistryTest, OnlyTextValuesAreWritten) {
    // Another type creates a missing key but writes nothing, answers false and empties the
    // caller's value; once the key exists the same call answers true and keeps it.
    std::string value = "4";
    EXPECT_FALSE(SetKeyValue(kHkeyLocalMachine, "SOFTWARE\\Numbers", 4, "Count", value));
    EXPECT_EQ(value, "");
    EXPECT_EQ(Store(), "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Numbers]\r\n");
    value = "4";
    EXPECT_TRUE(SetKeyValue(kHkeyLocalMachine, "software\\numbers", 4, "Count", value));
    EXPECT_EQ(value, "4");
    EXPECT_EQ(GetKeyValue(kHkeyLocalMachine, "SOFTWARE\\Numbers", "Count"), "");
    EXPECT_EQ(Store(), "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Numbers]\r\n");

    // An unknown root writes nothing at all.
    value = "x";
    EXPECT_FALSE(SetKeyValue(0x12345678UL, "SOFTWARE", kRegSz, "A", value));
    EXPECT_EQ(value, "");
    EXPECT_EQ(Store(), "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Numbers]\r\n");
}

TEST_F(RegistryTest, AwkwardNamesAndValuesSurvive) {
    struct Case {
        std::string name;
        std::string value;
    };
    const std::vector<Case> cases = {
        {"a=b", "c=d"},
        {"[x]", "multi\r\nline\nvalue\r"},
        {";not a comment", "#neither"},
        {"100%", "%41 stays %41"},
        {"nul", std::string("a\0b", 3)},
        {"", "the default value"},
        {" blank ", " padded "},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Set(kHkeyCurrentUser, "Software\\Odd]Key", c.name, c.value));
    for (const auto& c : cases)
        EXPECT_EQ(GetKeyValue(kHkeyCurrentUser, "Software\\Odd]Key", c.name), c.value) << c.name;
}

TEST_F(RegistryTest, HandWrittenStoreIsReadAndKept) {
    WriteStore(
        "; my settings\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Connectix\\Connectix Virtual Game Station\\General]\n"
        "Location=/home/me/vgs/vgs.exe\n"
        "stray line\n"
        "\n"
        "  [HKEY_CURRENT_USER\\Other]  \r"
        "Location=/wrong\r\n");
    EXPECT_EQ(GetKeyValue(kHkeyLocalMachine, kVgsKey, "Location"), "/home/me/vgs/vgs.exe");
    EXPECT_EQ(GetKeyValue(kHkeyCurrentUser, "Other", "Location"), "/wrong");
    EXPECT_TRUE(Set(kHkeyLocalMachine, kVgsKey, "Version", "2"));
    EXPECT_EQ(
        Store(),
        "; my settings\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Connectix\\Connectix Virtual Game Station\\General]\r\n"
        "Location=/home/me/vgs/vgs.exe\r\n"
        "stray line\r\n"
        "Version=2\r\n"
        "\r\n"
        "  [HKEY_CURRENT_USER\\Other]  \r\n"
        "Location=/wrong\r\n");
}

// People who write the store by hand indent lines and put blanks around the "=".
TEST_F(RegistryTest, BlanksAroundNamesAndTheEqualsSignAreIgnored) {
    struct Case {
        std::string line;
        std::string value;  // of "Location"
    };
    const std::vector<Case> cases = {
        {"Location = /opt/vgs", "/opt/vgs"},
        {"  Location=/opt/vgs", "/opt/vgs"},
        {"   Location   =   /opt/my vgs  ", "/opt/my vgs  "},
        {"Location =", ""},
        {"  ; Location = /comment", ""},
        {"Loca tion = /x", ""},
    };
    for (const auto& c : cases) {
        WriteStore("[HKEY_CURRENT_USER\\Software]\n" + c.line + "\n");
        EXPECT_EQ(GetKeyValue(kHkeyCurrentUser, "Software", "Location"), c.value) << c.line;
    }
    // A value set again is written as name=value in place of the hand-written line.
    WriteStore("[HKEY_CURRENT_USER\\Software]\n  Location = /old\nOther = 1\n");
    EXPECT_TRUE(Set(kHkeyCurrentUser, "Software", "location", "/new"));
    EXPECT_EQ(Store(), "[HKEY_CURRENT_USER\\Software]\r\nLocation=/new\r\nOther = 1\r\n");
}

TEST_F(RegistryTest, UnreadableStoreIsNeverOverwritten) {
    temp_.MakeFolder("vorlisk/registry.ini");  // a folder where the file goes
    EXPECT_EQ(GetKeyValue(kHkeyLocalMachine, kVgsKey, "Location"), "");
    std::string value = "/x";
    EXPECT_FALSE(SetKeyValue(kHkeyLocalMachine, kVgsKey, kRegSz, "Location", value));
    EXPECT_EQ(value, "");
    EXPECT_TRUE(fs::is_directory(temp_.Path("vorlisk/registry.ini")));
}

}  // namespace
}  // namespace vorlisk

#endif
