#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "inventory/gamerecord.h"

namespace vorlisk {
namespace {

using namespace std::string_literals;

TEST(GameRecordText, ReplaceText) {
    struct Case {
        std::string text, find, replacement, expected;
    };
    const std::vector<Case> cases = {
        {"banana", "a", "aa", "baanaanaa"},  // the inserted text is never searched again
        {"banana", "x", "y", "banana"},
        {"", "a", "b", ""},
        {"aaa", "aa", "b", "ba"},  // left to right, no overlaps
        {"abab", "ab", "", ""},
        {"Abc", "a", "x", "Abc"},  // case matters
        {"x\r\ny\r\n", "\r\n", "\t", "x\ty\t"},
        {"x\ty\t\t", "\t", "\r\n", "x\r\ny\r\n\r\n"},
        {"\r\r\n\n", "\r\n", "\t", "\r\t\n"},
        {"Final_Fantasy_VII", "_", " ", "Final Fantasy VII"},
        {"a", "a", "a", "a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceText(c.text, c.find, c.replacement), c.expected)
            << c.text << " / " << c.find << " / " << c.replacement;
}

// One GetField call after another on the same record, as the record editor makes them.
TEST(GameRecordText, GetFieldSequences) {
    struct Step {
        std::string field;
        int positionAfter;
    };
    struct Case {
        std::string record;
        int start;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases = {
        {"x\t\tz", 1, {{"x", 3}, {"", 4}, {"z", 5}, {"", 5}, {"", 5}}},
        {"a\tb", 1, {{"a", 3}, {"b", 4}, {"", 4}}},
        {"a\tb\t", 1, {{"a", 3}, {"b", 5}, {"", 5}}},  // a final TAB adds no field
        {"\t", 1, {{"", 2}, {"", 2}}},
        {"", 1, {{"", 1}, {"", 1}}},
        {"abc\tdef", 2, {{"bc", 5}, {"def", 8}}},
        {"abc", 3, {{"c", 4}, {"", 4}}},
        {"abc", 9, {{"", 9}}},
        {"abc", 0, {{"", 0}, {"", 0}}},
        {"abc\td", -4, {{"", -4}}},
    };
    for (const auto& c : cases) {
        int position = c.start;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            EXPECT_EQ(GetField(position, c.record), c.steps[i].field)
                << "record '" << c.record << "' from " << c.start << ", call " << i + 1;
            EXPECT_EQ(position, c.steps[i].positionAfter)
                << "record '" << c.record << "' from " << c.start << ", call " << i + 1;
        }
    }
}

TEST(GameRecordText, TrimBlanksRemovesOnlyBlanks) {
    struct Case {
        std::string text, expected;
    };
    const std::vector<Case> cases = {
        {"  a b  ", "a b"},
        {"a", "a"},
        {"   ", ""},
        {"", ""},
        {"\ta\t", "\ta\t"},
        {" \r\nx\r\n ", "\r\nx\r\n"},
        {"\xA0x\xA0", "\xA0x\xA0"},
        {" \n x \r ", "\n x \r"},
    };
    for (const auto& c : cases) EXPECT_EQ(TrimBlanks(c.text), c.expected) << "'" << c.text << "'";
}

GameFields Fields(std::string id, std::string genre, int flag, std::string image, std::string first,
                  std::string second, std::string emulator, std::string description) {
    GameFields f;
    f.id = std::move(id);
    f.genre = std::move(genre);
    f.imageFlag = flag;
    f.imagePath = std::move(image);
    f.firstPicture = std::move(first);
    f.secondPicture = std::move(second);
    f.emulator = std::move(emulator);
    f.description = std::move(description);
    return f;
}

TEST(GameRecordText, BuildRecord) {
    struct Case {
        const char* what;
        GameFields fields;
        std::string record;
    };
    const std::vector<Case> cases = {
        {"plain",
         Fields("SLUS-00594", "RPG", 1, "/g/ff7.iso", "/p/a.jpg", "/p/b.jpg", "ePSXe", "x"),
         "SLUS-00594\tRPG\t1\t/g/ff7.iso\t/p/a.jpg\t/p/b.jpg\tePSXe\tx"},
        {"blanks at the ends",
         Fields("  SLUS-00594 ", " RPG ", 0, "  /g/my game.iso ", " /p/a b.jpg", "/p/c.jpg  ",
                " ePSXe ", "  two  words  "),
         "SLUS-00594\t RPG \t0\t/g/my game.iso\t/p/a b.jpg\t/p/c.jpg\t ePSXe \ttwo  words"},
        {"empty", Fields("", "", 0, "", "", "", "", ""), "\t\t0\t\t\t\t\t"},
        {"lines of the description", Fields("ID", "RACE", 0, "", "", "", "VGS", "x\r\ny\r\n\r\nz"),
         "ID\tRACE\t0\t\t\t\tVGS\tx\ty\t\tz"},
        {"description ending with a break", Fields("ID", "RACE", 0, "", "", "", "VGS", "x\r\n"),
         "ID\tRACE\t0\t\t\t\tVGS\tx\t"},
        {"lone CR and lone LF stay",
         Fields("ID", "RACE", 0, "", "", "", "VGS", "a\rb\nc\r\r\nd\n\re"),
         "ID\tRACE\t0\t\t\t\tVGS\ta\rb\nc\r\td\n\re"},
        {"blanks inside lines stay, only the ends of the whole text go",
         Fields("ID", "RACE", 0, "", "", "", "VGS", " \r\n a \r\n b "),
         "ID\tRACE\t0\t\t\t\tVGS\t\t a \t b"},
        {"a TAB of the description stays a TAB", Fields("ID", "RACE", 0, "", "", "", "VGS", "a\tb"),
         "ID\tRACE\t0\t\t\t\tVGS\ta\tb"},
        {"TABs inside fields 1 to 7 become blanks",
         Fields("SL\tUS", "R\tPG", 1, "/g/a\tb.iso", "/p/\t1.jpg", "/p/2\t.jpg", "e\tPSXe", "d"),
         "SL US\tR PG\t1\t/g/a b.iso\t/p/ 1.jpg\t/p/2 .jpg\te PSXe\td"},
        {"image flag as a decimal number", Fields("", "", 2, "", "", "", "", ""),
         "\t\t2\t\t\t\t\t"},
        {"bytes of the code page",
         Fields("ID", "RPG", 0, "/g/caf\xE9.iso", "", "", "VGS", "cr\xE8me"),
         "ID\tRPG\t0\t/g/caf\xE9.iso\t\t\tVGS\tcr\xE8me"},
    };
    for (const auto& c : cases) EXPECT_EQ(BuildRecord(c.fields), c.record) << c.what;
}

void ExpectSameFields(const GameFields& got, const GameFields& expected, const std::string& what) {
    EXPECT_EQ(got.id, expected.id) << what;
    EXPECT_EQ(got.genre, expected.genre) << what;
    EXPECT_EQ(got.imageFlag, expected.imageFlag) << what;
    EXPECT_EQ(got.imagePath, expected.imagePath) << what;
    EXPECT_EQ(got.firstPicture, expected.firstPicture) << what;
    EXPECT_EQ(got.secondPicture, expected.secondPicture) << what;
    EXPECT_EQ(got.emulator, expected.emulator) << what;
    EXPECT_EQ(got.description, expected.description) << what;
}

TEST(GameRecordText, ReadRecord) {
    struct Case {
        std::string record;
        GameFields fields;
        std::string flagText;
    };
    const std::vector<Case> cases = {
        {"SLUS-00594\tRPG\t1\t/g/ff7.iso\t/p/a.jpg\t/p/b.jpg\tePSXe\tline1\tline2",
         Fields("SLUS-00594", "RPG", 1, "/g/ff7.iso", "/p/a.jpg", "/p/b.jpg", "ePSXe",
                "line1\r\nline2"),
         "1"},
        {"SLUS-00594\tRPG", Fields("SLUS-00594", "RPG", 0, "", "", "", "", ""), ""},
        {"ID\tRPG\t1\t/g/x.iso", Fields("ID", "RPG", 1, "/g/x.iso", "", "", "", ""), "1"},
        {"ID\tRPG\t0\t\t\t\tVGS", Fields("ID", "RPG", 0, "", "", "", "VGS", ""), "0"},
        {"ID\tRPG\t0\t\t\t\tVGS\t", Fields("ID", "RPG", 0, "", "", "", "VGS", ""), "0"},
        {"ID\tRPG\t0\t\t\t\tVGS\tx\t", Fields("ID", "RPG", 0, "", "", "", "VGS", "x\r\n"), "0"},
        {"ID\tRPG\t0\t\t\t\tVGS\t\t\tx", Fields("ID", "RPG", 0, "", "", "", "VGS", "\r\n\r\nx"),
         "0"},
        {"ID\tRPG\tyes\t\t\t\tVGS\td", Fields("ID", "RPG", 0, "", "", "", "VGS", "d"), "yes"},
        {"", Fields("", "", 0, "", "", "", "", ""), ""},
    };
    for (const auto& c : cases) {
        ShownRecord shown = ReadRecord(c.record);
        ExpectSameFields(shown.fields, c.fields, c.record);
        EXPECT_EQ(shown.imageFlagText, c.flagText) << c.record;
    }
}

// A record stored from the editor shows the same fields again, as long as the fields hold
// nothing that storing removes (blanks at the ends, TABs).
TEST(GameRecordText, StoredRecordShowsTheSameFields) {
    const std::vector<GameFields> cases = {
        Fields("SLUS-00594", "RPG", 1, "/g/ff7.iso", "/p/a.jpg", "/p/b.jpg", "ePSXe", "x\r\ny"),
        Fields("", "", 0, "", "", "", "", ""),
        Fields("ID", "FIGHT", 0, "", "", "", "Real PSX", "ends with a break\r\n"),
        Fields("ID", "FIGHT", 0, "", "", "", "Bleem", "\r\nstarts with a break"),
        Fields("ID", "FIGHT", 0, "", "", "", "PSEmu", "lone\rCR and lone\nLF"),
        Fields("ID", "FIGHT", 1, "/a b/c.cue", "", "/x.gif", "VGS", "\r\n\r\n\r\n"),
        Fields("ID", "MUSIC", 1, "", "", "", "VGS", "caf\xE9"),
    };
    for (const auto& fields : cases) {
        std::string record = BuildRecord(fields);
        ExpectSameFields(ReadRecord(record).fields, fields, record);
    }
}

TEST(GameRecordText, ParseImageFlag) {
    struct Case {
        std::string text;
        std::optional<int> value;
    };
    const std::vector<Case> cases = {
        {"0", 0},
        {"1", 1},
        {"2", 2},
        {"-1", -1},
        {"12", 12},
        {" 1 ", 1},
        {"", std::nullopt},
        {"x", std::nullopt},
        {"1x", std::nullopt},
        {"1.5", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"   ", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseImageFlag(c.text), c.value) << "'" << c.text << "'";
}

TEST(GameRecordText, RecordGenreIsTheSecondField) {
    struct Case {
        std::string record, genre;
    };
    const std::vector<Case> cases = {
        {"SLUS-00594\tRPG\t1\t/g/a.iso\t\t\tVGS\tRACE day", "RPG"},
        {"ID\tRACE2", "RACE2"},
        {"\tRACE\t", "RACE"},
        {"ID\t\t0", ""},
        {"ID only", ""},
        {"", ""},
        {"ID\t SPORTS \t0", " SPORTS "},
    };
    for (const auto& c : cases) EXPECT_EQ(RecordGenre(c.record), c.genre) << c.record;
}

TEST(GameRecordText, CleanNameTurnsTabsIntoBlanks) {
    struct Case {
        std::string name, expected;
    };
    const std::vector<Case> cases = {
        {"Tekken 3", "Tekken 3"}, {"a\tb", "a b"}, {"\t\t", "  "}, {"", ""}, {" x ", " x "}};
    for (const auto& c : cases) EXPECT_EQ(CleanName(c.name), c.expected) << c.name;
}

}  // namespace
}  // namespace vorlisk
