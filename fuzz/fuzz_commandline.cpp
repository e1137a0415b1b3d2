// Command-line splitting: any text splits into words, and words quoted by the program split
// back into exactly those words.

#include <string>
#include <vector>

#include "fuzz/fuzzing.h"
#include "system/commandline.h"

using namespace vorlisk;
using namespace vorlisk::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> words = SplitCommandLine(text);

    std::string joined;
    for (const std::string& word : words)
        joined += (joined.empty() ? "" : " ") + QuoteArgument(word);
    Check(SplitCommandLine(joined) == words, "quoted words split back into the same words");
    Check(
        SplitCommandLine("\"" + EscapeInsideQuotes(text) + "\"") == std::vector<std::string>{text},
        "an escaped text in quotes is one word");
    return 0;
}
