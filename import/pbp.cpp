#include "import/pbp.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string_view>

#include "system/asciicase.h"
#include "system/readonlyfile.h"

namespace vorlisk {

namespace {

constexpr size_t kHeaderSize = 40;  // marker, version, eight offsets
constexpr size_t kParts = 8;
constexpr size_t kDataPsar = 7;  // the part that holds the disc

uint32_t Little(std::string_view bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The text at `at` up to its NUL (or to `end`); nothing when it begins past `end`.
std::string_view TextAt(std::string_view bytes, uint64_t at, uint64_t end) {
    end = std::min<uint64_t>(end, bytes.size());
    if (at > end) return {};
    std::string_view text = bytes.substr(static_cast<size_t>(at), static_cast<size_t>(end - at));
    return text.substr(0, text.find('\0'));
}

// The value of the text entry `key` of the table PARAM.SFO in `sfo`, or empty.
std::string_view SfoText(std::string_view sfo, std::string_view key) {
    constexpr size_t kSfoHeader = 20, kEntry = 16;
    constexpr uint32_t kNumber = 0x0404;  // the one format of an entry that is no text
    if (sfo.size() < kSfoHeader || sfo.substr(0, 4) != std::string_view("\0PSF", 4)) return {};
    const uint64_t keys = Little(sfo, 8, 4), values = Little(sfo, 12, 4);
    const uint64_t count = Little(sfo, 16, 4);
    for (uint64_t i = 0; i < count && kSfoHeader + (i + 1) * kEntry <= sfo.size(); ++i) {
        const size_t entry = static_cast<size_t>(kSfoHeader + i * kEntry);
        if (TextAt(sfo, keys + Little(sfo, entry, 2), sfo.size()) != key) continue;
        if (Little(sfo, entry + 2, 2) == kNumber) return {};
        const uint64_t at = values + Little(sfo, entry + 12, 4);
        return TextAt(sfo, at, at + Little(sfo, entry + 4, 4));
    }
    return {};
}

// The game ID of a DISC_ID such as "SLUS00594"; empty unless it is letters and digits.
std::string GameIdOfDiscId(std::string_view discId) {
    const bool plain = std::all_of(discId.begin(), discId.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c));
    });
    if (discId.empty() || !plain) return {};
    // As GameIdFromBootLine shapes it: a piece that runs past the end is shorter or empty.
    const std::string_view rest = discId.substr(std::min<size_t>(discId.size(), 4));
    return UpperAsciiText(std::string(discId.substr(0, 4)) + "-" + std::string(rest.substr(0, 5)));
}

}  // namespace

ImageReading PbpGameId(const ReadOnlyFile& file) {
    const std::string header = file.Read(0, kHeaderSize);
    if (header.size() < kHeaderSize || header.compare(0, 4, std::string_view("\0PBP", 4)) != 0)
        return {{}, true};
    uint64_t offsets[kParts];
    for (size_t i = 0; i < kParts; ++i) {
        offsets[i] = Little(header, 8 + 4 * i, 4);
        const uint64_t previous = i == 0 ? kHeaderSize : offsets[i - 1];
        if (offsets[i] < previous || offsets[i] > file.Size()) return {{}, true};
    }
    if (offsets[kDataPsar] == file.Size()) return {{}, true};  // cut off before the disc
    const std::string psar = file.Read(offsets[kDataPsar], 16);
    if (psar.rfind("PSISOIMG0000", 0) != 0 && psar != "PSTITLEIMG000000") return {};
    const uint64_t sfoSize = std::min<uint64_t>(offsets[1] - offsets[0], kParamSfoLimit);
    const std::string sfo = file.Read(offsets[0], static_cast<size_t>(sfoSize));
    return {GameIdOfDiscId(SfoText(sfo, "DISC_ID"))};
}

}  // namespace vorlisk
