// The registry store: any registry.ini is read; a value written into it reads back as it was
// written, through the file, and the other values of the store are kept.

#include <vector>

#include "fuzz/fuzzing.h"
#include "system/registry.h"
#include "system/textfile.h"

using namespace vorlisk;
using namespace vorlisk::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The input is the store; its last two lines also give the name and the value to write.
    const std::string path = WriteScratchFile("registry.ini", data, size);
    RegistryText store(ReadTextLines(path, LineEnds::HandWritten).lines);
    const std::vector<std::string>& lines = store.Lines();
    const std::string name = lines.size() > 1 ? lines[lines.size() - 2] : "Location";
    const std::string value = lines.empty() ? input : lines.back();
    const std::string section = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Vorlisk";
    const auto before = store.Value("HKEY_CURRENT_USER\\Other", "Location");

    store.SetValue(section, name, value);
    Check(store.Value(section, name) == value, "a value set reads back");

    const std::string written = JoinLinesCrLf(store.Lines());
    const std::string again = WriteScratchFile(
        "again.ini", reinterpret_cast<const uint8_t*>(written.data()), written.size());
    RegistryText reread(ReadTextLines(again, LineEnds::HandWritten).lines);
    Check(reread.Value(section, name) == value, "a value set reads back from the file");
    Check(reread.Value("HKEY_CURRENT_USER\\Other", "Location") == before,
          "a value of another key is kept");
    return 0;
}
