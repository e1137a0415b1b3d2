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

// A folder of this process's own, removed when the process ends. It lies in /dev/shm when
// there is one: saves flush to the disk, which a memory file system skips.
class Scratch {
  public:
    Scratch() {
        namespace fs = std::filesystem;
        std::error_code error;
        fs::path base =
            fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        folder_ = base / ("vorlisk-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
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

}  // namespace vorlisk::fuzzing
