// The text files: any bytes read as a catalogue or as a hand-written file (translate.txt,
// genre.txt, emupath.txt), and catalogue lines written by the program read back unchanged.

#include <vector>

#include "app/interfacetext.h"
#include "fuzz/fuzzing.h"
#include "launch/emulatorpaths.h"
#include "system/textfile.h"

using namespace vorlisk;
using namespace vorlisk::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteScratchFile("text.txt", data, size);

    TextLines handWritten = ReadTextLines(path, LineEnds::HandWritten);
    Check(handWritten.complete, "a regular file reads to its end");
    for (const std::string& line : handWritten.lines)
        Check(line.find_first_of("\r\n") == std::string::npos, "a line holds no line break");
    ReadTranslation(path);
    ReadGenreList(path);
    Check(EmulatorPathFile(path).Read().lines.size() <= 4, "emupath.txt gives four paths");

    TextLines catalogue = ReadTextLines(path, LineEnds::Catalogue);
    std::string encoded;
    for (const std::string& line : catalogue.lines) encoded += EncodeCatalogueLine(line) + "\r\n";
    const std::string again = WriteScratchFile(
        "again.txt", reinterpret_cast<const uint8_t*>(encoded.data()), encoded.size());
    Check(ReadTextLines(again, LineEnds::Catalogue).lines == catalogue.lines,
          "written catalogue lines read back unchanged");
    return 0;
}
