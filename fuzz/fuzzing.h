#pragma once
// What the fuzz targets share: a scratch folder for the files that the code under test reads
// and writes, and the check that stops a run on an input that breaks a rule.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

#include <unistd.h>

namespace vorlisk::fuzzing {

// A folder of this process's own in the temporary folder (tools/fuzz.sh points TMPDIR at a
// memory file system, where the flushes of every save cost nothing), removed at the end.
class Scratch {
  public:
    Scratch() {
        folder_ =
            std::filesystem::temp_directory_path() / ("vorlisk-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string Folder() const { return folder_.string() + "/"; }

  private:
    std::filesystem::path folder_;
};

// The scratch folder, ending in "/".
inline std::string ScratchFolder() {
    static const Scratch scratch;
    return scratch.Folder();
}

// Writes the input as the file `name` of the scratch folder and answers its path.
inline std::string WriteScratchFile(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = ScratchFolder() + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

inline std::string ReadScratchFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// Ends the run, so that libFuzzer keeps the input, when `rule` does not hold.
inline void Check(bool rule, const char* what) {
    if (rule) return;
    std::fprintf(stderr, "rule broken: %s\n", what);
    std::abort();
}

// The rules every game ID read from a disc or an image keeps, whatever the input.
inline void CheckGameId(const std::string& id) {
    Check(id.size() <= 10 && (id.empty() || id.find('-') <= 4),
          "a game ID is at most four characters, a minus sign and five characters");
    Check(id.find_first_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos,
          "a game ID is in upper case");
}

}  // namespace vorlisk::fuzzing
