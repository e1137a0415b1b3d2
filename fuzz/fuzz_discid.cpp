// The disc's boot line and the look-up in games.txt: the game ID cut from any system.cnf, and
// the name that any table gives for it.

#include <algorithm>

#include "fuzz/fuzzing.h"
#include "import/discid.h"

using namespace vorlisk;
using namespace vorlisk::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // One input is both the disc's system.cnf and the table of known games.
    const std::string systemCnf = WriteScratchFile("disc/system.cnf", data, size);
    const std::string id = GameIdFromBootLine(ReadBootLine(systemCnf));
    Check(id.empty() || (id.size() <= 10 && id.find('-') <= 4),
          "a game ID is at most four characters, a minus sign and five characters");
    Check(std::none_of(id.begin(), id.end(), [](char c) { return c >= 'a' && c <= 'z'; }),
          "a game ID is in upper case");
    Check(GetDiscGameId({ScratchFolder() + "disc/"}) == id, "the drive gives the file's ID");

    const std::string name = LookupGameName(systemCnf, id);
    Check(name.find_first_of("\t\r\n") == std::string::npos,
          "a name ends before the TAB and the line break");
    return 0;
}
