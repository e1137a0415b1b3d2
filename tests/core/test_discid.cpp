#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "import/cdrom.h"
#include "import/discid.h"
#include "tests/core/tempfolder.h"

namespace vorlisk {
namespace {

using vorlisk::testing::TempFolder;

TEST(GameIdFromBootLine, CutsTheIdOutOfTheFirstLine) {
    struct Case {
        std::string line;
        std::string id;
    };
    const std::vector<Case> cases = {
        {"BOOT = cdrom:\\SLUS_005.94;1", "SLUS-00594"},
        {"boot=cdrom:slps_012.34;1", "SLPS-01234"},
        {"BOOT = cdrom:\\PSX.EXE;1", "SX.E-E;1"},
        {"VMODE = NTSC", ""},
        {"BOOT = cdrom:\\S", "S-"},
        {"BOOT = cdrom:\\SLES", "SLES-"},
        {"BOOT = cdrom:\\SLES_0", "SLES-0"},
        {"BOOT = cdrom:\\SLES_01", "SLES-01"},
        {"BOOT = cdrom:\\SCES_123.4", "SCES-1234"},
        {"BOOT = cdrom:\\SCES_123.45", "SCES-12345"},
        {"BOOT = CDROM:\\SCUS_944.55;1", "SCUS-94455"},
        {"BOOT = CdRom:\\sLuS_005.94;1", "SLUS-00594"},
        {"BOOT=cdrom:/SLUS_005.94;1", "SLUS-00594"},
        // The S is searched from where "cdrom:" begins, not before it.
        {"SLUS_999.99 cdrom:\\SLPS_012.34", "SLPS-01234"},
        {"BOOT = cdrom:\\PAPX.EXE;1", ""},
        {"BOOT = cdrom\\SLUS_005.94;1", ""},
        {"BOOT = cdro:\\SLUS_005.94;1", ""},
        {"", ""},
        {"cdrom:", ""},
        {std::string("cdrom:\\S\0\xff\x80_1\x01\x02.3\x04", 18), std::string("S\0\xff\x80-1\x01\x02"
                                                                             "3\x04",
                                                                             10)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GameIdFromBootLine(c.line), c.id) << "line: " << c.line;
    }
}

// A drive for the scan: a folder that holds one file (or none when `file` is empty).
struct Drive {
    std::string file;
    std::string content;
};

TEST(GetDiscGameId, ScansTheDrivesInOrderAndStopsAtTheFirstBootFile) {
    const std::string psx1 = "BOOT = cdrom:\\SLUS_005.94;1\r\nTCB = 4\r\n";
    const std::string psx2 = "BOOT = cdrom:\\SLPS_012.34;1\r\n";
    std::string longBinary(200000, '\x01');
    longBinary[5] = '\0';
    std::string lateId = std::string(kBootLineLimit + 100, 'x') + "cdrom:\\SLUS_005.94";
    struct Case {
        std::string name;
        std::vector<Drive> drives;
        std::string id;
    };
    const std::vector<Case> cases = {
        {"no drives", {}, ""},
        {"one disc", {{"system.cnf", psx1}}, "SLUS-00594"},
        {"the first drive in search order wins",
         {{"system.cnf", psx2}, {"system.cnf", psx1}},
         "SLPS-01234"},
        {"a drive without system.cnf is skipped",
         {{"readme.txt", "data disc"}, {"system.cnf", psx1}},
         "SLUS-00594"},
        {"an empty drive is skipped", {{"", ""}, {"system.cnf", psx2}}, "SLPS-01234"},
        {"a 0-byte system.cnf is skipped",
         {{"system.cnf", ""}, {"system.cnf", psx1}},
         "SLUS-00594"},
        {"a first line without cdrom: ends the scan",
         {{"system.cnf", "VMODE = NTSC\r\nBOOT = cdrom:\\SLUS_005.94;1\r\n"}, {"system.cnf", psx2}},
         ""},
        {"a first line without S ends the scan",
         {{"system.cnf", "BOOT = cdrom:\\PAPX.EXE;1"}, {"system.cnf", psx2}},
         ""},
        {"upper-case SYSTEM.CNF", {{"SYSTEM.CNF", psx1}}, "SLUS-00594"},
        {"no line end", {{"system.cnf", "BOOT = cdrom:\\SLUS_005.94;1"}}, "SLUS-00594"},
        {"lone LF", {{"system.cnf", "boot=cdrom:slps_012.34;1\nx cdrom:\\SLUS"}}, "SLPS-01234"},
        {"lone CR", {{"system.cnf", "boot=cdrom:slps_012.34;1\rx cdrom:\\SLUS"}}, "SLPS-01234"},
        {"binary bytes without line end", {{"system.cnf", longBinary}, {"system.cnf", psx1}}, ""},
        {"binary boot line",
         {{"system.cnf", std::string("\0\xff cdrom:\\s\xe9\0u_123.45\x7f", 22)}},
         std::string("S\xe9\0U-12345", 10)},
        {"only the head of a huge file without line end is read",
         {{"system.cnf", lateId}, {"system.cnf", psx2}},
         ""},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        std::vector<std::string> roots;
        for (size_t i = 0; i < c.drives.size(); ++i) {
            std::string root = temp.MakeFolder("drive" + std::to_string(i));
            if (!c.drives[i].file.empty())
                temp.Write("drive" + std::to_string(i) + "/" + c.drives[i].file,
                           c.drives[i].content);
            roots.push_back(root);
        }
        EXPECT_EQ(GetDiscGameId(roots), c.id) << c.name;
    }
}

TEST(GetDiscGameId, SkipsRootsThatAreEmptyMissingOrHoldAFolderNamedSystemCnf) {
    TempFolder temp;
    std::string missing = temp.Path("gone") + "/";
    std::string folderDrive = temp.MakeFolder("folderdrive");
    temp.MakeFolder("folderdrive/system.cnf");
    std::string disc = temp.MakeFolder("disc");
    temp.Write("disc/system.cnf", "BOOT = cdrom:\\SCES_023.80;1\r\n");
    EXPECT_EQ(GetDiscGameId({"", missing, folderDrive, disc}), "SCES-02380");
}

TEST(GetDiscGameId, TakesTheDrivesOfAMountsTableHighestMountPointFirst) {
    TempFolder temp;
    std::string low = temp.MakeFolder("a disc");
    std::string high = temp.MakeFolder("z disc");
    temp.Write("a disc/system.cnf", "BOOT = cdrom:\\SLUS_005.94;1\r\n");
    temp.Write("z disc/SYSTEM.CNF", "BOOT = cdrom:\\SLPS_012.34;1\r\n");
    auto escaped = [](std::string path) {
        std::string out;
        for (char c : path) out += c == ' ' ? std::string("\\040") : std::string(1, c);
        return out;
    };
    low.pop_back();
    high.pop_back();
    std::string table = "/dev/sr0 " + escaped(low) + " iso9660 ro 0 0\n" + "fuseiso " +
                        escaped(high) + " fuse.fuseiso ro 0 0\n";
    std::string tablePath = temp.Write("mounts", table);
    EXPECT_EQ(GetDiscGameId(CdromRootsFromMountsTable(tablePath)), "SLPS-01234");
}

TEST(LookupGameName, TakesTheNameOfTheLastMatchingLine) {
    struct Case {
        std::string name;
        std::string table;
        std::string id;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"one line", "SLUS-00594 Final Game VII\tRPG\r\n", "SLUS-00594", "Final Game VII"},
        {"no match", "SLUS-00594 Final Game VII\tRPG\r\n", "SLUS-00595", ""},
        {"two lines for one id",
         "SLUS-00594 First Name\tx\r\nSLPS-01234 Other\tx\r\nSLUS-00594 Second Name\tx\r\n",
         "SLUS-00594", "Second Name"},
        {"the id only after the tab", "SLES-11111 Tabbed Game\tsee SLUS-00594\r\n", "SLUS-00594",
         "Tabbed Game"},
        {"a lower-case line matches", "slus-00594 lower game\tx\r\n", "SLUS-00594", "lower game"},
        {"a lower-case id matches", "SLUS-00594 Upper Game\tx\r\n", "slus-00594", "Upper Game"},
        {"tab in column 12 gives an empty name", "SLUS-00594 Earlier\tx\r\nSLUS-00594 \tx\r\n",
         "SLUS-00594", ""},
        {"blanks of the name are kept", "SLUS-00594  Spaced Out \tx\r\n", "SLUS-00594",
         " Spaced Out "},
        {"a matching line without tab stops the look-up",
         "SLUS-00594 Earlier\tx\r\nSLUS-00594 Broken\r\nSLUS-00594 Later\tx\r\n", "SLUS-00594",
         "Earlier"},
        {"a matching line with its tab before column 12 stops the look-up",
         "SLUS-00594\tShort\r\nSLUS-00594 Later\tx\r\n", "SLUS-00594", ""},
        {"malformed lines without the id are harmless",
         "garbage\r\n\tx\r\nSLUS-00594 Found\tx\r\nno tab at all\r\n", "SLUS-00594", "Found"},
        {"lone LF line ends", "SLUS-00594 Linux Game\tx\nSLPS-01234 Other\tx\n", "SLUS-00594",
         "Linux Game"},
        {"lone CR line ends", "SLPS-01234 Other\tx\rSLUS-00594 Old Mac Game\tx\r", "SLUS-00594",
         "Old Mac Game"},
        {"a last line without line end", "SLUS-00594 Last\tx", "SLUS-00594", "Last"},
        {"binary bytes", std::string("\0\xff\r\nSLUS-00594 N\xe4me\0\tx\r\n", 24), "SLUS-00594",
         std::string("N\xe4me\0", 5)},
        {"an empty id finds nothing", "SLUS-00594 Game\tx\r\n", "", ""},
        {"an empty table", "", "SLUS-00594", ""},
    };
    for (const Case& c : cases) {
        TempFolder temp;
        std::string path = temp.Write("games.txt", c.table);
        EXPECT_EQ(LookupGameName(path, c.id), c.expected) << c.name;
    }
}

TEST(LookupGameName, AMissingTableGivesNothing) {
    TempFolder temp;
    EXPECT_EQ(LookupGameName(temp.Path("games.txt"), "SLUS-00594"), "");
    EXPECT_EQ(LookupGameName(temp.Folder(), "SLUS-00594"), "");
}

TEST(LookupGameName, SearchesALargeTableWithAnOverlongLine) {
    TempFolder temp;
    std::string table;
    for (int i = 0; i < 100000; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "SLUS-%05d Game number %d\tGENRE\r\n", i, i);
        table += line;
    }
    table += std::string(2000000, 'q') + "\r\n";
    table += "slus-00042 The Answer\tx\n";
    std::string path = temp.Write("games.txt", table);
    EXPECT_EQ(LookupGameName(path, "SLUS-99999"), "Game number 99999");
    EXPECT_EQ(LookupGameName(path, "SLUS-00042"), "The Answer");
    EXPECT_EQ(LookupGameName(path, "SLES-00001"), "");
}

}  // namespace
}  // namespace vorlisk
