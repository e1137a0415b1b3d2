#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "inventory/gamerecord.h"
#include "inventory/inventoryfile.h"
#include "system/files.h"
#include "tests/core/resourcelimits.h"
#include "tests/core/scopedlocale.h"
#include "tests/core/tempfolder.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <thread>
#endif

namespace vorlisk {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using Game = std::pair<std::string, std::string>;  // name, record
using Status = InventoryFile::LoadStatus;
using vorlisk::testing::ScopedLocale;
using vorlisk::testing::TempFolder;
#ifndef _WIN32
using vorlisk::testing::FileSizeLimit;
using vorlisk::testing::NoMoreOpenFiles;
#endif

// Joins lines as the program writes them: each followed by CR LF.
std::string CrLf(const std::vector<std::string>& lines) {
    std::string content;
    for (const auto& line : lines) content += line + "\r\n";
    return content;
}

// An inventory line of a game with the usual eight record fields.
std::string Line(const std::string& name, const std::string& id, const std::string& genre,
                 const std::string& description = "some text") {
    return name + "\t" + id + "\t" + genre + "\t0\t\t\t\tVGS\t" + description;
}

// Empty when both texts are equal, else where they part; for files too large for a diff.
std::string FirstDifference(const std::string& got, const std::string& expected) {
    if (got == expected) return {};
    size_t at = 0;
    while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
    return "got " + std::to_string(got.size()) + " bytes, expected " +
           std::to_string(expected.size()) + ", first difference at byte " + std::to_string(at);
}

std::vector<Game> Listed(const GameLists& lists) {
    std::vector<Game> games;
    for (int i = 0; i < lists.Count(); ++i) games.emplace_back(lists.Name(i), lists.RecordOf(i));
    return games;
}

std::vector<std::string> Names(const GameLists& lists) {
    std::vector<std::string> names;
    for (int i = 0; i < lists.Count(); ++i) names.push_back(lists.Name(i));
    return names;
}

// Each test gets a folder of its own under the system's temporary folder, holding the
// catalogue it works on.
class InventoryFileTest : public ::testing::Test {
  protected:
    void WriteCatalogue(const std::string& bytes) const { folder_.Write("gameinv.txt", bytes); }
    std::string ReadCatalogue() const { return folder_.Read("gameinv.txt"); }
    std::vector<std::string> Entries() const { return folder_.Entries(); }

