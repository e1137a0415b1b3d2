// CHD files read as CD images. The input is laid out behind a sound header so that the map,
// the track list and the hunks are what gets tried: its first byte picks a map without codecs
// (odd) or a compressed one and the number of hunks, the text up to its first line end is the
// track list's entry, and the rest is the map followed by the hunks. The input is also read as
// a whole file by itself.

#include <algorithm>

#include "fuzz/fuzzing.h"
#include "import/chd.h"
#include "import/imagegameid.h"

using namespace vorlisk;
using namespace vorlisk::fuzzing;

namespace {

void PutBig(std::string& bytes, size_t at, uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * (size - 1 - i)));
}

std::string WithHeader(const std::string& input) {
    if (input.empty()) return input;
    const size_t lineEnd = std::min(input.find('\n'), input.size());
    const std::string track = input.substr(1, lineEnd - 1);
    constexpr uint32_t kHunkBytes = 8 * 2448;
    std::string file(124, '\0');
    file.replace(0, 8, "MComprHD");
    PutBig(file, 8, 124, 4);
    PutBig(file, 12, 5, 4);
    if (input[0] % 2 == 0) {
        PutBig(file, 16, 0x63646C7A, 4);  // cdlz, cdzl, cdfl, cdzs
        PutBig(file, 20, 0x63647A6C, 4);
        PutBig(file, 24, 0x6364666C, 4);
        PutBig(file, 28, 0x63647A73, 4);
    }
    const uint64_t hunks = static_cast<unsigned char>(input[0]) / 2 % 64 + 1;
    PutBig(file, 32, hunks * kHunkBytes, 8);
    PutBig(file, 40, 124 + 16 + track.size(), 8);  // the map, after the track list
    PutBig(file, 48, 124, 8);
    PutBig(file, 56, kHunkBytes, 4);
    PutBig(file, 60, 2448, 4);
    std::string entry(16, '\0');
    entry.replace(0, 4, "CHT2");
    PutBig(entry, 5, track.size(), 3);
    return file + entry + track + input.substr(std::min(lineEnd + 1, input.size()));
}

void Read(const std::string& path) {
    ChdDisc disc(path);
    for (uint64_t sector = 0; sector < std::min<uint64_t>(disc.Sectors(), 64); ++sector) {
        const size_t size = disc.UserData(sector).size();
        Check(size == 0 || size == 2048, "a sector's user data is 2048 bytes or none");
    }
    const std::string id = ImageGameId(path);
    Check(id.size() <= 10, "a game ID is at most ten characters");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Read(WriteScratchFile("whole.chd", data, size));
    const std::string file = WithHeader(std::string(reinterpret_cast<const char*>(data), size));
    Read(WriteScratchFile("disc.chd", reinterpret_cast<const uint8_t*>(file.data()), file.size()));
    return 0;
}
