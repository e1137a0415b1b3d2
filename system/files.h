#pragma once
// Plain file services shared by the whole program. Paths are bytes in the system's code page.

#include <cstddef>
#include <optional>
#include <string>

namespace vorlisk {

// True when a file exists at `path` and is longer than 0 bytes. Never fails: an empty,
// malformed or unreachable path, a folder or a missing file all answer false.
bool FileExists(const std::string& path);

// True when `path` names an existing file or folder.
bool PathExists(const std::string& path);

// The content of the file at `path` when FileExists says it is there and it holds at most
// `limit` bytes; nothing otherwise or when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path, size_t limit);

struct WriteResult {
    bool ok = false;
    std::string reason;  // empty when ok
};

// Writes `content` to a temporary file beside `path`, flushes it to the disk and only then
// puts it in place of `path`. On any failure `path` keeps its old content.
WriteResult WriteFileSafely(const std::string& path, const std::string& content);

}  // namespace vorlisk
