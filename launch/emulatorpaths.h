#pragma once
// emupath.txt: the executable paths of the four emulators, one a line, read at start-up and
// written whenever the path dialog closes.

#include <string>
#include <utility>
#include <vector>

#include "system/textfile.h"

namespace vorlisk {

class EmulatorPathFile {
  public:
    explicit EmulatorPathFile(std::string path) : path_(std::move(path)) {}

    // The first four lines of the file (fewer when it has fewer; none when it is missing).
    // A file that is there but cannot be read to its end, or is no regular file, is
    // remembered: Write leaves it alone for the rest of the run, so that the paths it holds
    // and the program could not show are not lost.
    TextLines Read();

    enum class WriteStatus { Written, HeldBack, Failed };
    struct WriteResult {
        WriteStatus status = WriteStatus::Written;
        std::string reason;  // HeldBack: why the file could not be read; Failed: why not written
    };
    // Writes `paths` as the file's lines, in place of the whole file.
    WriteResult Write(const std::vector<std::string>& paths) const;

    const std::string& Path() const { return path_; }

  private:
    std::string path_;
    bool unreadable_ = false;
    std::string readFailure_;
};

}  // namespace vorlisk
