// CD images in CHD files, made at test time by chdman from discs built here and checked
// against what chdman itself extracts from them. POSIX only: chdman runs on Linux.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "import/chd.h"
#include "import/imagegameid.h"
#include "tests/core/discimages.h"
#include "tests/core/tempfolder.h"

namespace vorlisk {
namespace {

using namespace vorlisk::testing;

const std::string kId = "SLUS-00594";

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    return bytes;
}

// Text of words drawn from a small vocabulary, which LZMA shrinks best.
std::string Words(size_t size) {
    std::mt19937 random(3);
    std::string words;
    while (words.size() < size) words += std::to_string(random() % 500 * 7919) + ' ';
    return words;
}

// A disc of a few dozen hunks: its boot file, random data (deflate wins on its zero
// subcodes), text (LZMA wins), and zeros that repeat one hunk (stored as copies of it).
const std::string& TestIso() {
    static const std::string iso =
        IsoImage({{"SYSTEM.CNF;1", "BOOT = cdrom:\\SLUS_005.94;1\r\nTCB = 4\r\n"},
                  {"SLUS_005.94;1", RandomBytes(300000, 1)},
                  {"WORDS.TXT;1", Words(200000)},
                  {"ZEROS.DAT;1", std::string(160000, '\0')}});
    return iso;
}

struct Fixture {
    std::string name;
    std::string cue;  // the sheet, its data in disc.bin (and audio.bin)
    int mode;         // of disc.bin: 1 (2048-byte sectors as they are) or 2 (raw)
    std::vector<std::string> options;
    size_t sectorBytes, userOffset;  // of the first track as chdman extracts it
};

// Writes the fixture's disc and compresses it; answers chdman's complaint or empty.
std::string MakeFixtureChd(const TempFolder& temp, const Fixture& fixture) {
    temp.Write("disc.bin", fixture.mode == 1 ? TestIso() : RawTrack(TestIso(), 2));
    temp.Write("audio.bin", RandomBytes(301 * 2352, 2));
    temp.Write("disc.cue", fixture.cue);
    return MakeChd(temp.Path("disc.cue"), temp.Path("disc.chd"), fixture.options);
}

const std::string kMode2Cue = CueSheet("disc.bin", 2);

class ChdOracle : public ::testing::TestWithParam<Fixture> {};

TEST_P(ChdOracle, EverySectorOfTheDataTrackIsWhatChdmanExtracts) {
    const Fixture& fixture = GetParam();
    TempFolder temp("vorlisk-chd");
    const std::string failure = MakeFixtureChd(temp, fixture);
    if (!failure.empty()) GTEST_SKIP() << "chdman cannot make this file here: " << failure;
    ProgramRun run = RunProgram({"chdman", "extractcd", "-i", temp.Path("disc.chd"), "-o",
                                 temp.Path("out.cue"), "-ob", temp.Path("out.bin")},
                                std::chrono::minutes(2));
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::string extracted = temp.Read("out.bin");

    ChdDisc disc(temp.Path("disc.chd"));
    ASSERT_TRUE(disc.IsOpen()) << disc.FailureReason();
    ASSERT_EQ(disc.Sectors(), TestIso().size() / 2048);
    for (uint64_t sector = 0; sector < disc.Sectors(); ++sector)
        ASSERT_EQ(disc.UserData(sector),
                  extracted.substr(sector * fixture.sectorBytes + fixture.userOffset, 2048))
            << "sector " << sector;
    EXPECT_TRUE(disc.UserData(disc.Sectors()).empty());
    EXPECT_EQ(ImageGameId(temp.Path("disc.chd")), kId);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, ChdOracle,
    ::testing::Values(
        Fixture{"DefaultCodecs", kMode2Cue, 2, {}, 2352, 24},
        Fixture{"Deflate", kMode2Cue, 2, {"-c", "cdzl"}, 2352, 24},
        Fixture{"Flac", kMode2Cue, 2, {"-c", "cdfl"}, 2352, 24},
        Fixture{"Zstd", kMode2Cue, 2, {"-c", "cdzs"}, 2352, 24},
        Fixture{"Uncompressed", kMode2Cue, 2, {"-c", "none"}, 2352, 24},
        Fixture{"Mode1Of2048Bytes",
                "FILE \"disc.bin\" BINARY\n  TRACK 01 MODE1/2048\n    INDEX 01 00:00:00\n",
                1,
                {},
                2048,
                0},
        Fixture{"DataAndAudio",
                kMode2Cue + "FILE \"audio.bin\" BINARY\n  TRACK 02 AUDIO\n"
                            "    INDEX 01 00:00:00\n",
                2,
                {},
                2352,
                24}),
    [](const ::testing::TestParamInfo<Fixture>& info) { return info.param.name; });

// The ID that a child process reads from `path` while it may not take 64 MiB more memory
// than it holds; "died" when the child did not end well.
std::string IdInBoundedMemory(const std::string& path) {
    int out[2];
    if (::pipe(out) != 0) return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(out[0]);
        long pages = 0, data = 0;
        std::ifstream("/proc/self/statm") >> pages >> pages >> pages >> pages >> pages >> data;
        const rlim_t limit = static_cast<rlim_t>(data * ::sysconf(_SC_PAGESIZE)) + (64 << 20);
        const rlimit bounded{limit, limit};
        ::setrlimit(RLIMIT_DATA, &bounded);
        const std::string id = ImageGameId(path);
        _exit(::write(out[1], id.data(), id.size()) == static_cast<ssize_t>(id.size()) ? 0 : 1);
    }
    ::close(out[1]);
    std::string id;
    char buffer[64];
    for (ssize_t got; (got = ::read(out[0], buffer, sizeof buffer)) > 0;) id.append(buffer, got);
    ::close(out[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? id : "died";
}

uint64_t BigAt(const std::string& bytes, size_t at, int size) {
    uint64_t value = 0;
    for (int i = 0; i < size; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}
void PutBigAt(std::string& bytes, size_t at, uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * (size - 1 - i)));
}

TEST(ChdDisc, ABrokenFileGivesNoIdInBoundedMemory) {
    TempFolder temp("vorlisk-chd");
    std::string failure = MakeFixtureChd(temp, {"", kMode2Cue, 2, {}, 0, 0});
    if (failure.empty())
        failure = MakeChd(temp.Path("disc.cue"), temp.Path("raw.chd"), {"-c", "none"});
    if (!failure.empty()) GTEST_SKIP() << failure;
    const std::string good = temp.Read("disc.chd"), raw = temp.Read("raw.chd");
    const size_t map = BigAt(good, 40, 8), rawMap = BigAt(raw, 40, 8);
    ASSERT_EQ(IdInBoundedMemory(temp.Path("disc.chd")), kId);
    ASSERT_EQ(IdInBoundedMemory(temp.Path("raw.chd")), kId);

    struct Case {
        std::string name;
        const std::string& from;
        std::function<void(std::string&)> damage;
    };
    const std::vector<Case> cases = {
        {"cut in the header", good, [](std::string& f) { f.resize(100); }},
        {"cut in the map", good, [&](std::string& f) { f.resize(map + 20); }},
        {"cut in the hunk of the descriptor", raw,
         [&](std::string& f) { f.resize(BigAt(raw, rawMap + 2 * 4, 4) * 19584 + 100); }},
        {"cut in half", good, [](std::string& f) { f.resize(f.size() / 2); }},
        {"wrong magic", good, [](std::string& f) { f[1] = 'c'; }},
        {"version 4", good, [](std::string& f) { f[15] = 4; }},
        {"a parent named", good, [](std::string& f) { f[110] = 1; }},
        {"units of a DVD", good, [](std::string& f) { PutBigAt(f, 60, 2048, 4); }},
        {"wrong map CRC", good, [&](std::string& f) { f[map + 10] ^= 1; }},
        {"hunks past the end of the file", good,
         [&](std::string& f) { PutBigAt(f, map + 4, uint64_t{1} << 40, 6); }},
        {"raw hunk past the end of the file", raw,
         [&](std::string& f) { PutBigAt(f, rawMap + 2 * 4, 0xFFFFFFFF, 4); }},
        {"billions of hunks", good, [](std::string& f) { PutBigAt(f, 32, 1ull << 50, 8); }},
        {"billions of raw hunks", raw, [](std::string& f) { PutBigAt(f, 32, 1ull << 44, 8); }},
        {"a hunk size of zero", good, [](std::string& f) { PutBigAt(f, 56, 0, 4); }},
        {"no track list", good, [](std::string& f) { PutBigAt(f, 48, 0, 8); }},
    };
    for (const Case& c : cases) {
        std::string damaged = c.from;
        c.damage(damaged);
        EXPECT_EQ(IdInBoundedMemory(temp.Write("broken.chd", damaged)), "") << c.name;
    }

    // A flipped byte anywhere past the header gives the right ID or none, never another one;
    // a flip in the hunk of the boot file's sectors is caught by the hunk's check.
    int noId = 0;
    for (size_t at = 124; at < good.size(); at += good.size() / 499) {
        std::string damaged = good;
        damaged[at] ^= 0x10;
        const std::string id = ImageGameId(temp.Write("broken.chd", damaged));
        EXPECT_TRUE(id == kId || id.empty()) << "flip at " << at << " gave " << id;
        noId += id.empty();
    }
    EXPECT_GT(noId, 0);
}

}  // namespace
}  // namespace vorlisk

#endif
