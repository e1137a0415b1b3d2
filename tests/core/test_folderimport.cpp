#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "import/folderimport.h"
#include "tests/core/discimages.h"
#include "tests/core/tempfolder.h"

namespace vorlisk {
namespace {

namespace fs = std::filesystem;
using Games = std::vector<std::pair<std::string, std::string>>;
using vorlisk::testing::PbpFile;
using vorlisk::testing::TempFolder;

// Adds an image file to the folder ("name=content", else the content "image"), or a folder
// when the entry ends in "/".
void Add(const TempFolder& temp, const std::string& entry) {
    const size_t equals = entry.find('=');
    if (!entry.empty() && entry.back() == '/')
        temp.MakeFolder(entry);
    else if (equals != std::string::npos)
        temp.Write(entry.substr(0, equals), entry.substr(equals + 1));
    else
        temp.Write(entry, "image");
}

std::string Record(const std::string& path, const std::string& name) {
    return "\tOTHER\t1\t" + path + "\t\t\tVGS\t" + name;
}

// The type of a record's image, for checking the order of the types.
size_t TypeRank(const std::string& record) {
    std::string path = record.substr(0, record.find("\t\t\tVGS"));
    std::string type = path.substr(path.size() - 3);
    for (char& c : type) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return static_cast<size_t>(std::find(kImageTypes.begin(), kImageTypes.end(), type) -
                               kImageTypes.begin());
}

TEST(FolderImages, AddsEveryImageOfTheFolderTypeByType) {
    struct Case {
        std::string name;
        std::vector<std::string> entries;  // files; folders end in "/"
        // (name, file) of the expected games; the types must come in the order of kImageTypes
        std::vector<std::pair<std::string, std::string>> games;
        std::vector<std::string> skipped;  // the files that cannot be read
    };
    const std::vector<Case> cases = {
        {"empty folder", {}, {}},
        {"a bin beside its cue", {"game.cue", "game.bin"}, {{"game", "game.cue"}}},
        {"an iso and a cue of one name",
         {"game.iso", "game.cue"},
         {{"game", "game.cue"}, {"game", "game.iso"}}},
        {"underscores become blanks", {"Race_Day_(E).iso"}, {{"Race Day (E)", "Race_Day_(E).iso"}}},
#ifndef _WIN32
        // Linux folders hold names that differ only in case side by side.
        {"the case of the type is ignored, the name keeps its case",
         {"GAME.ISO", "Game.Iso", "other.iSo"},
         {{"GAME", "GAME.ISO"}, {"Game", "Game.Iso"}, {"other", "other.iSo"}}},
#else
        {"the case of the type is ignored, the name keeps its case",
         {"GAME.ISO", "other.iSo"},
         {{"GAME", "GAME.ISO"}, {"other", "other.iSo"}}},
#endif
        {"all four types",
         {"d.ccd", "c.bwt", "b.iso", "a.cue", "e.img", "f.sub"},
         {{"a", "a.cue"}, {"b", "b.iso"}, {"c", "c.bwt"}, {"d", "d.ccd"}}},
        {"several of each type",
         {"d.ccd", "b.ISO", "a.cue", "Race_2.bwt", "e.bin", "f.iso", "G.Cue", "h.ccd"},
         {{"a", "a.cue"},
          {"G", "G.Cue"},
          {"b", "b.ISO"},
          {"f", "f.iso"},
          {"Race 2", "Race_2.bwt"},
          {"d", "d.ccd"},
          {"h", "h.ccd"}}},
        {"a playlist stands for the discs of its folder that it lists",
         {"set.m3u=Set 1.cue\r\nSET 2.CUE\r\nsub/x.iso\r\n", "Set 1.cue", "Set 2.cue", "Set 3.cue",
          "sub/x.iso", "other.m3u=Set 9.cue"},
         {{"set", "set.m3u"}, {"Set 3", "Set 3.cue"}, {"other", "other.m3u"}}},
        {"packages and CHD files; damaged ones are skipped",
         {"game.pbp=" + PbpFile(""), "bad.pbp", "bad.chd", "d.cue"},
         {{"game", "game.pbp"}, {"d", "d.cue"}},
         {"bad.chd", "bad.pbp"}},
        {"subfolders are not searched",
         {"sub/inner.iso", "deeper/x/y.cue", "top.ccd"},
         {{"top", "top.ccd"}}},
        {"a folder named like an image is no image",
         {"x.iso/", "disc.cue/", "real.cue"},
         {{"real", "real.cue"}}},
        {"the type must follow a dot at the end",
         {"iso", "game.isox", "gameiso", "game.iso.bak", "game._iso", "two.dots.iso"},
         {{"two.dots", "two.dots.iso"}}},
        {"blanks and other characters",
         {"My Game  .cue", "a-b+c.bwt"},
         {{"My Game  ", "My Game  .cue"}, {"a-b+c", "a-b+c.bwt"}}},
#ifndef _WIN32
        {"hidden files are left out",
         {".hidden.iso", ".iso", "shown.iso"},
         {{"shown", "shown.iso"}}},
        {"bytes of any code page",
         {"J\xe9u.iso", "\xc3\xa9t\xc3\xa9.cue"},
         {{"\xc3\xa9t\xc3\xa9", "\xc3\xa9t\xc3\xa9.cue"}, {"J\xe9u", "J\xe9u.iso"}}},
#endif
    };
    for (const Case& c : cases) {
        TempFolder temp;
        for (const std::string& entry : c.entries) Add(temp, entry);
        std::vector<std::string> skipped;
        Games games = FolderImages(temp.Folder(), {}, &skipped);
        EXPECT_EQ(skipped, c.skipped) << c.name;

        for (size_t i = 1; i < games.size(); ++i)
            EXPECT_LE(TypeRank(games[i - 1].second), TypeRank(games[i].second)) << c.name;
        Games expected;
        for (const auto& [name, file] : c.games)
            expected.emplace_back(name, Record(temp.Folder() + file, name));
        // Within one type the order is the listing's; compare the types' order above and
        // the games regardless of order here.
        Games sorted = games;
        std::sort(sorted.begin(), sorted.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(sorted, expected) << c.name;
    }
}

TEST(FolderImages, ImportingTwiceFindsTheSameGamesAgain) {
    TempFolder temp;
    Add(temp, "a.cue");
    Add(temp, "b.iso");
    Games first = FolderImages(temp.Folder());
    EXPECT_EQ(first.size(), 2u);
    EXPECT_EQ(FolderImages(temp.Folder()), first);
    EXPECT_EQ(first[0].second, Record(temp.Folder() + "a.cue", "a"));
    EXPECT_TRUE(FolderImages(temp.Folder() + "missing/").empty());
}

TEST(FolderImages, TellsItsProgressAndStopsWhenAsked) {
    TempFolder temp;
    for (const char* file : {"a.cue", "b.iso", "c.iso", "notes.txt"}) Add(temp, file);
    const Games all = FolderImages(temp.Folder());
    struct Case {
        const char* what;
        size_t stopAfter;  // the call that answers false; beyond the last: none
        std::vector<std::pair<size_t, size_t>> calls;
        bool adds;
    };
    const Case cases[] = {
        {"to its end", 9, {{0, 3}, {1, 3}, {2, 3}, {3, 3}}, true},
        {"stopped after the listing", 0, {{0, 3}}, false},
        {"stopped after the second image", 2, {{0, 3}, {1, 3}, {2, 3}}, false},
        {"stopped after the last image", 3, {{0, 3}, {1, 3}, {2, 3}, {3, 3}}, false},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<size_t, size_t>> calls;
        Games games = FolderImages(temp.Folder(), [&](size_t done, size_t total) {
            calls.emplace_back(done, total);
            return calls.size() <= c.stopAfter;
        });
        EXPECT_EQ(calls, c.calls) << c.what;
        EXPECT_EQ(games, c.adds ? all : Games{}) << c.what;
    }
}

#ifndef _WIN32
TEST(ListPlainFiles, FollowsLinksToPlainFilesOnly) {
    TempFolder temp;
    Add(temp, "target.bin");
    Add(temp, "dir/");
    fs::create_symlink(temp.Path("target.bin"), temp.Path("linked.iso"));
    fs::create_symlink(temp.Path("dir"), temp.Path("folderlink.iso"));
    fs::create_symlink(temp.Path("gone.bin"), temp.Path("broken.iso"));
    Add(temp, "plain.iso");
    std::vector<std::string> files = ListPlainFiles(temp.Folder());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"linked.iso", "plain.iso", "target.bin"}));
}
#endif

