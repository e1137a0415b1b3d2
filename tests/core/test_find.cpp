#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

#include "app/find.h"
#include "tests/core/scopedlocale.h"

namespace vorlisk {
namespace {

// The list of names as the window hands it over: by position.
int FindNextName(const std::vector<std::string>& names, int selected, const std::string& text) {
    return vorlisk::FindNextName(
        static_cast<int>(names.size()),
        [&names](int i) -> const std::string& { return names[static_cast<size_t>(i)]; }, selected,
        text);
}

bool ContainsIgnoringCase(const std::string& text, const std::string& part) {
    return part.empty() || FindNextName({text}, -1, part) == 0;
}

TEST(FindNextName, FindsTheNextNameContainingTheText) {
    const std::vector<std::string> names = {"Alpha Racer", "Mario Kart", "mega man",
                                            "Super Mario", "Tetris",     "ZZZ mar"};
    struct Case {
        std::string name;
        int selected;
        std::string text;
        int found;
    };
    const std::vector<Case> cases = {
        {"nothing selected starts at the top", -1, "MAR", 1},
        {"case is ignored", -1, "mArIo", 1},
        {"a lower-case name", -1, "MEGA", 2},
        {"starts after the selection", 1, "mar", 3},
        {"the selected name itself is passed over", 3, "super", -1},
        {"no wrap-around", 5, "mar", -1},
        {"the last entry", 4, "mar", 5},
        {"text in the middle of a name", -1, "o K", 1},
        {"the whole name", -1, "tetris", 4},
        {"not there", -1, "zelda", -1},
        {"longer than every name", -1, "Super Mario Bros", -1},
        {"blanks are part of the text", -1, " man", 2},
        {"an empty text finds nothing", -1, "", -1},
        {"a selection below -1 counts as none", -7, "alpha", 0},
        {"a selection past the end", 6, "a", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindNextName(names, c.selected, c.text), c.found) << c.name;
    }
    EXPECT_EQ(FindNextName(std::vector<std::string>{}, -1, "a"), -1);
}

TEST(FindNextName, WalksToTheMatchesOneByOne) {
    const std::vector<std::string> names = {"Mario", "Tetris", "Dr. Mario", "mario party"};
    std::vector<int> found;
    int selected = -1;
    for (int step = 0; step < 5; ++step) {
        selected = FindNextName(names, selected, "MARIO");
        found.push_back(selected);
    }
    // After the last match the search ends; from "none selected" it starts again at the top.
    EXPECT_EQ(found, (std::vector<int>{0, 2, 3, -1, 0}));
}

TEST(ContainsIgnoringCase, FoldsLettersBeyondAsciiUnderTheLocale) {
    struct Case {
        std::string text;
        std::string part;
        bool contains;
    };
    // Bytes that are not UTF-8 are Windows-1252 letters, whatever the locale.
    const std::vector<Case> bytewise = {
        {"Caf\xe9 Racer", "CAF\xe9", true},
        {"Caf\xe9 Racer", "caf\xc9", true},
        {"\xff\xfe", "\xfe", true},
        {std::string("a\0b", 3), std::string("\0B", 2), true},
        {"ABC", "", true},
        {"", "a", false},
    };
    for (const Case& c : bytewise)
        EXPECT_EQ(ContainsIgnoringCase(c.text, c.part), c.contains) << c.text << " / " << c.part;

    const char* previous = std::setlocale(LC_CTYPE, nullptr);
    std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_CTYPE, "C.UTF-8") == nullptr &&
        std::setlocale(LC_CTYPE, "en_US.UTF-8") == nullptr) {
        GTEST_SKIP() << "no UTF-8 locale";
    }
    const std::vector<Case> utf8 = {
        {"\xc3\x89t\xc3\xa9 Game", "\xc3\xa9T\xc3\x89", true},  // Été / éTÉ
        {"Pok\xc3\xa9mon", "POK\xc3\x89", true},                // Pokémon / POKÉ
        {"Pok\xc3\xa9mon", "poke", false},
        {"\xd0\x9c\xd0\xb8\xd1\x80", "\xd0\xbc\xd0\x98", true},  // Мир / мИ
        {"Stra\xc3\x9f"
         "e",
         "STRASSE", false},
        {"Bad \xff byte \xc3\xa9", "\xc3\x89", true},
        {"Bad \xff byte", "\xff B", true},
    };
    for (const Case& c : utf8)
        EXPECT_EQ(ContainsIgnoringCase(c.text, c.part), c.contains) << c.text << " / " << c.part;
    const std::vector<std::string> names = {"Mario", "\xc3\x89t\xc3\xa9", "\xc3\xa9t\xc3\xa9 2"};
    EXPECT_EQ(FindNextName(names, 1, "\xc3\x89T\xc3\x89"), 2);
    // "Ã©" finds itself, and in its Windows-1252 spelling also "é", first.
    const std::vector<std::string> both = {"Mario", "Caf\xc3\xa9", "Caf\xc3\x83\xc2\xa9"};
    for (int selected : {0, 1})
        EXPECT_EQ(vorlisk::FindNextName(3, [&](int i) -> auto& { return both[i]; }, selected,
                                        "\xc3\x83\xc2\xa9", "\xc3\xa9"),
                  selected + 1);
    std::setlocale(LC_CTYPE, saved.c_str());
}

