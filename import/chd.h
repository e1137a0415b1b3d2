#pragma once
// A CD image compressed into a CHD file of version 5, as `chdman createcd` writes it: the
// user data of the sectors of its first data track, read hunk by hunk when asked for, so that
// finding a game ID decodes a few hunks and never the whole disc.
// Not read (the file is "not open", with the reason): other versions of the format, a file
// that keeps some hunks in a parent file, a CHD of anything but a CD (a DVD, a hard disk), a
// damaged header, map or track list.

#include <cstdint>
#include <string>
#include <vector>

#include "system/readonlyfile.h"

namespace vorlisk {

class ChdDisc {
  public:
    // Opens the file at `path` and reads its header, its map of hunks and its track list.
    explicit ChdDisc(const std::string& path);

    // False when the file cannot be read as a CD image, or a hunk of it was found damaged;
    // FailureReason says why.
    bool IsOpen() const { return failure_.empty(); }
    // Why the file could not be opened, or why the last sector could not be read.
    const std::string& FailureReason() const { return failure_; }
    // The sectors of the first data track.
    uint64_t Sectors() const { return sectors_; }
    // The 2048 bytes of user data of `sector` of the first data track; empty when it lies past
    // the track or its hunk is damaged (the reason is then kept).
    std::string UserData(uint64_t sector);

  private:
    struct MapEntry {
        uint8_t type = 0;     // a codec 0-3, or one of the forms in chd.cpp
        uint32_t length = 0;  // compressed bytes
        uint64_t offset = 0;  // bytes into the file, or another hunk's number
        uint16_t crc = 0;     // of the decoded hunk
    };
    struct CachedHunk {
        uint64_t number = 0;
        std::string bytes;
    };

    bool ReadHeader();
    bool ReadMap();
    bool ReadRawMap();
    bool ReadCompressedMap();
    bool ReadTracks();
    // The decoded bytes of hunk `number`, or nothing (empty) when it cannot be read.
    const std::string* Hunk(uint64_t number);
    std::string DecodeHunk(uint64_t number);
    bool Fail(std::string reason);

    ReadOnlyFile file_;
    std::string failure_;
    uint32_t codecs_[4] = {};
    uint64_t logicalBytes_ = 0;
    uint64_t mapOffset_ = 0;
    uint64_t metadataOffset_ = 0;
    uint32_t hunkBytes_ = 0;
    uint64_t hunks_ = 0;
    std::vector<MapEntry> map_;
    uint64_t firstFrame_ = 0;  // of the first data track's user sectors, from the disc's start
    uint64_t sectors_ = 0;
    uint32_t dataOffset_ = 0;  // of the user data in each frame
    std::vector<CachedHunk> cache_;
    size_t nextCacheSlot_ = 0;
};

}  // namespace vorlisk