TEST(GameNameFromImageFile, DropsTheTypeAndTurnsUnderscoresIntoBlanks) {
    struct Case {
        std::string file;
        std::string name;
    };
    const std::vector<Case> cases = {
        {"Racing_Game_CD1.cue", "Racing Game CD1"},
        {"Race_Day_(E).iso", "Race Day (E)"},
        {"__x__.bwt", "  x  "},
        {"a.iso", "a"},
        {".iso", ""},
        {"iso", ""},
        {"", ""},
        {"tab\there.iso", "tab here"},
        {"dots.in.name.ccd", "dots.in.name"},
    };
    for (const Case& c : cases) EXPECT_EQ(GameNameFromImageFile(c.file), c.name) << c.file;
}

TEST(ImageRecord, HoldsTheEightFieldsOfAnImportedGame) {
    struct Case {
        std::string folder;
        std::string file;
        std::string record;
    };
    const std::vector<Case> cases = {
        {"/psx/", "Racing_Game_CD1.cue",
         "\tOTHER\t1\t/psx/Racing_Game_CD1.cue\t\t\tVGS\tRacing Game CD1"},
        {"/", "root.iso", "\tOTHER\t1\t/root.iso\t\t\tVGS\troot"},
#ifndef _WIN32
        {"/psx", "joined.iso", "\tOTHER\t1\t/psx/joined.iso\t\t\tVGS\tjoined"},
#else
        {"C:\\psx", "joined.iso", "\tOTHER\t1\tC:\\psx\\joined.iso\t\t\tVGS\tjoined"},
#endif
        {"/psx/", " _padded_ .iso", "\tOTHER\t1\t/psx/ _padded_ .iso\t\t\tVGS\t  padded  "},
        {"/my\tpsx/", "a\tb.iso", "\tOTHER\t1\t/my psx/a b.iso\t\t\tVGS\ta b"},
    };
    for (const Case& c : cases) EXPECT_EQ(ImageRecord(c.folder, c.file), c.record) << c.file;
}

}  // namespace
}  // namespace vorlisk
