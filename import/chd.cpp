#include "import/chd.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "import/chdcodecs.h"

namespace vorlisk {

namespace {

constexpr size_t kHeaderBytes = 124;
constexpr uint32_t kVersion = 5;
constexpr uint32_t kUserDataBytes = 2048;
// Limits that keep a damaged or hostile file from asking for much memory: a CD of 99
// minutes in hunks of one frame stays well inside them.
constexpr uint64_t kHunkLimit = 1 << 20;
constexpr uint32_t kHunkBytesLimit = 64 * kCdFrameBytes;
constexpr size_t kCachedHunks = 4;
constexpr int kMetadataLimit = 256;        // entries looked at
constexpr uint32_t kMetadataBytes = 1024;  // of one entry

// How a hunk is kept, as its map entry says.
enum HunkType : uint8_t {
    kCodec0 = 0,  // 0-3: compressed by the header's codec of that number
    kStored = 4,  // as it is
    kSelf = 5,    // the same bytes as another hunk of this file
    kParent = 6,  // in the parent file
    // Forms found only in the compressed map.
    kRepeatShort = 7,  // the last type again 2 + (4 bits) times
    kRepeatLong = 8,   // the last type again 2 + 16 + (8 bits) times
    kSelfAgain = 9,    // the same hunk as the last kSelf
    kSelfNext = 10,    // the hunk after the last kSelf
    kParentSame = 11,  // the parent's hunk at this place
    kParentAgain = 12,
    kParentNext = 13,
};

uint64_t Big(std::string_view bytes, size_t at, size_t size) {
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// CRC-16 of CCITT: polynomial 0x1021, starting at 0xFFFF, most significant bit first. It takes
// eight bytes a step: tables[k][i] is what byte i followed by k zero bytes adds.
uint16_t Crc16(std::string_view bytes) {
    using Tables = std::array<std::array<uint16_t, 256>, 8>;
    static const Tables tables = [] {
        Tables entries{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t crc = i << 8;
            for (int bit = 0; bit < 8; ++bit) crc = crc & 0x8000 ? crc << 1 ^ 0x1021 : crc << 1;
            entries[0][i] = static_cast<uint16_t>(crc);
        }
        for (size_t k = 1; k < entries.size(); ++k)
            for (uint32_t i = 0; i < 256; ++i) {
                const uint16_t before = entries[k - 1][i];
                entries[k][i] = static_cast<uint16_t>(before << 8 ^ entries[0][before >> 8]);
            }
        return entries;
    }();
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
    const unsigned char* end = at + bytes.size();
    uint16_t crc = 0xFFFF;
    for (; end - at >= 8; at += 8)
        crc =
            static_cast<uint16_t>(tables[7][(crc >> 8) ^ at[0]] ^ tables[6][(crc & 0xFF) ^ at[1]] ^
                                  tables[5][at[2]] ^ tables[4][at[3]] ^ tables[3][at[4]] ^
                                  tables[2][at[5]] ^ tables[1][at[6]] ^ tables[0][at[7]]);
    for (; at < end; ++at) crc = static_cast<uint16_t>(crc << 8 ^ tables[0][(crc >> 8) ^ *at]);
    return crc;
}

// Bits read from the most significant on; past the end they read as zeros and Overran says so.
class BitReader {
  public:
    explicit BitReader(std::string_view bytes) : bytes_(bytes) {}
    // The next `count` bits (at most 56).
    uint64_t Peek(int count) const {
        if (count == 0) return 0;
        uint64_t window = 0;
        const uint64_t first = position_ / 8;
        for (uint64_t at = first; at < first + 8; ++at)
            window =
                window << 8 | (at < bytes_.size() ? static_cast<unsigned char>(bytes_[at]) : 0);
        return window << position_ % 8 >> (64 - count);
    }
    void Skip(int count) { position_ += count; }
    uint64_t Read(int count) {
        const uint64_t value = Peek(count);
        Skip(count);
        return value;
    }
    bool Overran() const { return position_ > bytes_.size() * 8; }

  private:
    std::string_view bytes_;
    uint64_t position_ = 0;
};

// The Huffman code of the compressed map: 16 symbols of at most 8 bits, whose lengths are
// sent first, run-length coded.
class MapTypeCode {
  public:
    static constexpr int kSymbols = 16;
    static constexpr int kMaxBits = 8;

    // Reads the code lengths; false when they describe no code.
    bool Read(BitReader& bits) {
        std::array<int, kSymbols> lengths{};
        for (int symbol = 0; symbol < kSymbols;) {
            int length = static_cast<int>(bits.Read(4));
            if (length == 1) {
                length = static_cast<int>(bits.Read(4));
                if (length != 1) {  // a run of one length
                    const int run = static_cast<int>(bits.Read(4)) + 3;
                    if (symbol + run > kSymbols) return false;
                    for (int i = 0; i < run; ++i) lengths[symbol++] = length;
                    continue;
                }
            }
            lengths[symbol++] = length;
        }
        if (bits.Overran()) return false;
        // Canonical codes, the longest ones numbered first from 0.
        std::array<uint32_t, 33> starts{};
        for (int length : lengths) {
            if (length > kMaxBits) return false;
            ++starts[length];
        }
        uint32_t start = 0;
        for (int length = 32; length > 0; --length) {
            const uint32_t next = (start + starts[length]) >> 1;
            if (length != 1 && next * 2 != start + starts[length]) return false;
            starts[length] = start;
            start = next;
        }
        lookup_.fill(0);
        for (int symbol = 0; symbol < kSymbols; ++symbol) {
            const int length = lengths[symbol];
            if (length == 0) continue;
            const uint32_t code = starts[length]++;
            const int shift = kMaxBits - length;
            const uint32_t first = code << shift, last = ((code + 1) << shift) - 1;
            if (last >= lookup_.size()) return false;
            for (uint32_t i = first; i <= last; ++i)
                lookup_[i] = static_cast<uint16_t>(symbol << 4 | length);
        }
        return true;
    }
    uint8_t Decode(BitReader& bits) const {
        const uint16_t entry = lookup_[bits.Peek(kMaxBits)];
        bits.Skip(entry & 0x0F);
        return static_cast<uint8_t>(entry >> 4);
    }

  private:
    std::array<uint16_t, 1 << kMaxBits> lookup_{};
};

// The user data's place in a frame of a track of `type`, or -1 for a track of no 2048-byte
// data sectors (audio, mode 2 form 2).
int UserDataOffset(std::string_view type) {
    if (type == "MODE1" || type == "MODE2_FORM1") return 0;
    if (type == "MODE2" || type == "MODE2_FORM_MIX") return 8;  // after the subheader
    if (type == "MODE1_RAW") return 16;                         // after sync and header
    if (type == "MODE2_RAW") return 24;                         // and the subheader
    return -1;
}

// One track of the track list: "TRACK:1 TYPE:MODE2_RAW SUBTYPE:NONE FRAMES:177 PREGAP:0 ...".
struct Track {
    uint64_t number = 0;
    std::string type;
    uint64_t frames = 0;
    uint64_t storedPregap = 0;  // frames of pregap kept before the track's own sectors
};

// The value after "key:" in `text`, or empty.
std::string_view Field(std::string_view text, std::string_view key) {
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find(' ', at), text.size());
        const std::string_view word = text.substr(at, end - at);
        if (word.size() > key.size() && word.substr(0, key.size()) == key &&
            word[key.size()] == ':')
            return word.substr(key.size() + 1);
        at = end + 1;
    }
    return {};
}

bool Number(std::string_view text, uint64_t* value) {
    if (text.empty() || text.size() > 9) return false;
    *value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        *value = *value * 10 + static_cast<uint64_t>(c - '0');
    }
    return true;
}

