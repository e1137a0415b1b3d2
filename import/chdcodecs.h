#pragma once
// The decoders of the compressed hunks of a CD image in a CHD file. A hunk holds whole CD
// frames of 2448 bytes: 2352 bytes of sector, then 96 of subcode. The CD codecs keep the
// sectors of all frames in one stream and their subcodes in a second stream after it.

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlisk {

inline constexpr uint32_t kCdFrameBytes = 2448;
inline constexpr uint32_t kCdSectorBytes = 2352;

// The codecs' tags as the file's header records them: "cdlz", "cdzl", "cdfl", "cdzs".
inline constexpr uint32_t kCodecCdLzma = 0x63646C7A;
inline constexpr uint32_t kCodecCdDeflate = 0x63647A6C;
inline constexpr uint32_t kCodecCdFlac = 0x6364666C;
inline constexpr uint32_t kCodecCdZstd = 0x63647A73;

// The `frames` frames of one hunk that `codec` compressed into `compressed`, or empty for
// another codec or damaged data. Sectors whose sync pattern and error codes the writer left
// out (to rebuild them on reading) keep zeros there: their user data is stored whole.
std::string DecodeCdHunk(uint32_t codec, std::string_view compressed, uint32_t frames);

}  // namespace vorlisk
