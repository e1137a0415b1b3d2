#pragma once
// A plain file opened for reading pieces of it at given offsets: a few sectors of a large file
// (a disc image), or a whole text file chunk by chunk. Every file the program reads is opened
// this way, so that no folder, device or named pipe is ever opened for reading.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vorlisk {

class ReadOnlyFile {
  public:
    // Opens the plain file at `path`. Anything else (a missing file, a folder, a device, a
    // named pipe) is left unopened, and opening never waits for another program.
    explicit ReadOnlyFile(const std::string& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool IsOpen() const { return handle_ != kClosed; }
    // The file's length when it was opened; 0 when it is not open.
    uint64_t Size() const { return size_; }
    // Up to `length` bytes from `offset`: fewer at the end of the file, none past it, and
    // fewer than the file holds when reading fails.
    std::string Read(uint64_t offset, size_t length) const;
    // Why the file could not be opened, or why the last read failed.
    const std::string& FailureReason() const { return reason_; }

  private:
    // One read of at most `length` bytes from `offset` into `buffer`: the bytes read, 0 at the
    // end of the file or on a failure.
    size_t ReadSome(uint64_t offset, char* buffer, size_t length) const;

    static constexpr intptr_t kClosed = -1;
    intptr_t handle_ = kClosed;  // the platform's handle of the open file
    uint64_t size_ = 0;
    mutable std::string reason_;
};

}  // namespace vorlisk
