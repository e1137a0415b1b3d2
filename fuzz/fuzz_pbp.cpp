// PSP packages of PlayStation discs (.pbp) read for their game ID. The input is the package's
// PARAM.SFO, put behind a sound header with the DATA.PSAR of a disc after it, so that the table
// of keys and values is what gets tried; the input is also read as a whole file by itself.

#include "fuzz/fuzzing.h"
#include "import/imagegameid.h"

using namespace vorlisk;
using namespace vorlisk::fuzzing;

namespace {

void PutLittle(std::string& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string sfo(reinterpret_cast<const char*>(data), size);
    std::string package(40, '\0');
    package.replace(0, 4, std::string("\0PBP", 4));
    PutLittle(package, 8, 40);
    for (size_t i = 1; i < 8; ++i) PutLittle(package, 8 + 4 * i, static_cast<uint32_t>(40 + size));
    package += sfo + "PSISOIMG0000" + std::string(64, '\0');
    const ImageReading wrapped = ReadImageGameId(WriteScratchFile(
        "EBOOT.PBP", reinterpret_cast<const uint8_t*>(package.data()), package.size()));
    Check(!wrapped.unreadable, "a package with a sound header can be read");
    CheckGameId(wrapped.id);
    CheckGameId(ReadImageGameId(WriteScratchFile("whole.pbp", data, size)).id);
    return 0;
}
