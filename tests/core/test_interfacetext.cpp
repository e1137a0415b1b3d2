#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/interfacetext.h"
#include "tests/core/tempfolder.h"

namespace vorlisk {
namespace {

using vorlisk::testing::TempFolder;

std::vector<std::string> NumberedLines(int count) {
    std::vector<std::string> lines;
    for (int i = 1; i <= count; ++i) lines.push_back("T" + std::to_string(i));
    return lines;
}

std::string Joined(const std::vector<std::string>& lines, const std::string& end) {
    std::string text;
    for (const auto& line : lines) text += line + end;
    return text;
}

// The texts in slot order, without strAllGenres.
std::vector<std::string> TranslatedTexts(const InterfaceText& t) {
    return {t.strFilePrefix,    t.strNotFound,       t.strSelectImage, t.strSelectPicture,
            t.strSelectFolder,  t.strPathSetupTitle, t.strFindPrompt,  t.strFindTitle,
            t.strReadingImages, t.strMounting,       t.strCancel,      t.strSkippedImages,
            t.strNotMounted,    t.strEmptyCatalogue, t.strLastPlayed,  t.strHoursPlayed,
            t.strMinutesPlayed, t.strNotStarted};
}

TEST(ReadTranslation, AppliesAsManyLinesAsTheFileHas) {
    const InterfaceText defaults;
    const std::vector<std::string> defaultTexts = TranslatedTexts(defaults);
    std::vector<std::string> emptyEighth = NumberedLines(23);
    emptyEighth[7].clear();
    std::vector<std::string> blanks = NumberedLines(23);
    blanks[15] = "  Datei '";
    blanks[16] = "' fehlt. ";

    struct Case {
        std::string name;
        std::string content;
        std::vector<std::string> lines;  // the lines the file holds, at most 33 taken
    };
    const std::vector<Case> cases = {
        {"0 bytes", "", {}},
        {"one line without line end", "Hinzu", {"Hinzu"}},
        {"15 lines", Joined(NumberedLines(15), "\r\n"), NumberedLines(15)},
        {"20 lines", Joined(NumberedLines(20), "\r\n"), NumberedLines(20)},
        {"23 lines", Joined(NumberedLines(23), "\r\n"), NumberedLines(23)},
        {"27 lines", Joined(NumberedLines(27), "\r\n"), NumberedLines(27)},
        {"29 lines", Joined(NumberedLines(29), "\r\n"), NumberedLines(29)},
        {"33 lines", Joined(NumberedLines(33), "\r\n"), NumberedLines(33)},
        {"34 lines", Joined(NumberedLines(34), "\r\n"), NumberedLines(34)},
        {"an empty line 8", Joined(emptyEighth, "\r\n"), emptyEighth},
        {"blanks are kept", Joined(blanks, "\r\n"), blanks},
        {"LF line ends", Joined(NumberedLines(23), "\n"), NumberedLines(23)},
        {"CR line ends", Joined(NumberedLines(17), "\r"), NumberedLines(17)},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        Translation t = ReadTranslation(temp.Write("translate.txt", c.content));
        size_t lines = std::min<size_t>(c.lines.size(), 33);
        std::vector<std::string> captions(c.lines.begin(),
                                          c.lines.begin() + std::min<size_t>(lines, 15));
        EXPECT_EQ(t.captions, captions) << c.name;
        std::vector<std::string> texts = defaultTexts;
        for (size_t i = 15; i < lines; ++i) texts[i - 15] = c.lines[i];
        EXPECT_EQ(TranslatedTexts(t.text), texts) << c.name;
        EXPECT_EQ(t.text.strAllGenres, "(ALL)") << c.name;
    }
}

TEST(ReadTranslation, AMissingFileKeepsTheDefaults) {
    TempFolder temp;
    Translation t = ReadTranslation(temp.Path("translate.txt"));
    EXPECT_TRUE(t.captions.empty());
    const InterfaceText defaults;
    EXPECT_EQ(TranslatedTexts(t.text), TranslatedTexts(defaults));
}

TEST(ReadGenreList, KeepsEveryLineAsItIs) {
    struct Case {
        std::string name;
        std::string content;
        std::vector<std::string> genres;
        bool present;
    };
    const std::vector<Case> cases = {
        {"0 bytes", "", {}, false},
        {"duplicates and a blank line", "RPG\r\n\r\nRPG\r\n", {"RPG", "", "RPG"}, true},
        {"no final line break", "RPG\r\nPUZZLE", {"RPG", "PUZZLE"}, true},
        {"a final line break adds nothing", "RPG\r\nPUZZLE\r\n", {"RPG", "PUZZLE"}, true},
        {"LF only", "RPG\n\nPUZZLE\n", {"RPG", "", "PUZZLE"}, true},
        {"lone CR", "RPG\rPUZZLE\r", {"RPG", "PUZZLE"}, true},
        {"blanks are kept", " RPG \r\n  \r\n", {" RPG ", "  "}, true},
        {"one line break only", "\r\n", {""}, true},
        {"bytes of the code page",
         "J\xe9u\r\n\xc3\xa9t\xc3\xa9\r\n",
         {"J\xe9u", "\xc3\xa9t\xc3\xa9"},
         true},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        GenreList list = ReadGenreList(temp.Write("genre.txt", c.content));
        EXPECT_EQ(list.genres, c.genres) << c.name;
        EXPECT_EQ(list.present, c.present) << c.name;
        EXPECT_TRUE(list.complete) << c.name;
    }
    TempFolder temp;
    GenreList missing = ReadGenreList(temp.Path("genre.txt"));
    EXPECT_FALSE(missing.present);
    EXPECT_TRUE(missing.genres.empty());
}

TEST(ReadGenreList, ReadsALongList) {
    TempFolder temp;
    std::vector<std::string> genres;
    for (int i = 0; i < 100000; ++i) genres.push_back("G" + std::to_string(i));
    GenreList list = ReadGenreList(temp.Write("genre.txt", Joined(genres, "\r\n")));
    EXPECT_TRUE(list.complete);
    EXPECT_EQ(list.genres, genres);
}

}  // namespace
}  // namespace vorlisk