// Search texts beyond ASCII over ASCII names and mixed names: what counts is the text folded,
// so a letter that folds to an ASCII one finds ASCII names, and any other finds none of them.
TEST(ContainsIgnoringCase, TextsBeyondAsciiAreComparedFolded) {
    vorlisk::testing::ScopedLocale locale("C.UTF-8");
    if (!locale.Installed()) GTEST_SKIP() << "locale not installed: C.UTF-8";
    struct Case {
        std::string text;
        std::string part;
        bool contains;
    };
    const std::vector<Case> cases = {
        {"Tekken", "\xE2\x84\xAA", true},           // the Kelvin sign folds to k
        {"Tekken", "T\xE2\x84\xAA", false},         // ...but "tk" is not in it
        {"Tekken", "\xC3\xA9", false},              // é
        {"Tekken", "\xFF", false},                  // a byte that does not decode
        {"\xC4\xB0stanbul", "ISTANBUL", true},      // İ folds to i
        {"Caf\xC3\xA9 Racer", "\xC3\x89 r", true},  // across the letters beyond ASCII and after
        {"Caf\xC3\xA9 Racer", "e r", false},
        {"Caf\xE9 \xC3\xA9t\xC3\xA9", "\xC3\x89T", true},  // after a byte that does not decode
    };
    for (const Case& c : cases)
        EXPECT_EQ(ContainsIgnoringCase(c.text, c.part), c.contains) << c.text << " / " << c.part;
}

// Case is ignored for every letter of both encodings, in any locale (here the C locale), and
// a name in one encoding is found by a text typed in the other.
TEST(ContainsIgnoringCase, FoldsEveryLetterOfBothEncodings) {
    vorlisk::testing::ScopedLocale locale("C");
    struct Case {
        const char* what;
        std::string text, part;
        bool contains;
    };
    const std::vector<Case> cases = {
        {"Windows-1252 name, UTF-8 text", "CAF\xC9 RACER", "caf\xC3\xA9", true},
        {"UTF-8 name, Windows-1252 text", "Zz Caf\xC3\xA9 Club", "CAF\xC9", true},
        {"Windows-1252 beyond Latin-1", "\x8Akoda \x8C\x9F", "\xC5\xA1KODA \xC5\x93\xC3\xBF", true},
        {"Latin Extended-A",
         "\xC5\x82\xC3\xB3"
         "d\xC5\xBA",
         "\xC5\x81\xC3\x93"
         "D\xC5\xB9",
         true},
        {"Greek", "\xCE\xA9\xCE\x9C\xCE\x88\xCE\x93\xCE\x91",
         "\xCF\x89\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1", true},
        {"Greek final sigma", "\xCE\x9D\xCE\x97\xCE\xA3\xCE\x9F\xCE\xA3",
         "\xCF\x83\xCE\xBF\xCF\x82", true},
        {"Cyrillic", "\xD0\x81\xD0\x9B\xD0\x9A\xD0\x90 \xD2\x90",
         "\xD1\x91\xD0\xBB\xD0\xBA\xD0\xB0 \xD2\x91", true},
        {"a different letter", "\xD0\x81\xD0\x9B\xD0\x9A\xD0\x90", "\xD0\xB5\xD0\xBB", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ContainsIgnoringCase(c.text, c.part), c.contains) << c.what;
}

}  // namespace
}  // namespace vorlisk
