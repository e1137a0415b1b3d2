#include "import/chdcodecs.h"

#include <FLAC/stream_decoder.h>
#include <lzma.h>
#include <zlib.h>
#include <zstd.h>

#include <algorithm>
#include <cstring>

namespace vorlisk {

namespace {

constexpr uint32_t kSubcodeBytes = kCdFrameBytes - kCdSectorBytes;

// Raw deflate data (no zlib header) that fills exactly `size` bytes at `out`.
bool Inflate(std::string_view in, char* out, size_t size) {
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    stream.avail_in = static_cast<uInt>(in.size());
    stream.next_out = reinterpret_cast<Bytef*>(out);
    stream.avail_out = static_cast<uInt>(size);
    inflate(&stream, Z_FINISH);
    const bool filled = stream.total_out == size;
    inflateEnd(&stream);
    return filled;
}

// The dictionary size that the writer's LZMA encoder chose at level 9 for data of `size`
// bytes: the smallest 2 << i or 3 << i (i from 11) that holds the data.
uint32_t LzmaDictionarySize(uint32_t size) {
    for (uint32_t i = 11; i <= 30; ++i) {
        if (size <= (2u << i)) return 2u << i;
        if (size <= (3u << i)) return 3u << i;
    }
    return 1u << 26;
}

// Raw LZMA1 data with neither header nor end mark, coded with the encoder's defaults (3
// literal context bits, no literal position bits, 2 position bits).
bool UnLzma(std::string_view in, char* out, size_t size) {
    lzma_options_lzma options{};
    options.dict_size = LzmaDictionarySize(static_cast<uint32_t>(size));
    options.lc = 3;
    options.lp = 0;
    options.pb = 2;
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_raw_decoder(&stream, filters) != LZMA_OK) return false;
    stream.next_in = reinterpret_cast<const uint8_t*>(in.data());
    stream.avail_in = in.size();
    stream.next_out = reinterpret_cast<uint8_t*>(out);
    stream.avail_out = size;
    const lzma_ret result = lzma_code(&stream, LZMA_RUN);
    const bool filled =
        (result == LZMA_OK || result == LZMA_STREAM_END) && stream.total_out == size;
    lzma_end(&stream);
    return filled;
}

bool UnZstd(std::string_view in, char* out, size_t size) {
    return ZSTD_decompress(out, size, in.data(), in.size()) == size;
}

// ---- FLAC: the sectors' bytes as 16-bit stereo samples, big-endian ----

// The writer leaves out the stream's header: this one stands for it (44.1 kHz, 2 channels,
// 16 bits, blocks of `blockSize` samples).
std::string FlacStreamHeader(uint32_t blockSize) {
    std::string header("fLaC\x80\0\0\x22", 8);
    header.append(34, '\0');
    for (size_t at : {8, 10}) {
        header[at] = static_cast<char>(blockSize >> 8);
        header[at + 1] = static_cast<char>(blockSize & 0xFF);
    }
    constexpr uint32_t kRate = 44100;
    header[18] = static_cast<char>(kRate >> 12);
    header[19] = static_cast<char>(kRate >> 4 & 0xFF);
    header[20] = static_cast<char>((kRate & 0x0F) << 4 | (2 - 1) << 1);
    header[21] = static_cast<char>(0xF0);  // 16 bits a sample
    return header;
}

struct FlacJob {
    std::string header;
    std::string_view data;
    uint64_t handed = 0;  // bytes of header and data given to the decoder
    char* out = nullptr;
    size_t samples = 0;  // stereo samples wanted
    size_t written = 0;
    bool failed = false;
};

FLAC__StreamDecoderReadStatus FlacRead(const FLAC__StreamDecoder*, FLAC__byte buffer[],
                                       size_t* bytes, void* context) {
    FlacJob& job = *static_cast<FlacJob*>(context);
    size_t given = 0;
    while (given < *bytes) {
        const bool inHeader = job.handed < job.header.size();
        const std::string_view from = inHeader ? std::string_view(job.header) : job.data;
        const size_t at = inHeader ? job.handed : job.handed - job.header.size();
        if (at >= from.size()) break;
        const size_t count = std::min(*bytes - given, from.size() - at);
        std::memcpy(buffer + given, from.data() + at, count);
        given += count;
        job.handed += count;
    }
    *bytes = given;
    return given == 0 ? FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM
                      : FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
}

FLAC__StreamDecoderTellStatus FlacTell(const FLAC__StreamDecoder*, FLAC__uint64* offset,
                                       void* context) {
    *offset = static_cast<FlacJob*>(context)->handed;
    return FLAC__STREAM_DECODER_TELL_STATUS_OK;
}

FLAC__StreamDecoderWriteStatus FlacWrite(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                         const FLAC__int32* const buffer[], void* context) {
    FlacJob& job = *static_cast<FlacJob*>(context);
    const uint32_t count = frame->header.blocksize;
    if (frame->header.channels != 2 || frame->header.bits_per_sample != 16 ||
        count > job.samples - job.written)
        return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
    for (uint32_t i = 0; i < count; ++i) {
        char* sample = job.out + (job.written + i) * 4;
        for (int channel = 0; channel < 2; ++channel) {
            sample[2 * channel] = static_cast<char>(buffer[channel][i] >> 8 & 0xFF);
            sample[2 * channel + 1] = static_cast<char>(buffer[channel][i] & 0xFF);
        }
    }
    job.written += count;
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void FlacError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* context) {
    static_cast<FlacJob*>(context)->failed = true;
}

// FLAC data that fills `size` bytes at `out`, its bytes in `*used`; false when it is
// damaged.
bool UnFlac(std::string_view in, char* out, size_t size, size_t* used) {
    // The writer's block: a quarter of the bytes, halved until no longer than a sector.
    uint32_t blockSize = static_cast<uint32_t>(size / 4);
    while (blockSize > kCdSectorBytes) blockSize /= 2;
    FlacJob job{FlacStreamHeader(blockSize), in, 0, out, size / 4};
    FLAC__StreamDecoder* decoder = FLAC__stream_decoder_new();
    if (!decoder) return false;
    bool done = FLAC__stream_decoder_init_stream(decoder, FlacRead, nullptr, FlacTell, nullptr,
                                                 nullptr, FlacWrite, nullptr, FlacError,
                                                 &job) == FLAC__STREAM_DECODER_INIT_STATUS_OK &&
                FLAC__stream_decoder_process_until_end_of_metadata(decoder);
    while (done && !job.failed && job.written < job.samples &&
           FLAC__stream_decoder_get_state(decoder) != FLAC__STREAM_DECODER_END_OF_STREAM)
        done = FLAC__stream_decoder_process_single(decoder);
    FLAC__uint64 position = 0;
    done = done && !job.failed && job.written == job.samples &&
           FLAC__stream_decoder_get_decode_position(decoder, &position) &&
           position >= job.header.size() && position - job.header.size() <= in.size();
    FLAC__stream_decoder_delete(decoder);
    *used = done ? static_cast<size_t>(position - job.header.size()) : 0;
    return done;
}

}  // namespace

