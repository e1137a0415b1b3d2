#pragma once
// Plain file services shared by the whole program. Paths are bytes in the system's code page.

#include <cstdio>
#include <string>

namespace vorlisk {

// True when a file exists at `path` and is longer than 0 bytes. Never fails: an empty,
// malformed or unreachable path, a folder or a missing file all answer false.
bool FileExists(const std::string& path);

// True when `path` names an existing file or folder.
bool PathExists(const std::string& path);

// Opens the file at `path` for reading in binary mode, but only a regular file: a folder, a
// FIFO or a device is refused (so reading one can never hang). Null on failure, with `reason`
// saying why.
std::FILE* OpenRegularFile(const std::string& path, std::string& reason);

struct WriteResult {
    bool ok = false;
    std::string reason;  // empty when ok
};

// Writes `content` to a temporary file beside `path`, flushes it to the disk and only then
// puts it in place of `path`. On any failure `path` keeps its old content.
WriteResult WriteFileSafely(const std::string& path, const std::string& content);

}  // namespace vorlisk