bool ParseTrack(std::string_view text, Track* track) {
    text = text.substr(0, text.find('\0'));
    track->type = std::string(Field(text, "TYPE"));
    uint64_t pregap = 0;
    if (!Number(Field(text, "TRACK"), &track->number) ||
        !Number(Field(text, "FRAMES"), &track->frames))
        return false;
    // A pregap whose type begins with V is kept in the file, in the track's frames.
    if (Number(Field(text, "PREGAP"), &pregap) && Field(text, "PGTYPE").substr(0, 1) == "V")
        track->storedPregap = pregap;
    return track->storedPregap <= track->frames;
}

}  // namespace

ChdDisc::ChdDisc(const std::string& path) : file_(path) {
    if (!file_.IsOpen()) {
        failure_ = file_.FailureReason();
        return;
    }
    if (ReadHeader() && ReadMap()) ReadTracks();
}

bool ChdDisc::Fail(std::string reason) {
    failure_ = std::move(reason);
    return false;
}

bool ChdDisc::ReadHeader() {
    const std::string header = file_.Read(0, kHeaderBytes);
    if (header.size() < 16 || header.compare(0, 8, "MComprHD") != 0) return Fail("not a CHD file");
    const uint64_t version = Big(header, 12, 4);
    if (version != kVersion) return Fail("CHD version " + std::to_string(version) + " is not read");
    if (header.size() < kHeaderBytes || Big(header, 8, 4) != kHeaderBytes)
        return Fail("damaged CHD header");
    for (size_t i = 0; i < 4; ++i) codecs_[i] = static_cast<uint32_t>(Big(header, 16 + 4 * i, 4));
    logicalBytes_ = Big(header, 32, 8);
    mapOffset_ = Big(header, 40, 8);
    metadataOffset_ = Big(header, 48, 8);
    hunkBytes_ = static_cast<uint32_t>(Big(header, 56, 4));
    const uint64_t unitBytes = Big(header, 60, 4);
    if (header.find_first_not_of('\0', 104) != std::string::npos)
        return Fail("the CHD file needs its parent file");
    if (unitBytes != kCdFrameBytes || hunkBytes_ == 0 || hunkBytes_ % kCdFrameBytes != 0 ||
        hunkBytes_ > kHunkBytesLimit)
        return Fail("not a CD image");
    hunks_ = (logicalBytes_ + hunkBytes_ - 1) / hunkBytes_;
    if (hunks_ == 0 || hunks_ > kHunkLimit) return Fail("damaged CHD header");
    return true;
}

