#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "import/discid.h"
#include "import/imagegameid.h"
#include "tests/core/discimages.h"
#include "tests/core/tempfolder.h"

#ifndef _WIN32
#include <sys/stat.h>

#include "system/processes.h"
#endif

namespace vorlisk {
namespace {

using namespace vorlisk::testing;

const std::string kId = "SLUS-00594";
const std::string kProgram = "SLUS_005.94";

TEST(ImageGameId, ReadsEveryImageFormByLookingAtItsData) {
    const std::string iso = PlayStationIso(kProgram);
    const std::string mode1 = RawTrack(iso, 1), mode2 = RawTrack(iso, 2);
    const std::string track2 = "\r\nTRACK 01 MODE2/2352\r\n";
    struct Case {
        std::string name;
        std::vector<std::pair<std::string, std::string>> files;  // a folder's name ends in "/"
        std::string image;                                       // the file whose ID is read
        std::string id;
    };
    const std::vector<Case> cases = {
        {"raw mode 1 under an .iso name", {{"raw.iso", mode1}}, "raw.iso", kId},
        {"raw mode 2 under a .bin name", {{"a.bin", mode2}}, "a.bin", kId},
        {"cue of mode 2", {{"a.bin", mode2}, {"a.cue", CueSheet("a.bin", 2)}}, "a.cue", kId},
        {"ccd beside an IMG in other letters",
         {{"GAME.IMG", mode1}, {"Game.ccd", CloneCdSheet(1)}},
         "Game.ccd",
         kId},
        {"cue with a Windows folder and other letters",
         {{"disc/game.bin", mode2}, {"a.cue", "FILE \"disc\\GAME.BIN\" BINARY" + track2}},
         "a.cue",
         kId},
        {"cue naming the folder it came from",
         {{"Game.bin", mode2}, {"a.cue", "FILE \"C:\\PSX\\GAME.BIN\" BINARY" + track2}},
         "a.cue",
         kId},
        {"cue with an unquoted name with blanks after an audio track",
         {{"My Game.bin", mode1},
          {"a.cue",
           "\xEF\xBB\xBF"
           "FILE intro.wav WAVE\n  TRACK 01 AUDIO\n"
           "FILE My Game.bin BINARY\n  TRACK 02 MODE1/2352\n"}},
         "a.cue",
         kId},
        {"lower-case name without version",
         {{"a.iso", IsoImage({{"system.cnf", "boot=cdrom:slps_012.34;1"}})}},
         "a.iso",
         "SLPS-01234"},
        {"uncompressed CHD under a name beyond ASCII",
         {{"Caf\xC3\xA9.chd", UncompressedChd(mode2)}},
         "Caf\xC3\xA9.chd",
         kId},
        {"CHD with a header of its own", {{"a.chd", "MComprHD" + mode2}}, "a.chd", ""},
        {"bwt gives no ID", {{"a.bwt", iso}}, "a.bwt", ""},
        {"cue with audio only",
         {{"a.bin", mode2}, {"a.cue", "FILE a.bin BINARY\nTRACK 01 AUDIO"}},
         "a.cue",
         ""},
        {"cue naming a missing file", {{"a.cue", CueSheet("gone.bin", 2)}}, "a.cue", ""},
        {"cue naming itself", {{"a.cue", CueSheet("a.cue", 2)}}, "a.cue", ""},
        {"a folder", {{"a.iso/", ""}}, "a.iso", ""},
    };
    for (const Case& c : cases) {
        TempFolder temp("vorlisk-image");
        for (const auto& [name, content] : c.files)
            name.back() == '/' ? temp.MakeFolder(name) : temp.Write(name, content);
        EXPECT_EQ(ImageGameId(temp.Path(c.image)), c.id) << c.name;
    }
#ifndef _WIN32
    TempFolder temp("vorlisk-image");
    ASSERT_EQ(::mkfifo(temp.Path("pipe.iso").c_str(), 0600), 0);
    EXPECT_EQ(ImageGameId(temp.Path("pipe.iso")), "");  // not opened: no writer to wait for
#endif
}

TEST(ImageGameId, DamagedImagesGiveNoId) {
    using L = IsoLayout;
    L layout;
    const std::string iso = PlayStationIso(kProgram, &layout);
    const std::string raw = RawTrack(iso, 2);
    const size_t cnf = layout.records[0];  // the record of SYSTEM.CNF
    const size_t raw16 = 16 * 2352;
    // `image` with a number of `size` bytes (1, or 2 and 4 recorded both ways) put at `at`.
    auto patched = [](std::string image, size_t at, uint32_t value, int size = 4) {
        if (size == 1)
            image[at] = static_cast<char>(value);
        else
            PutBoth(image, at, value, size);
        return image;
    };
    struct Case {
        std::string name;
        std::string image;
        std::string id;
    };
    const std::vector<Case> cases = {
        {"undamaged", iso, kId},
        {"raw undamaged", raw, kId},
        {"zero length", "", ""},
        {"truncated before the descriptor", iso.substr(0, L::kDescriptor), ""},
        {"truncated in the descriptor", iso.substr(0, L::kDescriptor + 200), ""},
        {"truncated in the root folder", iso.substr(0, cnf + 20), ""},
        {"truncated before SYSTEM.CNF", iso.substr(0, 21 * 2048), ""},
        {"truncated in SYSTEM.CNF", iso.substr(0, 21 * 2048 + 20), ""},
        {"raw truncated in SYSTEM.CNF", raw.substr(0, 21 * 2352 + 40), ""},
        {"not a primary descriptor", patched(iso, L::kDescriptor, 2, 1), ""},
        {"sectors of 512 bytes", patched(iso, L::kDescriptor + 128, 512, 2), ""},
        {"root folder beyond the end", patched(iso, L::kRootRecord + 2, 0xFFFFFFFF), ""},
        {"root folder of 4 GiB", patched(iso, L::kRootRecord + 10, 0xFFFFFFFF), ""},
        {"root folder is the descriptor", patched(iso, L::kRootRecord + 2, 16), ""},
        {"a record past the end of the folder",
         patched(iso, L::kRootRecord + 10, static_cast<uint32_t>(cnf - L::kRootFolder + 10)), ""},
        {"a record of length 1", patched(iso, cnf, 1, 1), ""},
        {"a name longer than its record", patched(iso, cnf + 32, 100, 1), ""},
        {"SYSTEM.CNF beyond the end", patched(iso, cnf + 2, 0x7FFFFFFF), ""},
        {"SYSTEM.CNF larger than the file", patched(iso, cnf + 10, 0xFFFFFFFF), ""},
        {"SYSTEM.CNF empty", patched(iso, cnf + 10, 0), ""},
        {"SYSTEM.CNF is a folder", patched(iso, cnf + 25, 2, 1), ""},
        {"only folders, looping to the root",
         IsoImage({{"LOOP", "", true}, {"SYSTEM.CNF;1", "", true}}), ""},
        {"a boot line beyond the first 64 KiB",
         IsoImage({{"SYSTEM.CNF;1", std::string(kBootLineLimit, 'x') + "cdrom:\\SLUS_005.94"}}),
         ""},
        {"raw without sync", patched(raw, raw16 + 5, 0, 1), ""},
        {"raw of mode 3", patched(raw, raw16 + 15, 3, 1), ""},
        {"raw of form 2", patched(raw, raw16 + 18, 0x28, 1), ""},
    };
    for (const Case& c : cases) {
        TempFolder temp("vorlisk-image");
        EXPECT_EQ(ImageGameId(temp.Write("game.iso", c.image)), c.id) << c.name;
    }
}

TEST(ImageGameId, OfAPspPackageIsItsDiscIdUnlessEncryptedOrDamaged) {
    const std::string pbp = PbpFile("SLUS00594");
    constexpr size_t kSfo = 40, kEntry = 60;
    auto patched = [&pbp](size_t at, uint32_t value, int size = 4) {
        std::string bytes = pbp;
        PutLittle(bytes, at, value, size);
        return bytes;
    };
    struct Case {
        std::string name;
        std::string file;
        std::string id;
        bool unreadable;
    };
    const std::vector<Case> cases = {
        {"one disc", pbp, kId, false},
        {"several discs", PbpFile("SCES02380", "PSTITLEIMG000000"), "SCES-02380", false},
        {"a lower-case ID", PbpFile("slps01234"), "SLPS-01234", false},
        {"an encrypted PSP game", PbpFile("ULUS10041", "NPUMDIMG"), "", false},
        {"a DISC_ID of other characters", PbpFile("SLUS-005\t4"), "", false},
        {"an empty DISC_ID", PbpFile(""), "", false},
        {"no DISC_ID entry", patched(kEntry, 8, 2), "", false},
        {"a DISC_ID that is a number", patched(kEntry + 2, 0x0404, 2), "", false},
        {"a DISC_ID past the table", patched(kEntry + 12, 0xFFFFFFF0), "", false},
        {"a DISC_ID longer than the table", patched(kEntry + 4, 0xFFFFFFFF), kId, false},
        {"keys past the table", patched(kSfo + 8, 0xFFFFFFFF), "", false},
        {"billions of entries", patched(kSfo + 16, 0xFFFFFFFF), kId, false},
        {"no PARAM.SFO marker", patched(kSfo + 1, 'X', 1), "", false},
        {"no PBP marker", patched(1, 'X', 1), "", true},
        {"truncated in the header", pbp.substr(0, 30), "", true},
        {"an empty file", "", "", true},
        {"offsets that go back", patched(12, 39), "", true},
        {"a part past the end", patched(36, 0x7FFFFFFF), "", true},
        {"truncated before DATA.PSAR", pbp.substr(0, 124), "", true},
    };
    for (const Case& c : cases) {
        TempFolder temp("vorlisk-pbp");
        const ImageReading read = ReadImageGameId(temp.Write("EBOOT.PBP", c.file));
        EXPECT_EQ(read.id, c.id) << c.name;
        EXPECT_EQ(read.unreadable, c.unreadable) << c.name;
    }
}

TEST(ImageGameId, OfAPlaylistIsThatOfTheFirstListedDiscThatCanBeRead) {
    TempFolder temp("vorlisk-m3u");
    temp.Write("Game (Disc 1).iso", PlayStationIso(kProgram));
    const std::string disc2 = temp.Write("Game (Disc 2).iso", PlayStationIso("SLUS_005.95"));
    temp.MakeFolder("sub/");
    temp.Write("sub/Other.iso", PlayStationIso("SLUS_005.95"));
    temp.Write("unreadable.iso", "no file system");
    temp.Write("other.m3u", "Game (Disc 2).iso\n");
#ifndef _WIN32
    temp.Write("J\xc3\xa9u.iso", PlayStationIso("SLUS_005.95"));
#endif
    struct Case {
        std::string name;
        std::string playlist;
        std::string id;
    };
    const std::vector<Case> cases = {
        {"two discs", "Game (Disc 1).iso\nGame (Disc 2).iso\n", kId},
        {"a missing disc first", "Gone.iso\r\nGame (Disc 2).iso\r\n", "SLUS-00595"},
        {"a disc without an ID first", "unreadable.iso\rGame (Disc 2).iso", "SLUS-00595"},
        {"a mark, comments, blank lines and blanks around a name",
         "\xEF\xBB\xBF#EXTM3U\r\n\r\n  \t\r\n# Game (Disc 1).iso\r\n \tGame (Disc 2).iso \t\r\n",
         "SLUS-00595"},
        {"a subfolder with Windows separators and other letters", "sub\\OTHER.iso\n", "SLUS-00595"},
        {"an absolute path", disc2 + "\n", "SLUS-00595"},
#ifndef _WIN32
        {"a Windows-1252 name of a file named in UTF-8", "J\xe9u.iso\n", "SLUS-00595"},
#endif
        {"itself", "list.m3u\nGame (Disc 1).iso\n", ""},
        {"another playlist", "Game (Disc 1).iso\nother.M3U\n", ""},
        {"no disc at all", "#EXTM3U\n", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ImageGameId(temp.Write("list.m3u", c.playlist)), c.id) << c.name;
}

// libcdio's tools, as an independent reader: they find the same boot file in the images that
// genisoimage and the tests' own writer build, and in the raw tracks the tests make of them.
TEST(ImageGameId, AgreesWithLibcdio) {
#ifdef _WIN32
    GTEST_SKIP() << "genisoimage and libcdio's tools are run on Linux only";
#else
    using namespace std::chrono_literals;
    for (const char* tool : {"genisoimage", "iso-read", "cd-info"})
        if (FindProgramOnPath(tool).empty())
            GTEST_SKIP() << tool << " is not installed (packages genisoimage, libcdio-utils)";
    TempFolder temp("vorlisk-oracle");
    temp.Write("disc/ABOUT.TXT", "readme");
    temp.Write("disc/DATA/MOVIE.STR", std::string(100000, 'm'));
    temp.Write("disc/SCES_023.80", std::string(70000, 'p'));
    temp.Write("disc/SYSTEM.CNF", "BOOT = cdrom:\\SCES_023.80;1\r\nTCB = 4\r\n");
    ProgramRun built =
        RunProgram({"genisoimage", "-quiet", "-o", temp.Path("built.iso"), temp.Path("disc")}, 30s);
    ASSERT_EQ(built.exitCode, 0) << built.errors;
    const std::string sources[] = {temp.Read("built.iso"), PlayStationIso(kProgram)};
    for (const std::string& iso : sources) {
        WriteDiscImage(temp.Folder(), "source.iso", iso);
        ProgramRun read = RunProgram({"iso-read", "-i", temp.Path("source.iso"), "-e", "system.cnf",
                                      "-o", temp.Path("system.cnf")},
                                     30s);
        ASSERT_EQ(read.exitCode, 0) << read.errors;
        const std::string expected = GameIdFromBootLine(FirstLineOf(temp.Read("system.cnf")));
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(ImageGameId(temp.Path("source.iso")), expected);
        struct Form {
            std::string image;
            int mode;
            std::string track;  // the raw track that cd-info reads through a cue sheet
        };
        for (const Form& form : {Form{"one.cue", 1, "one.bin"}, Form{"two.cue", 2, "two.bin"},
                                 Form{"two.ccd", 2, "two.img"}}) {
            SCOPED_TRACE(form.image);
            const std::string image = WriteDiscImage(temp.Folder(), form.image, iso, form.mode);
            // cd-info finds the track of a cue sheet by the sheet's own name.
            std::filesystem::copy_file(temp.Path(form.track), temp.Path("libcdio.bin"),
                                       std::filesystem::copy_options::overwrite_existing);
            temp.Write("libcdio.cue", CueSheet("libcdio.bin", form.mode));
            ProgramRun info = RunProgram({"cd-info", "--no-header", "--no-device-info", "-q",
                                          "--iso9660", "--cue-file=" + temp.Path("libcdio.cue")},
                                         30s);
            EXPECT_NE(info.output.find("Mode " + std::to_string(form.mode)), std::string::npos)
                << info.output;
            EXPECT_NE(info.output.find(" system.cnf\n"), std::string::npos) << info.output;
            EXPECT_EQ(ImageGameId(image), expected);
        }
    }
#endif
}

}  // namespace
}  // namespace vorlisk
