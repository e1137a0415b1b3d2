#pragma once
// A fresh folder for one test under the system's temporary folder, and the whole-file reads
// and writes the tests make in it. Standard C++ only: the Windows build runs these tests too.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace vorlisk::testing {

// The bytes of a file, or the empty text when it cannot be read (a missing file, a folder).
inline std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();  // a read error ends the copy instead of throwing
    return content.str();
}

// Replaces the file with exactly `bytes` (NULs included).
inline void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A folder of its own, created empty under the temporary folder and removed with everything
// in it when the object goes. `prefix` begins the folder's name; a blank in it puts a blank
// into every path below the folder.
class TempFolder {
  public:
    explicit TempFolder(const std::string& prefix = "vorlisk-test") {
        namespace fs = std::filesystem;
        static std::atomic<unsigned> counter{0};
        std::random_device random;
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        // create_directory answers false for a folder that is already there: a name another
        // test or another run took is never shared.
        do {
            path_ =
                fs::temp_directory_path() / (prefix + "-" + std::to_string(random()) + "-" +
                                             std::to_string(now) + "-" + std::to_string(counter++));
        } while (!fs::create_directory(path_));
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder itself without a separator at the end, or the path of `name` inside it.
    std::string Path(const std::string& name = "") const {
        return name.empty() ? path_.string() : (path_ / name).string();
    }
    // The folder as the folder chooser gives it: ending in "/".
    std::string Folder() const { return path_.string() + "/"; }

    // Writes the file `name` (parent folders are created) and answers its path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::filesystem::path file = path_ / name;
        std::filesystem::create_directories(file.parent_path());
        WriteWholeFile(file, bytes);
        return file.string();
    }
    std::string Read(const std::string& name) const { return ReadWholeFile(path_ / name); }

    // Creates the folder `name` (and its parents) and answers its path ending in "/".
    std::string MakeFolder(const std::string& name) const {
        std::filesystem::create_directories(path_ / name);
        return (path_ / name).string() + "/";
    }

    // The names of the entries directly in the folder, sorted.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    std::filesystem::path path_;
};

}  // namespace vorlisk::testing