bool ChdDisc::ReadMap() { return codecs_[0] == 0 ? ReadRawMap() : ReadCompressedMap(); }

// A map of an uncompressed file: each hunk's place in the file, in hunks, 0 for a hunk
// never written (zeros).
bool ChdDisc::ReadRawMap() {
    const std::string raw = file_.Read(mapOffset_, static_cast<size_t>(hunks_ * 4));
    if (raw.size() != hunks_ * 4) return Fail("damaged CHD map");
    map_.resize(hunks_);
    for (uint64_t hunk = 0; hunk < hunks_; ++hunk) {
        map_[hunk].type = kStored;
        map_[hunk].offset = Big(raw, hunk * 4, 4) * hunkBytes_;
    }
    return true;
}

bool ChdDisc::ReadCompressedMap() {
    const std::string head = file_.Read(mapOffset_, 16);
    if (head.size() != 16) return Fail("damaged CHD map");
    const uint64_t compressedBytes = Big(head, 0, 4);
    uint64_t offset = Big(head, 4, 6);
    const uint16_t mapCrc = static_cast<uint16_t>(Big(head, 10, 2));
    const int lengthBits = static_cast<unsigned char>(head[12]);
    const int selfBits = static_cast<unsigned char>(head[13]);
    const int parentBits = static_cast<unsigned char>(head[14]);
    if (compressedBytes > file_.Size() || lengthBits > 32 || selfBits > 32 || parentBits > 48)
        return Fail("damaged CHD map");
    const std::string compressed =
        file_.Read(mapOffset_ + 16, static_cast<size_t>(compressedBytes));
    if (compressed.size() != compressedBytes) return Fail("damaged CHD map");
    BitReader bits(compressed);
    MapTypeCode code;
    if (!code.Read(bits)) return Fail("damaged CHD map");

    map_.resize(hunks_);
    uint8_t last = 0;
    uint64_t repeats = 0;
    for (MapEntry& entry : map_) {
        if (repeats > 0) {
            entry.type = last;
            --repeats;
            continue;
        }
        // A repeat stands for this hunk and the count that follows.
        const uint8_t type = code.Decode(bits);
        if (type == kRepeatShort) {
            repeats = 2 + code.Decode(bits);
        } else if (type == kRepeatLong) {
            repeats = 2 + 16 + (code.Decode(bits) << 4);
            repeats += code.Decode(bits);
        } else {
            last = type;
        }
        entry.type = last;
        if (bits.Overran()) return Fail("damaged CHD map");
    }

    uint64_t lastSelf = 0, lastParent = 0;
    const uint64_t unitsPerHunk = hunkBytes_ / kCdFrameBytes;
    for (uint64_t hunk = 0; hunk < hunks_; ++hunk) {
        MapEntry& entry = map_[hunk];
        entry.offset = offset;
        switch (entry.type) {
            case kCodec0:
            case kCodec0 + 1:
            case kCodec0 + 2:
            case kCodec0 + 3:
                entry.length = static_cast<uint32_t>(bits.Read(lengthBits));
                offset += entry.length;
                entry.crc = static_cast<uint16_t>(bits.Read(16));
                break;
            case kStored:
                entry.length = hunkBytes_;
                offset += hunkBytes_;
                entry.crc = static_cast<uint16_t>(bits.Read(16));
                break;
            case kSelf:
                entry.offset = lastSelf = bits.Read(selfBits);
                break;
            case kParent:
                entry.offset = lastParent = bits.Read(parentBits);
                break;
            case kSelfNext:
            case kSelfAgain:
                if (entry.type == kSelfNext) ++lastSelf;
                entry.type = kSelf;
                entry.offset = lastSelf;
                break;
            case kParentSame:
                entry.type = kParent;
                entry.offset = lastParent = hunk * unitsPerHunk;
                break;
            case kParentNext:
            case kParentAgain:
                if (entry.type == kParentNext) lastParent += unitsPerHunk;
                entry.type = kParent;
                entry.offset = lastParent;
                break;
            default:
                return Fail("damaged CHD map");
        }
    }
    if (bits.Overran()) return Fail("damaged CHD map");

    // The check covers the map as 12 bytes a hunk: type, length (24 bits), offset (48), CRC.
    std::string expanded(hunks_ * 12, '\0');
    for (uint64_t hunk = 0; hunk < hunks_; ++hunk) {
        const MapEntry& entry = map_[hunk];
        char* at = expanded.data() + hunk * 12;
        at[0] = static_cast<char>(entry.type);
        for (int i = 0; i < 3; ++i) at[1 + i] = static_cast<char>(entry.length >> (16 - 8 * i));
        for (int i = 0; i < 6; ++i) at[4 + i] = static_cast<char>(entry.offset >> (40 - 8 * i));
        at[10] = static_cast<char>(entry.crc >> 8);
        at[11] = static_cast<char>(entry.crc);
    }
    if (Crc16(expanded) != mapCrc) return Fail("damaged CHD map");
    return true;
}