std::string DecodeCdHunk(uint32_t codec, std::string_view compressed, uint32_t frames) {
    const size_t sectorBytes = size_t{frames} * kCdSectorBytes;
    const size_t subcodeBytes = size_t{frames} * kSubcodeBytes;
    std::string streams(sectorBytes + subcodeBytes, '\0');
    bool decoded = false;
    if (codec == kCodecCdFlac) {
        size_t used = 0;
        decoded = UnFlac(compressed, streams.data(), sectorBytes, &used) &&
                  Inflate(compressed.substr(used), streams.data() + sectorBytes, subcodeBytes);
    } else if (codec == kCodecCdLzma || codec == kCodecCdDeflate || codec == kCodecCdZstd) {
        // A bit a frame for the rebuilt sectors, then the sector stream's length.
        const size_t bitmapBytes = (frames + 7) / 8;
        const size_t lengthBytes = frames * kCdFrameBytes < 65536 ? 2 : 3;
        if (compressed.size() < bitmapBytes + lengthBytes) return {};
        size_t length = 0;
        for (size_t i = 0; i < lengthBytes; ++i)
            length = length << 8 | static_cast<unsigned char>(compressed[bitmapBytes + i]);
        const std::string_view rest = compressed.substr(bitmapBytes + lengthBytes);
        if (length > rest.size()) return {};
        const std::string_view sectors = rest.substr(0, length), subcodes = rest.substr(length);
        char* out = streams.data();
        if (codec == kCodecCdLzma)
            decoded = UnLzma(sectors, out, sectorBytes) &&
                      Inflate(subcodes, out + sectorBytes, subcodeBytes);
        else if (codec == kCodecCdDeflate)
            decoded = Inflate(sectors, out, sectorBytes) &&
                      Inflate(subcodes, out + sectorBytes, subcodeBytes);
        else
            decoded = UnZstd(sectors, out, sectorBytes) &&
                      UnZstd(subcodes, out + sectorBytes, subcodeBytes);
    }
    if (!decoded) return {};
    std::string hunk(size_t{frames} * kCdFrameBytes, '\0');
    for (size_t frame = 0; frame < frames; ++frame) {
        hunk.replace(frame * kCdFrameBytes, kCdSectorBytes, streams, frame * kCdSectorBytes,
                     kCdSectorBytes);
        hunk.replace(frame * kCdFrameBytes + kCdSectorBytes, kSubcodeBytes, streams,
                     sectorBytes + frame * kSubcodeBytes, kSubcodeBytes);
    }
    return hunk;
}

}  // namespace vorlisk
