#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/imagegameid.h"
#include "tests/core/discimages.h"
#include "tests/core/tempfolder.h"

namespace vorlisk {
namespace {

using namespace vorlisk::testing;

TEST(PbpGameId, ReadsTheDiscIdOfAnUnencryptedPackageOnly) {
    const std::string pbp = PbpFile("SLUS00594");
    constexpr size_t kSfo = 40, kEntry = 60, kValue = 108;
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
        {"one disc", pbp, "SLUS-00594", false},
        {"several discs", PbpFile("SCES02380", "PSTITLEIMG000000"), "SCES-02380", false},
        {"a lower-case ID", PbpFile("slps01234"), "SLPS-01234", false},
        {"an encrypted PSP game", PbpFile("ULUS10041", "NPUMDIMG"), "", false},
        {"a DISC_ID of other characters", PbpFile("SLUS-005\t4"), "", false},
        {"an empty DISC_ID", PbpFile(""), "", false},
        {"no DISC_ID entry", patched(kEntry, 8, 2), "", false},
        {"a DISC_ID that is a number", patched(kEntry + 2, 0x0404, 2), "", false},
        {"a DISC_ID past the table", patched(kEntry + 12, 0xFFFFFFF0), "", false},
        {"a DISC_ID longer than the table", patched(kEntry + 4, 0xFFFFFFFF), "SLUS-00594", false},
        {"keys past the table", patched(kSfo + 8, 0xFFFFFFFF), "", false},
        {"billions of entries", patched(kSfo + 16, 0xFFFFFFFF), "SLUS-00594", false},
        {"no PARAM.SFO marker", patched(kSfo + 1, 'X', 1), "", false},
        {"no PBP marker", patched(1, 'X', 1), "", true},
        {"truncated in the header", pbp.substr(0, 30), "", true},
        {"an empty file", "", "", true},
        {"offsets that go back", patched(12, 39), "", true},
        {"a part past the end", patched(36, 0x7FFFFFFF), "", true},
        {"truncated before DATA.PSAR", pbp.substr(0, kValue + 16), "", true},
    };
    for (const Case& c : cases) {
        TempFolder temp("vorlisk-pbp");
        const ImageReading read = ReadImageGameId(temp.Write("EBOOT.PBP", c.file));
        EXPECT_EQ(read.id, c.id) << c.name;
        EXPECT_EQ(read.unreadable, c.unreadable) << c.name;
    }
}

}  // namespace
}  // namespace vorlisk
