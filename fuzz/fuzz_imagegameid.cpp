// Disc images read for their game ID: any bytes from sector 16 on (the volume descriptor,
// the root folder, SYSTEM.CNF), in 2048-byte sectors or, when they begin with the sync pattern
// of a raw sector, in 2352-byte ones; and the same bytes as a cue sheet.

#include "fuzz/fuzzing.h"
#include "import/imagegameid.h"

using namespace vorlisk;
using namespace vorlisk::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string kSync("\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\0", 12);
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t sector = input.rfind(kSync, 0) == 0 ? 2352 : 2048;
    const std::string image = std::string(16 * sector, '\0') + input;
    CheckGameId(ImageGameId(
        WriteScratchFile("disc.bin", reinterpret_cast<const uint8_t*>(image.data()), image.size())));
    // As a sheet, it may name disc.bin, or itself.
    CheckGameId(ImageGameId(WriteScratchFile("sheet.cue", data, size)));
    return 0;
}
