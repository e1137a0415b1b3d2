#include "import/imagegameid.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>

#include "import/chd.h"
#include "import/discid.h"
#include "import/pbp.h"
#include "import/playlist.h"
#include "system/asciicase.h"
#include "system/readonlyfile.h"

namespace vorlisk {

namespace {

constexpr uint64_t kSectorData = 2048;  // the user data of one sector
constexpr uint64_t kRawSector = 2352;   // a whole sector of a raw track
constexpr uint64_t kDescriptorSector = 16;
constexpr size_t kSheetLimit = 64 * 1024;  // the most of a cue sheet that is read

// ---- sheets: which file holds the data track ----

std::string NameOf(const std::string& path) { return path.substr(FolderOf(path).size()); }

std::string_view SkipBlanks(std::string_view text) {
    size_t start = text.find_first_not_of(" \t");
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

// The first word of `text` (after blanks) and the rest after it.
std::string_view Word(std::string_view text, std::string_view* rest = nullptr) {
    text = SkipBlanks(text);
    size_t end = std::min(text.find_first_of(" \t"), text.size());
    if (rest) *rest = text.substr(end);
    return text.substr(0, end);
}

// The file name of a FILE line after the keyword: in double quotes, or else the words before
// the file type (a name with blanks may stand unquoted).
std::string FileNameOfLine(std::string_view rest) {
    rest = SkipBlanks(rest);
    if (!rest.empty() && rest.front() == '"') {
        rest.remove_prefix(1);
        return std::string(rest.substr(0, rest.find('"')));
    }
    rest = rest.substr(0, rest.find_last_not_of(" \t") + 1);
    size_t typeStart = rest.find_last_of(" \t");
    if (typeStart != std::string_view::npos) rest = rest.substr(0, typeStart);
    return TrimBlanks(rest);
}

// The data file of the first data track of the cue sheet at `sheetPath`, or empty.
std::string CueDataFile(const std::string& sheetPath, const FolderListing* listing) {
    std::string text = ReadOnlyFile(sheetPath).Read(0, kSheetLimit);
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);  // a UTF-8 mark
    std::string named;  // the data file of the tracks that follow
    for (size_t start = 0; start < text.size();) {
        size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        std::string_view rest;
        std::string_view keyword = Word(std::string_view(text).substr(start, end - start), &rest);
        if (EqualIgnoringCase(keyword, "FILE")) {
            named = FileNameOfLine(rest);
        } else if (EqualIgnoringCase(keyword, "TRACK")) {
            Word(rest, &rest);  // the track's number
            if (!EqualIgnoringCase(Word(rest), "AUDIO"))
                return FindNamedFile(FolderOf(sheetPath), named, listing);
        }
        start = end + 1;
    }
    return {};
}

// The file that holds the image's data track, or empty when there is none to read.
std::string DataFileOf(const std::string& imagePath, const FolderListing* listing) {
    if (EndsWithIgnoringCase(imagePath, ".cue")) return CueDataFile(imagePath, listing);
    if (EndsWithIgnoringCase(imagePath, ".ccd")) {
        const std::string name = NameOf(imagePath);
        return FindFileIgnoringCase(FolderOf(imagePath), name.substr(0, name.size() - 4) + ".img",
                                    listing);
    }
    // A BlindWrite image keeps its tracks in files of a format of its own: not read.
    if (EndsWithIgnoringCase(imagePath, ".bwt")) return {};
    return imagePath;
}

// ---- the ISO 9660 file system of an image ----

uint32_t Little32(std::string_view bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 4; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

uint32_t Little16(std::string_view bytes, size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

struct Extent {
    uint64_t sector = 0;
    uint64_t length = 0;  // bytes
};

// The sectors of a disc's data track, as far as the ID is concerned: their user data.
class Sectors {
  public:
    virtual ~Sectors() = default;
    // True when the user data of the first `length` bytes from `sector` on lies inside the
    // track.
    virtual bool Holds(uint64_t sector, uint64_t length) const = 0;
    // The user data of one sector (less at the end of an image file).
    virtual std::string Read(uint64_t sector) const = 0;
};

// The sectors of an image file: `size` bytes each, their user data from `offset` in each.
class FileSectors : public Sectors {
  public:
    FileSectors(const ReadOnlyFile& file, uint64_t size, uint64_t offset)
        : file_(file), size_(size), offset_(offset) {}

    bool Holds(uint64_t sector, uint64_t length) const override {
        if (length == 0) return true;
        const uint64_t last = sector + (length - 1) / kSectorData;  // 32-bit fields: no overflow
        return last * size_ + offset_ + (length - 1) % kSectorData < file_.Size();
    }
    std::string Read(uint64_t sector) const override {
        return file_.Read(sector * size_ + offset_, kSectorData);
    }

  private:
    const ReadOnlyFile& file_;
    uint64_t size_;
    uint64_t offset_;
};

// The sectors of the first data track of a CD image in a CHD file.
class ChdSectors : public Sectors {
  public:
    explicit ChdSectors(ChdDisc& disc) : disc_(disc) {}

    bool Holds(uint64_t sector, uint64_t length) const override {
        return length == 0 || sector + (length - 1) / kSectorData < disc_.Sectors();
    }
    std::string Read(uint64_t sector) const override { return disc_.UserData(sector); }

  private:
    ChdDisc& disc_;
};

constexpr std::string_view kStandardId = "CD001";
constexpr std::string_view kSync("\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\0", 12);

bool HasStandardId(std::string_view descriptor) {
    return descriptor.size() >= kSectorData && descriptor.substr(1, 5) == kStandardId;
}

// The sector layout of the image, found by looking at sector 16 in both layouts, and that
// sector's user data (the volume descriptor).
std::optional<FileSectors> FindLayout(const ReadOnlyFile& file, std::string& descriptor) {
    // One read covers sector 16 of either layout.
    const uint64_t from = kDescriptorSector * kSectorData;
    const std::string span = file.Read(from, (kDescriptorSector + 1) * kRawSector - from);
    const std::string_view view(span);
    if (HasStandardId(view.substr(0, kSectorData))) {
        descriptor = span.substr(0, kSectorData);
        return FileSectors(file, kSectorData, 0);
    }
    const size_t rawAt = static_cast<size_t>(kDescriptorSector * kRawSector - from);
    const std::string_view raw = view.substr(std::min(span.size(), rawAt));
    if (raw.size() < kRawSector || raw.substr(0, kSync.size()) != kSync) return std::nullopt;
    uint64_t offset = 0;
    if (raw[15] == 1) {
        offset = 16;  // mode 1: sync, header, data
    } else if (raw[15] == 2 && (raw[18] & 0x20) == 0) {
        offset = 24;  // mode 2 form 1: sync, header, subheader, data
    } else {
        return std::nullopt;
    }
    if (!HasStandardId(raw.substr(offset, kSectorData))) return std::nullopt;
    descriptor = std::string(raw.substr(offset, kSectorData));
    return FileSectors(file, kRawSector, offset);
}

// The root folder of the primary volume descriptor.
std::optional<Extent> RootFolder(std::string_view descriptor) {
    constexpr size_t kRootRecord = 156;
    if (descriptor[0] != 1 || Little16(descriptor, 128) != kSectorData) return std::nullopt;
    return Extent{Little32(descriptor, kRootRecord + 2), Little32(descriptor, kRootRecord + 10)};
}

// An ISO 9660 name such as "SYSTEM.CNF;1" without its version, compared ignoring case.
bool IsSystemCnf(std::string_view name) {
    return EqualIgnoringCase(name.substr(0, name.find(';')), "SYSTEM.CNF");
}

// The extent of the file SYSTEM.CNF in the root folder. Nothing when it is absent or a
// record of the folder is damaged.
std::optional<Extent> FindSystemCnf(const Sectors& sectors, Extent root) {
    const uint64_t searched = std::min<uint64_t>(root.length, kRootSectorLimit * kSectorData);
    if (!sectors.Holds(root.sector, searched)) return std::nullopt;
    for (uint64_t done = 0; done < searched; done += kSectorData) {
        const std::string sector = sectors.Read(root.sector + done / kSectorData);
        const size_t end = static_cast<size_t>(std::min<uint64_t>(searched - done, sector.size()));
        size_t at = 0;
        // Records never cross a sector; a 0 where a record's length would be ends the sector.
        while (at < end && sector[at] != 0) {
            const size_t length = static_cast<unsigned char>(sector[at]);
            constexpr size_t kNameAt = 33;
            if (length < kNameAt + 1 || at + length > end) return std::nullopt;
            const size_t nameLength = static_cast<unsigned char>(sector[at + 32]);
            if (kNameAt + nameLength > length) return std::nullopt;
            const bool folder = (sector[at + 25] & 0x02) != 0;
            if (!folder && IsSystemCnf(std::string_view(sector).substr(at + kNameAt, nameLength)))
                return Extent{Little32(sector, at + 2), Little32(sector, at + 10)};
            at += length;
        }
    }
    return std::nullopt;
}

// The first line of the file at `extent`, read sector by sector up to the first line end.
std::string BootLineAt(const Sectors& sectors, Extent extent) {
    const uint64_t wanted = std::min<uint64_t>(extent.length, kBootLineLimit);
    if (wanted == 0 || !sectors.Holds(extent.sector, wanted)) return {};
    std::string head;
    for (uint64_t sector = extent.sector; head.size() < wanted; ++sector) {
        std::string data = sectors.Read(sector);
        if (data.size() > wanted - head.size()) data.resize(wanted - head.size());
        head += data;
        if (data.empty() || data.find_first_of("\r\n") != std::string::npos) break;
    }
    return FirstLineOf(std::move(head));
}

// The game ID of the disc whose volume descriptor is `descriptor`.
std::string GameIdOf(const Sectors& sectors, std::string_view descriptor) {
    std::optional<Extent> root = RootFolder(descriptor);
    if (!root) return {};
    std::optional<Extent> systemCnf = FindSystemCnf(sectors, *root);
    if (!systemCnf) return {};
    return GameIdFromBootLine(BootLineAt(sectors, *systemCnf));
}

// ---- images that name their disc otherwise ----

ImageReading ChdGameId(const std::string& path) {
    ChdDisc disc(path);
    const ChdSectors sectors(disc);
    const std::string descriptor = sectors.Read(kDescriptorSector);
    std::string id = HasStandardId(descriptor) ? GameIdOf(sectors, descriptor) : std::string();
    // Not open at the end: a damaged file or one of a form not read, not a disc without an ID.
    return {std::move(id), !disc.IsOpen()};
}

std::string PlaylistGameId(const std::string& playlistPath, const FolderListing* listing) {
    const std::vector<std::string> discs = PlaylistDiscs(playlistPath, listing);
    // Playlists are never followed, so that none can lead round in a circle.
    if (std::any_of(discs.begin(), discs.end(),
                    [](const std::string& disc) { return IsPlaylistName(disc); }))
        return {};
    for (const std::string& disc : discs)
        if (std::string id = ImageGameId(disc, listing); !id.empty()) return id;
    return {};
}

}  // namespace

std::string ImageGameId(const std::string& imagePath, const FolderListing* listing) {
    return ReadImageGameId(imagePath, listing).id;
}

ImageReading ReadImageGameId(const std::string& imagePath, const FolderListing* listing) {
    if (IsPlaylistName(imagePath)) return {PlaylistGameId(imagePath, listing)};
    if (EndsWithIgnoringCase(imagePath, ".pbp")) return PbpGameId(ReadOnlyFile(imagePath));
    if (EndsWithIgnoringCase(imagePath, ".chd")) return ChdGameId(imagePath);
    ReadOnlyFile file(DataFileOf(imagePath, listing));
    if (!file.IsOpen()) return {};
    std::string descriptor;
    std::optional<FileSectors> sectors = FindLayout(file, descriptor);
    if (!sectors) return {};
    return {GameIdOf(*sectors, descriptor)};
}

}  // namespace vorlisk
