#pragma once
// The program's log in the data folder, vorlisk.log: what Play started and how it ended, and
// what the session's end could not save. Short by design: the oldest entries make room.

#include <cstddef>
#include <string>

namespace vorlisk {

// The most the log holds, in bytes.
inline constexpr size_t kMostLogBytes = 64 * 1024;

// Appends `entry` to the log at `path` as one entry headed by the local date and time; each
// line of `entry` after the first is indented. Entries older than what fits in kMostLogBytes
// are dropped whole. A log that cannot be written is passed over, and so is anything but a
// regular file of the user's own at `path`: a link there is never followed.
void AppendToLog(const std::string& path, const std::string& entry);

}  // namespace vorlisk
