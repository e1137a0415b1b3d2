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

// The content of the regular file at `path` when it holds 1 to `limit` bytes; nothing
// otherwise or when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path, size_t limit);

struct WriteResult {
    bool ok = false;
    std::string reason;  // empty when ok
};

// Writes `content` to a temporary file beside `path`, flushes it to the disk and only then
// puts it in place of `path`. On any failure `path` keeps its old content. A link at `path`
// is followed and kept: the file it leads to gets the content, and is made when it is
// missing; a link that loops fails. Temporary files that earlier saves of `path` left behind
// when they were cut short are removed first (see RemoveLeftoverTempFiles).
WriteResult WriteFileSafely(const std::string& path, const std::string& content);

// Writes as WriteFileSafely does a file that only this program writes, never through a link:
// where `path` holds anything but nothing or a regular file of this user's own (a link, a
// folder, a device, another user's file), it is left alone and nothing is written anywhere.
WriteResult WriteOwnFileSafely(const std::string& path, const std::string& content);

// Removes the temporary files that saves of `path` left beside it when they were cut short
// (the program was killed, the power went). Only files that WriteFileSafely names after
// `path`, that are plain files of this user and that no save is writing are removed; any
// other file is left alone.
void RemoveLeftoverTempFiles(const std::string& path);

}  // namespace vorlisk