bool ChdDisc::ReadTracks() {
    std::vector<Track> tracks;
    uint64_t at = metadataOffset_;
    for (int entries = 0; at != 0 && entries < kMetadataLimit; ++entries) {
        const std::string head = file_.Read(at, 16);
        if (head.size() != 16) return Fail("damaged CHD track list");
        const std::string_view tag = std::string_view(head).substr(0, 4);
        const uint32_t length = static_cast<uint32_t>(Big(head, 5, 3));
        if ((tag == "CHT2" || tag == "CHTR") && length <= kMetadataBytes) {
            Track track;
            if (!ParseTrack(file_.Read(at + 16, length), &track))
                return Fail("damaged CHD track list");
            tracks.push_back(track);
        }
        at = Big(head, 8, 8);
    }
    std::sort(tracks.begin(), tracks.end(),
              [](const Track& a, const Track& b) { return a.number < b.number; });
    // Each track's frames are padded to a multiple of 4 in the file.
    uint64_t frame = 0;
    for (const Track& track : tracks) {
        const int offset = UserDataOffset(track.type);
        if (offset >= 0) {
            firstFrame_ = frame + track.storedPregap;
            sectors_ = track.frames - track.storedPregap;
            dataOffset_ = static_cast<uint32_t>(offset);
            if ((firstFrame_ + sectors_) * kCdFrameBytes > logicalBytes_)
                return Fail("damaged CHD track list");
            return true;
        }
        frame += (track.frames + 3) / 4 * 4;
    }
    return Fail(tracks.empty() ? "not a CD image" : "no data track");
}

std::string ChdDisc::UserData(uint64_t sector) {
    if (!IsOpen() || sector >= sectors_) return {};
    const uint64_t byte = (firstFrame_ + sector) * kCdFrameBytes;
    const std::string* hunk = Hunk(byte / hunkBytes_);
    if (!hunk) return {};
    return hunk->substr(byte % hunkBytes_ + dataOffset_, kUserDataBytes);
}

const std::string* ChdDisc::Hunk(uint64_t number) {
    for (const CachedHunk& cached : cache_)
        if (cached.number == number) return &cached.bytes;
    std::string bytes = DecodeHunk(number);
    if (bytes.empty()) return nullptr;
    if (cache_.size() < kCachedHunks) {
        cache_.push_back({number, std::move(bytes)});
        return &cache_.back().bytes;
    }
    CachedHunk& slot = cache_[nextCacheSlot_];
    nextCacheSlot_ = (nextCacheSlot_ + 1) % kCachedHunks;
    slot = {number, std::move(bytes)};
    return &slot.bytes;
}

std::string ChdDisc::DecodeHunk(uint64_t number) {
    // A copy of another hunk names one before it, so following copies ends.
    while (number < hunks_ && map_[number].type == kSelf && map_[number].offset < number)
        number = map_[number].offset;
    if (number >= hunks_) return {};
    const MapEntry& entry = map_[number];
    const bool raw = codecs_[0] == 0;
    if (entry.type == kParent || (raw && entry.offset == 0)) {
        if (raw) return std::string(hunkBytes_, '\0');  // never written
        Fail("the CHD file needs its parent file");
        return {};
    }
    std::string bytes;
    if (entry.type == kStored) {
        bytes = file_.Read(entry.offset, hunkBytes_);
        if (bytes.size() != hunkBytes_) bytes.clear();
    } else if (entry.type < kStored && entry.length <= 2 * hunkBytes_) {
        const std::string compressed = file_.Read(entry.offset, entry.length);
        if (compressed.size() == entry.length)
            bytes = DecodeCdHunk(codecs_[entry.type], compressed, hunkBytes_ / kCdFrameBytes);
    }
    if (bytes.empty() || (!raw && Crc16(bytes) != entry.crc)) {
        Fail("damaged CHD hunk " + std::to_string(number));
        return {};
    }
    return bytes;
}

}  // namespace vorlisk