    const TempFolder folder_{"vorlisk-inventory"};
    const std::string path_ = folder_.Path("gameinv.txt");
};

TEST_F(InventoryFileTest, MissingOrEmptyFileGivesEmptyLists) {
    struct Case {
        const char* what;
        bool create;
        std::string genre;
    };
    const std::vector<Case> cases = {{"missing", false, ""},
                                     {"missing", false, "RPG"},
                                     {"0 bytes", true, ""},
                                     {"0 bytes", true, "RACE"}};
    for (const auto& c : cases) {
        std::error_code ignored;
        fs::remove(path_, ignored);
        if (c.create) WriteCatalogue("");
        InventoryFile inventory(path_);
        inventory.Lists().AddGame("left over", "x");
        InventoryFile::LoadResult result = inventory.LoadInventory(c.genre);
        EXPECT_EQ(result.status, Status::Loaded) << c.what;
        EXPECT_EQ(inventory.Lists().Count(), 0) << c.what;
        EXPECT_FALSE(inventory.WriteProtected()) << c.what;
        // Nothing changed, so nothing is written: a missing file stays missing.
        EXPECT_FALSE(inventory.SaveInventory().written) << c.what;
        EXPECT_EQ(fs::exists(path_), c.create) << c.what;
    }
}

TEST_F(InventoryFileTest, FirstSaveWritesOneLineAndCleansTheName) {
    InventoryFile inventory(path_);
    inventory.LoadInventory("");
    const std::string record = "SLUS-00594\tRPG\t1\t/g/ff7.iso\t\t\tePSXe\tdisc one\tof three";
    inventory.Lists().AddGame("Final\tFantasy VII", record);
    inventory.inventoryChanged = true;
    InventoryFile::SaveStatus saved = inventory.SaveInventory();
    EXPECT_TRUE(saved.written);
    EXPECT_TRUE(saved.ok);
    EXPECT_FALSE(inventory.inventoryChanged);
    EXPECT_EQ(ReadCatalogue(), "Final Fantasy VII\t" + record + "\r\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"gameinv.txt"});

    InventoryFile again(path_);
    again.LoadInventory("");
    EXPECT_EQ(Listed(again.Lists()), (std::vector<Game>{{"Final Fantasy VII", record}}));
}

TEST_F(InventoryFileTest, LinesInAnyOrderLoadSortedAndSaveSorted) {
    const std::string zeta = Line("zeta", "Z", "RPG"), alpha = Line("Alpha", "A", "RACE"),
                      beta = Line("beta", "B", "RPG"), gamma = Line("Gamma", "G", "FIGHT");
    // Line ends of every kind the catalogue knows, and a last line without one.
    WriteCatalogue(zeta + "\r" + alpha + "\r\n" + gamma + "\r\n" + beta);
    InventoryFile inventory(path_);
    EXPECT_EQ(inventory.LoadInventory("").status, Status::Loaded);
    EXPECT_EQ(Names(inventory.Lists()),
              (std::vector<std::string>{"Alpha", "beta", "Gamma", "zeta"}));
    for (int i = 0; i < inventory.Lists().Count(); ++i) {
        const std::string& name = inventory.Lists().Name(i);
        EXPECT_EQ(name + "\t" + inventory.Lists().RecordOf(i), name == "zeta"    ? zeta
                                                               : name == "Alpha" ? alpha
                                                               : name == "beta"  ? beta
                                                                                 : gamma);
    }
    inventory.inventoryChanged = true;
    EXPECT_TRUE(inventory.SaveInventory().written);
    EXPECT_EQ(ReadCatalogue(), CrLf({alpha, beta, gamma, zeta}));
}

// The user's collation decides the order of the names, case ignored, equal names ordered
// by their bytes, however long the part two names share: on loading, on adding one game,
// and when a save merges the games the genre filter hides.
TEST_F(InventoryFileTest, NamesFollowTheLocalesOrderEverywhere) {
    struct Case {
        std::string locale;
        // The names in their order, each after a "|"; "..." stands for a beginning that is
        // longer than most names.
        std::string order;
    };
#ifdef _WIN32
    // Windows orders by the user's locale whatever the C library's, as Explorer does: marks
    // such as ' and - count only between names otherwise equal.
    const std::vector<Case> cases = {
        {"C",
         "|!bang|_under|100|2|A|a|APPLE|apple|Arger|Azure|b|Cafe|cafe|CAF\xC3\x89|caf\xE9|co op"
         "|coop|co-op|... DISC 1|... Disc 1|... disc 1|... Disc 10|... Disc 2|...: Disc 1|Nino"
         "|Ni\xF1o|'quoted'"},
    };
#else
    const std::vector<Case> cases = {
        {"C",
         "|!bang|'quoted'|100|2|_under|A|a|APPLE|apple|Arger|Azure|b|Cafe|cafe|co op|co-op|coop"
         "|... DISC 1|... Disc 1|... disc 1|... Disc 10|... Disc 2|...: Disc 1|Nino"},
        {"C.UTF-8",
         "|!bang|100|A|a|APPLE|apple|Arger|b|Cafe|cafe|CAF\xC3\x89|caf\xC3\xA9|caf\xE9|co-op|coop"
         "|... DISC 1|... Disc 1|... Disc 10|... Disc \xC3\xA9|... Disc \xE9|...: Disc 1|Nino"
         "|Ni\xF1o|\xC3\xA4rger|\xD0\x9C\xD0\xB8\xD1\x80"},
        {"en_US.UTF-8",
         "|100|A|a|APPLE|apple|Arger|\xC3\xA4rger|b|!bang|caf\xE9|Cafe|cafe|CAF\xC3\x89|caf\xC3\xA9"
         "|co-op|coop|... Disc \xE9|... DISC 1|... Disc 1|...: Disc 1|... Disc 10"
         "|... Disc \xC3\xA9|Nino|Ni\xF1o|\xD0\x9C\xD0\xB8\xD1\x80"},
    };
#endif
    std::vector<std::string> missing;
    for (const Case& c : cases) {
        ScopedLocale locale(c.locale);
        if (!locale.Installed()) {
            missing.push_back(c.locale);
            continue;
        }
        std::vector<std::string> names, lines, scrambled;
        for (size_t at = 0; at < c.order.size();) {
            size_t end = std::min(c.order.find('|', at + 1), c.order.size());
            std::string name = c.order.substr(at + 1, end - at - 1);
            if (name.rfind("...", 0) == 0)
                name.replace(0, 3, "Final Fantasy Tactics Advance Collection");
            names.push_back(name);
            at = end;
        }
        for (size_t i = 0; i < names.size(); ++i)
            lines.push_back(Line(names[i], "ID" + std::to_string(i), i % 3 ? "RPG" : "RACE"));
        // Every other line in reverse, then the rest: every order but the right one.
        for (size_t i = lines.size(); i-- > 0;)
            if (i % 2) scrambled.push_back(lines[i]);
        for (size_t i = 0; i < lines.size(); i += 2) scrambled.push_back(lines[i]);
        WriteCatalogue(CrLf(scrambled));

        InventoryFile inventory(path_);
        inventory.LoadInventory("");
        EXPECT_EQ(Names(inventory.Lists()), names) << c.locale << ": loaded";
        GameLists oneByOne;
        for (const std::string& line : scrambled)
            oneByOne.AddGame(line.substr(0, line.find('\t')), "");
        EXPECT_EQ(Names(oneByOne), names) << c.locale << ": added one by one";
        inventory.LoadInventory("RPG");
        inventory.inventoryChanged = true;
        EXPECT_TRUE(inventory.SaveInventory().written);
        EXPECT_EQ(ReadCatalogue(), CrLf(lines)) << c.locale << ": saved with RACE hidden";
    }
    if (!missing.empty()) GTEST_SKIP() << "locale not installed: " << missing.front();
}

TEST_F(InventoryFileTest, LinesWithoutTabAreSkipped) {
    const std::string noName = "\tSCUS-94163\tRPG\t0\t\t\t\tVGS\tnameless";
    const std::string game = Line("Game", "ID", "RPG");
    WriteCatalogue("no tab here\r\n\r\n" + noName + "\r\n   \r\nRPG\r\n\r\n" + game +
                   "\r\nlast without a TAB");
    for (const std::string genre : {"", "RPG"}) {
        InventoryFile inventory(path_);
        EXPECT_EQ(inventory.LoadInventory(genre).status, Status::Loaded);
        // The line that starts with a TAB is a game with an empty name.
        EXPECT_EQ(Listed(inventory.Lists()),
                  (std::vector<Game>{{"", noName.substr(1)}, {"Game", game.substr(5)}}))
            << "genre '" << genre << "'";
    }
    InventoryFile inventory(path_);
    inventory.LoadInventory("");
    inventory.inventoryChanged = true;
    inventory.SaveInventory();
    EXPECT_EQ(ReadCatalogue(), CrLf({noName, game}));
}

// A game shows under a genre when its genre field is that text exactly.
TEST_F(InventoryFileTest, GenreFilterMatchesTheGenreFieldExactly) {
    WriteCatalogue(CrLf({
        Line("Sports day", "SCES-00001", "SPORTS", "fun\tRACE day\tRPG too"),
        Line("Racer", "SLUS-00002", "RACE"), Line("Racer Two", "SLUS-00003", "RACE2"),
        Line("Rider", "RACE-00004", "OTHER", "RACE"), Line("lower", "SLUS-00005", "race"),
        Line("Blank genre", "SLUS-00006", ""), Line("RACE", "SLUS-00007", "FIGHT"),
        Line("Epic", "SLES-00008", "\xC9PIQUE"),          // Windows-1252
        Line("Epic Two", "SLES-00009", "\xC3\x89PIQUE"),  // UTF-8: the same genre
    }));
    struct Case {
        std::string genre;
        std::vector<std::string> names;
    };
    const std::vector<Case> cases = {
        {"RACE", {"Racer"}},
        {"RACE2", {"Racer Two"}},
        {"SPORTS", {"Sports day"}},
        {"race", {"lower"}},
        {"RPG", {}},
        {"RAC", {}},
        {"FIGHT", {"RACE"}},
        {"\xC3\x89PIQUE", {"Epic", "Epic Two"}},
        {"\xC9PIQUE", {"Epic", "Epic Two"}},
        {"\xE9PIQUE", {}},
        {"",
         {"Blank genre", "Epic", "Epic Two", "lower", "RACE", "Racer", "Racer Two", "Rider",
          "Sports day"}},
    };
    InventoryFile inventory(path_);
    for (const auto& c : cases) {
        EXPECT_EQ(inventory.LoadInventory(c.genre).status, Status::Loaded);
        EXPECT_EQ(Names(inventory.Lists()), c.names) << "genre '" << c.genre << "'";
    }
}

TEST_F(InventoryFileTest, SavesOnlyWhenTheCatalogueChanged) {
    const std::string zeta = Line("zeta", "Z", "RPG"), alpha = "alpha\tA\tRACE\t0\n";
    const std::string original = zeta + "\r\nno tab line\r\n" + alpha;
    WriteCatalogue(original);
    InventoryFile inventory(path_);
    inventory.LoadInventory("");
    struct Step {
        const char* what;
        bool changed;
        bool load;
        std::string genre;
    };
    const std::vector<Step> unchanged = {{"save", false, false, ""},
                                         {"load RPG", false, true, "RPG"},
                                         {"save", false, false, ""},
                                         {"load all", false, true, ""}};
    for (const auto& step : unchanged) {
        bool written = step.load ? inventory.LoadInventory(step.genre).save.written
                                 : inventory.SaveInventory().written;
        EXPECT_FALSE(written) << step.what;
        EXPECT_EQ(ReadCatalogue(), original) << step.what;
    }

    inventory.inventoryChanged = true;
    InventoryFile::LoadResult result = inventory.LoadInventory("RPG");
    EXPECT_TRUE(result.save.written);
    EXPECT_TRUE(result.save.ok);
    EXPECT_FALSE(inventory.inventoryChanged);
    EXPECT_EQ(ReadCatalogue(), CrLf({alpha, zeta}));
    EXPECT_EQ(Names(inventory.Lists()), std::vector<std::string>{"zeta"});
}

// While a filter hides games, a save writes them back unchanged among the listed ones.
TEST_F(InventoryFileTest, FilteredSaveKeepsHiddenGamesByteForByte) {
    const std::string zork = Line("Zork", "ID1", "RPG", "quest");
    const std::string alpha = Line("alpha", "ID2", "RPG", "a\tb");
    const std::string cafe =
        "Caf\xE9 Racer  \tSLES-00001  \tRACE\t1\t/g/caf\xE9.iso\t\t\tVGS\t"
        "line\nwith lone LF  ";
    const std::string beta = "Beta short\tID3\tSPORTS";
    const std::string delta = Line("delta", "ID4", "RPG2", "x");
    const std::string mid = Line("Mid", "ID5", "RACE", "desc\t\tRPG in description");
    const std::string omega = "Omega\tID7\tFIGHT\t0\t\t\t\tVGS\tcr\r\0inside"s;  // a kept CR
    WriteCatalogue(CrLf({zork, cafe, alpha, beta, mid, omega, delta}));

    InventoryFile inventory(path_);
    inventory.LoadInventory("RPG");
    ASSERT_EQ(Names(inventory.Lists()), (std::vector<std::string>{"alpha", "Zork"}));
    inventory.Lists().RemoveGame(1);
    const std::string gamma = Line("Gamma", "ID6", "RPG", "new");
    inventory.Lists().AddGame("Gamma", gamma.substr(6));
    inventory.inventoryChanged = true;
    EXPECT_TRUE(inventory.SaveInventory().written);
    EXPECT_EQ(ReadCatalogue(), CrLf({alpha, beta, cafe, delta, gamma, mid, omega}));

    // And a second save under another filter changes nothing more.
    inventory.LoadInventory("RACE");
    inventory.inventoryChanged = true;
    EXPECT_TRUE(inventory.SaveInventory().written);
    EXPECT_EQ(ReadCatalogue(), CrLf({alpha, beta, cafe, delta, gamma, mid, omega}));
}

// A description with a lone CR is kept whole through a save and a load.
TEST_F(InventoryFileTest, LoneCrSurvivesSaveAndLoad) {
    const std::vector<std::string> descriptions = {"a\rb",
                                                   "\rat the start",
                                                   "at the end\r",
                                                   "\r\r",
                                                   "line\r\nand\rmore\r\nlines",
                                                   "nul after\r\0x"s,
                                                   "ends with a break\r\n"};
    InventoryFile inventory(path_);
    inventory.LoadInventory("");
    for (size_t i = 0; i < descriptions.size(); ++i) {
        GameFields fields;
        fields.id = "SLUS-0000" + std::to_string(i);
        fields.genre = "RPG";
        fields.emulator = "VGS";
        fields.description = descriptions[i];
        inventory.Lists().AddGame("Game " + std::to_string(i), BuildRecord(fields));
    }
    inventory.Lists().AddGame("Name\rwith CR", "ID\tRPG\t0\t\t\t\tVGS\tx");
    const std::vector<Game> before = Listed(inventory.Lists());
    inventory.inventoryChanged = true;
    ASSERT_TRUE(inventory.SaveInventory().written);

    InventoryFile loaded(path_);
    EXPECT_EQ(loaded.LoadInventory("").status, Status::Loaded);
    EXPECT_EQ(Listed(loaded.Lists()), before);
    for (int i = 0; i < loaded.Lists().Count(); ++i) {
        const std::string& name = loaded.Lists().Name(i);
        if (name.rfind("Game ", 0) != 0) continue;
        size_t index = std::stoul(name.substr(5));
        EXPECT_EQ(ReadRecord(loaded.Lists().RecordOf(i)).fields.description, descriptions[index])
            << name;
    }
    // The reloaded lists save to the same bytes.
    const std::string saved = ReadCatalogue();
    loaded.inventoryChanged = true;
    loaded.SaveInventory();
    EXPECT_EQ(ReadCatalogue(), saved);
}

// Lines the user did not touch go back to the file exactly as they were read.
TEST_F(InventoryFileTest, UntouchedLinesRoundTripByteForByte) {
    const std::vector<std::string> sorted = {
        "\tSCUS-94163\tOTHER\t0\t\t\t\tVGS\tno name",
        "Caf\xE9\tSLES-00001\tRPG\t0\t\t\t\tVGS\tcr\xE8me br\xFBl\xE9"
        "e",
        "Lone LF\tID\tRACE\t0\t\t\t\tVGS\tone\ntwo\n",
        "Short\tSLUS-00001",
        "Shorter\t",
        "Tabs\tID\tRPG\t0\t\t\t\tVGS\t\t\tthree\t\t",
        "Trailing  \tID  \t RPG \t0\t /g/x.iso \t\t\tVGS\tdesc  ",
    };
    const std::vector<size_t> order = {4, 1, 6, 0, 3, 5, 2};
    std::string scrambled;
    for (size_t i : order) scrambled += sorted[i] + (i % 2 ? "\r" : "\r\n");
    WriteCatalogue(scrambled);

    InventoryFile inventory(path_);
    EXPECT_EQ(inventory.LoadInventory("").status, Status::Loaded);
    EXPECT_EQ(inventory.Lists().Count(), static_cast<int>(sorted.size()));
    inventory.inventoryChanged = true;
    EXPECT_TRUE(inventory.SaveInventory().written);
    EXPECT_EQ(ReadCatalogue(), CrLf(sorted));
}

TEST_F(InventoryFileTest, SaveOfNoGamesLeavesAnEmptyFile) {
    WriteCatalogue(CrLf({Line("one", "1", "RPG"), Line("two", "2", "RACE")}));
    InventoryFile inventory(path_);
    inventory.LoadInventory("");
    inventory.Lists().RemoveGame(1);
    inventory.Lists().RemoveGame(0);
    inventory.inventoryChanged = true;
    EXPECT_TRUE(inventory.SaveInventory().written);
    EXPECT_TRUE(fs::exists(path_));
    EXPECT_EQ(fs::file_size(path_), 0u);
    EXPECT_FALSE(FileExists(path_));
    EXPECT_EQ(inventory.LoadInventory("").status, Status::Loaded);
    EXPECT_EQ(inventory.Lists().Count(), 0);
}

// More games than a 16-bit count could hold.
TEST_F(InventoryFileTest, FortyThousandGames) {
    constexpr int kGames = 40000;
    std::vector<std::string> sorted;
    for (int i = 0; i < kGames; ++i) {
        char name[32];
        char id[16];
        std::snprintf(name, sizeof name, "Game %05d", i);
        std::snprintf(id, sizeof id, "SLUS-%05d", i);
        sorted.push_back(Line(name, id, i % 2 ? "RACE" : "RPG", "line one\tline two"));
    }
    WriteCatalogue(CrLf(std::vector<std::string>(sorted.rbegin(), sorted.rend())));

    InventoryFile inventory(path_);
    EXPECT_EQ(inventory.LoadInventory("").status, Status::Loaded);
    ASSERT_EQ(inventory.Lists().Count(), kGames);
    for (int i = 0; i < kGames; i += 997)
        EXPECT_EQ(inventory.Lists().Name(i) + "\t" + inventory.Lists().RecordOf(i),
                  sorted[static_cast<size_t>(i)]);
    EXPECT_EQ(inventory.Lists().Name(kGames - 1), "Game 39999");
    inventory.inventoryChanged = true;
    EXPECT_TRUE(inventory.SaveInventory().written);
    EXPECT_EQ(FirstDifference(ReadCatalogue(), CrLf(sorted)), "");

    inventory.LoadInventory("RACE");
    EXPECT_EQ(inventory.Lists().Count(), kGames / 2);
    inventory.Lists().AddGame("Game 40000", "SLUS-40000\tRACE");
    inventory.inventoryChanged = true;
    EXPECT_TRUE(inventory.SaveInventory().written);
    sorted.push_back("Game 40000\tSLUS-40000\tRACE");
    EXPECT_EQ(FirstDifference(ReadCatalogue(), CrLf(sorted)), "");
    inventory.LoadInventory("");
    EXPECT_EQ(inventory.Lists().Count(), kGames + 1);
}

// A catalogue that is a folder is reported at the load and never written over.
TEST_F(InventoryFileTest, FolderIsReportedAndKept) {
    folder_.MakeFolder("gameinv.txt");
    InventoryFile inventory(path_);
    InventoryFile::LoadResult result = inventory.LoadInventory("");
    EXPECT_EQ(result.status, Status::Unreadable);
    EXPECT_FALSE(result.readFailure.empty());
    inventory.Lists().AddGame("new", "ID\tRPG");
    inventory.inventoryChanged = true;
    EXPECT_FALSE(inventory.SaveInventory().written);
    EXPECT_TRUE(fs::is_directory(path_));
}

#ifndef _WIN32

TEST_F(InventoryFileTest, FailedSaveKeepsTheOldFileAndTheChanges) {
    const std::string original = CrLf({Line("one", "1", "RPG"), Line("two", "2", "RACE")});
    WriteCatalogue(original);
    InventoryFile inventory(path_);
    inventory.LoadInventory("");
    inventory.Lists().AddGame("big", "ID\tRPG\t0\t\t\t\tVGS\t" + std::string(20000, 'd'));
    inventory.inventoryChanged = true;
    const std::vector<Game> before = Listed(inventory.Lists());

    InventoryFile::SaveStatus saved;
    InventoryFile::LoadResult loaded;
    bool limited = false;
    {
        // Nothing but the two calls runs under the limit, not even the test's own output.
        FileSizeLimit limit(4096);
        limited = limit.ok();
        saved = inventory.SaveInventory();
        loaded = inventory.LoadInventory("RACE");
    }
    ASSERT_TRUE(limited);
    EXPECT_FALSE(saved.ok);
    EXPECT_FALSE(saved.written);
    EXPECT_FALSE(saved.reason.empty());
    // The load does not go on when the save before it failed: the lists stay.
    EXPECT_EQ(loaded.status, Status::NotLoaded);
    EXPECT_FALSE(loaded.save.ok);
    EXPECT_FALSE(loaded.save.reason.empty());
    EXPECT_TRUE(inventory.inventoryChanged);
    EXPECT_EQ(Listed(inventory.Lists()), before);
    EXPECT_EQ(ReadCatalogue(), original);
    EXPECT_EQ(Entries(), std::vector<std::string>{"gameinv.txt"}) << "no temporary file is left";

    // Once writing works again the changes are all still there to be saved.
    EXPECT_TRUE(inventory.SaveInventory().written);
    InventoryFile reloaded(path_);
    reloaded.LoadInventory("");
    EXPECT_EQ(Listed(reloaded.Lists()), before);
}

TEST_F(InventoryFileTest, UnreadableFileIsNeverReplaced) {
    const std::string original = CrLf({Line("one", "1", "RPG"), Line("two", "2", "RACE")});
    WriteCatalogue(original);
    InventoryFile inventory(path_);
    InventoryFile::LoadResult result;
    bool limited = false;
    {
        NoMoreOpenFiles limit(path_);
        limited = limit.ok();
        result = inventory.LoadInventory("");
    }
    ASSERT_TRUE(limited);
    EXPECT_EQ(result.status, Status::Unreadable);
    EXPECT_FALSE(result.readFailure.empty());
    EXPECT_TRUE(inventory.WriteProtected());
    EXPECT_EQ(inventory.Lists().Count(), 0);

    // Saving the partial lists would lose the games that could not be read.
    inventory.Lists().AddGame("new", "ID\tRPG");
    inventory.inventoryChanged = true;
    EXPECT_FALSE(inventory.SaveInventory().written);
    EXPECT_EQ(ReadCatalogue(), original);

    // Even once the file reads again, it is left alone for the rest of the run.
    EXPECT_EQ(inventory.LoadInventory("").status, Status::Loaded);
    EXPECT_EQ(Names(inventory.Lists()), (std::vector<std::string>{"one", "two"}));
    EXPECT_TRUE(inventory.WriteProtected());
    inventory.Lists().RemoveGame(0);
    inventory.inventoryChanged = true;
    EXPECT_FALSE(inventory.SaveInventory().written);
    EXPECT_EQ(ReadCatalogue(), original);
    EXPECT_EQ(Entries(), std::vector<std::string>{"gameinv.txt"});
}

// Saves of a large catalogue killed at any moment leave at most their one temporary file,
// and the next start takes it away; the catalogue is always whole.
TEST_F(InventoryFileTest, KilledSavesLeaveNothingAfterTheNextStart) {
    constexpr int kGames = 32767, kKills = 20;
    std::vector<std::string> lines;
    for (int i = 0; i < kGames; ++i)
        lines.push_back(
            Line("Game " + std::to_string(i), "SLUS-00594", "RPG", std::string(200, 'd')));
    WriteCatalogue(CrLf(lines));
    std::set<std::string> seen;
    for (int kill = 0; kill < kKills; ++kill) {
        pid_t saver = ::fork();
        if (saver == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            InventoryFile inventory(path_);
            inventory.LoadInventory("");
            for (int save = 0;; ++save) {
                inventory.Lists().AddGame("Save " + std::to_string(save), "ID\tRPG");
                inventory.inventoryChanged = true;
                inventory.SaveInventory();
            }
        }
        // Killed once a new temporary file shows that a save is under way.
        for (bool saving = false; !saving;) {
            ASSERT_EQ(::waitpid(saver, nullptr, WNOHANG), 0) << "the saving process ended";
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            for (const std::string& name : Entries())
                saving = saving || (name != "gameinv.txt" && seen.insert(name).second);
        }
        ::kill(saver, SIGKILL);
        ::waitpid(saver, nullptr, 0);
        EXPECT_LE(Entries().size(), 2u) << "after kill " << kill;
    }

    InventoryFile inventory(path_);
    EXPECT_EQ(inventory.LoadInventory("").status, Status::Loaded);
    EXPECT_GE(inventory.Lists().Count(), kGames);
    EXPECT_EQ(Entries(), std::vector<std::string>{"gameinv.txt"});
}

#endif  // _WIN32

}  // namespace
}  // namespace vorlisk
