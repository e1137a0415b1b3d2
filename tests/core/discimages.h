#pragma once
// Disc images built for tests: a small ISO 9660 file system written in code, its sectors
// turned into raw 2352-byte tracks, and the cue and CloneCD sheets that go with them.
// Standard C++ only: the Windows build runs these tests too. On POSIX systems also an image
// built with genisoimage (or xorriso), and whether images can be mounted with FUSE here.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "system/processes.h"
#endif

#include "tests/core/tempfolder.h"

namespace vorlisk::testing {

// A file or folder in the root folder of a built file system.
struct DiscFile {
    std::string name;  // as recorded, such as "SYSTEM.CNF;1"
    std::string content;
    bool folder = false;  // a folder, whose extent is the root folder itself
};

// Where the parts of a built file system lie, for tests that damage them.
struct IsoLayout {
    static constexpr size_t kSector = 2048;
    static constexpr size_t kDescriptor = 16 * kSector;           // primary volume descriptor
    static constexpr size_t kRootRecord = kDescriptor + 156;      // its record of the root
    static constexpr uint32_t kRootSector = 20;                   // the root folder
    static constexpr size_t kRootFolder = kRootSector * kSector;  // the root folder's bytes
    std::vector<size_t> records;  // where each file's record lies, in the order given
};

inline void PutLittle(std::string& bytes, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}
inline void PutBig(std::string& bytes, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * (size - 1 - i)) & 0xFF);
}
// An ISO 9660 number recorded both ways: little-endian, then big-endian.
inline void PutBoth(std::string& bytes, size_t at, uint32_t value, int size) {
    PutLittle(bytes, at, value, size);
    PutBig(bytes, at + size, value, size);
}

inline std::string DirectoryRecord(uint32_t sector, uint32_t length, bool folder,
                                   const std::string& name) {
    std::string record(33 + name.size() + (name.size() % 2 == 0 ? 1 : 0), '\0');
    record[0] = static_cast<char>(record.size());
    PutBoth(record, 2, sector, 4);
    PutBoth(record, 10, length, 4);
    record[18] = 126;  // recorded in 2026
    record[19] = record[20] = 1;
    record[25] = folder ? 2 : 0;
    PutBoth(record, 28, 1, 2);  // volume 1
    record[32] = static_cast<char>(name.size());
    record.replace(33, name.size(), name);
    return record;
}

// An ISO 9660 file system of 2048-byte sectors with `files` in its root folder: sectors 0 to
// 15 empty, 16 the primary volume descriptor, 17 the end of the descriptors, 18 and 19 the
// path tables, 20 the root folder, the files' contents from 21 on.
inline std::string IsoImage(const std::vector<DiscFile>& files, IsoLayout* layout = nullptr) {
    constexpr size_t kSector = IsoLayout::kSector;
    std::string root =
        DirectoryRecord(IsoLayout::kRootSector, kSector, true, std::string(1, '\0')) +
        DirectoryRecord(IsoLayout::kRootSector, kSector, true, std::string(1, '\1'));
    std::string contents;
    uint32_t next = IsoLayout::kRootSector + 1;
    for (const DiscFile& file : files) {
        if (layout) layout->records.push_back(IsoLayout::kRootFolder + root.size());
        if (file.folder) {
            root += DirectoryRecord(IsoLayout::kRootSector, kSector, true, file.name);
            continue;
        }
        root += DirectoryRecord(next, static_cast<uint32_t>(file.content.size()), false, file.name);
        size_t sectors = file.content.empty() ? 1 : (file.content.size() + kSector - 1) / kSector;
        contents += file.content + std::string(sectors * kSector - file.content.size(), '\0');
        next += static_cast<uint32_t>(sectors);
    }
    root.resize(kSector, '\0');

    std::string descriptor(kSector, ' ');
    descriptor.replace(0, 8, std::string("\1CD001\1\0", 8));
    descriptor.replace(40, 9, "PSX_TEST ");
    std::fill(descriptor.begin() + 72, descriptor.begin() + 190, '\0');
    PutBoth(descriptor, 80, next, 4);  // sectors in the volume
    PutBoth(descriptor, 120, 1, 2);    // volumes in the set
    PutBoth(descriptor, 124, 1, 2);    // this volume
    PutBoth(descriptor, 128, kSector, 2);
    PutBoth(descriptor, 132, 10, 4);  // path table size
    PutLittle(descriptor, 140, 18, 4);
    PutBig(descriptor, 148, 19, 4);
    descriptor.replace(
        156, 34, DirectoryRecord(IsoLayout::kRootSector, kSector, true, std::string(1, '\0')));
    for (size_t date : {813, 830, 847, 864})
        descriptor.replace(date, 17, std::string(16, '0') + '\0');
    descriptor.replace(881, kSector - 881, kSector - 881, '\0');
    descriptor[881] = 1;

    std::string terminator(kSector, '\0');
    terminator.replace(0, 7,
                       "\xFF"
                       "CD001\1");
    // The path tables hold the root alone: name length 1, its sector, parent 1, name 0.
    std::string little(kSector, '\0'), big(kSector, '\0');
    little[0] = big[0] = 1;
    PutLittle(little, 2, IsoLayout::kRootSector, 4);
    PutBig(big, 2, IsoLayout::kRootSector, 4);
    little[6] = 1;
    big[7] = 1;
    return std::string(16 * kSector, '\0') + descriptor + terminator + little + big + root +
           contents;
}

// The file system of a PlayStation disc that boots the program `program` (such as
// "SLUS_005.94"), the program file itself taking a few sectors.
inline std::string PlayStationIso(const std::string& program, IsoLayout* layout = nullptr) {
    const std::string bootFile =
        "BOOT = cdrom:\\" + program + ";1\r\nTCB = 4\r\nEVENT = 10\r\nSTACK = 801FFFF0\r\n";
    return IsoImage({{"SYSTEM.CNF;1", bootFile}, {program + ";1", std::string(5000, 'P')}}, layout);
}

// The 2048-byte sectors of `iso` as a raw track of 2352-byte sectors of `mode` 1 or 2 (form
// 1): sync pattern, address, mode, for mode 2 the subheader, the data; error codes zero.
inline std::string RawTrack(const std::string& iso, int mode) {
    std::string raw;
    const std::string sync("\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\0", 12);
    auto bcd = [](size_t n) { return static_cast<char>(n / 10 * 16 + n % 10); };
    for (size_t at = 0; at < iso.size(); at += 2048) {
        size_t address = at / 2048 + 150;  // the track starts at 00:02:00
        std::string sector = sync + bcd(address / 4500) + bcd(address / 75 % 60) +
                             bcd(address % 75) + static_cast<char>(mode);
        if (mode == 2) sector += std::string("\0\0\x08\0\0\0\x08\0", 8);  // data, form 1
        sector += iso.substr(at, 2048);
        sector.resize(2352, '\0');
        raw += sector;
    }
    return raw;
}

// A cue sheet of one raw data track of `mode` in the file `dataFile`.
inline std::string CueSheet(const std::string& dataFile, int mode) {
    return "FILE \"" + dataFile + "\" BINARY\r\n  TRACK 01 MODE" + std::to_string(mode) +
           "/2352\r\n    INDEX 01 00:00:00\r\n";
}

// A CloneCD sheet of one raw data track of `mode`.
inline std::string CloneCdSheet(int mode) {
    return "[CloneCD]\r\nVersion=3\r\n[Disc]\r\nSessions=1\r\n[TRACK 1]\r\nMODE=" +
           std::to_string(mode) + "\r\nINDEX 1=0\r\n";
}

// The raw track `raw` (2352-byte sectors of mode 2) as an uncompressed CHD file, laid out as
// chdman lays it out: header, track list, map, then the hunks of 8 frames (sector and 96
// bytes of subcode) from the next multiple of the hunk size on.
inline std::string UncompressedChd(const std::string& raw) {
    constexpr size_t kFrame = 2448, kHunk = 8 * kFrame;
    const size_t frames = raw.size() / 2352, padded = (frames + 3) / 4 * 4;
    const size_t hunks = (padded * kFrame + kHunk - 1) / kHunk;
    const std::string track =
        "TRACK:1 TYPE:MODE2_RAW SUBTYPE:NONE FRAMES:" + std::to_string(frames) +
        " PREGAP:0 PGTYPE:MODE1 PGSUB:NONE" + " POSTGAP:0" + std::string(1, '\0');
    std::string file(124 + 16 + track.size() + 4 * hunks, '\0');
    const size_t firstHunk = (file.size() + kHunk - 1) / kHunk;
    file.replace(0, 8, "MComprHD");
    PutBig(file, 8, 124, 4);
    PutBig(file, 12, 5, 4);
    PutBig(file, 36, static_cast<uint32_t>(hunks * kHunk), 4);            // the logical size
    PutBig(file, 44, static_cast<uint32_t>(124 + 16 + track.size()), 4);  // the map
    PutBig(file, 52, 124, 4);                                             // the track list
    PutBig(file, 56, kHunk, 4);
    PutBig(file, 60, kFrame, 4);
    file.replace(124, 4, "CHT2");
    PutBig(file, 129, static_cast<uint32_t>(track.size()), 3);
    file.replace(140, track.size(), track);
    for (size_t hunk = 0; hunk < hunks; ++hunk)
        PutBig(file, 140 + track.size() + 4 * hunk, static_cast<uint32_t>(firstHunk + hunk), 4);
    file.resize((firstHunk + hunks) * kHunk, '\0');
    for (size_t frame = 0; frame < frames; ++frame)
        file.replace(firstHunk * kHunk + frame * kFrame, 2352, raw, frame * 2352, 2352);
    return file;
}

// Writes the disc with the file system `iso` into `folder` (ending in a separator) as the
// image `name`, in the form its type asks for: .iso as it is; .bin or .img as a raw track of
// `mode`; .cue with its raw track <stem>.bin; .ccd with its raw track <stem>.img. Answers the
// image's path.
inline std::string WriteDiscImage(const std::string& folder, const std::string& name,
                                  const std::string& iso, int mode = 2) {
    const std::string stem = name.substr(0, name.rfind('.'));
    const std::string type = name.substr(stem.size());
    if (type == ".iso") {
        WriteWholeFile(folder + name, iso);
    } else if (type == ".cue") {
        WriteWholeFile(folder + stem + ".bin", RawTrack(iso, mode));
        WriteWholeFile(folder + name, CueSheet(stem + ".bin", mode));
    } else if (type == ".ccd") {
        WriteWholeFile(folder + stem + ".img", RawTrack(iso, mode));
        WriteWholeFile(folder + name, CloneCdSheet(mode));
    } else {
        WriteWholeFile(folder + name, RawTrack(iso, mode));
    }
    return folder + name;
}

// A PlayStation disc packed for the PSP (.pbp): PARAM.SFO at byte 40 holds `discId` as
// DISC_ID (its entry at 60, its value at 108) and a TITLE; DATA.PSAR begins with `psarMarker`.
inline std::string PbpFile(const std::string& discId,
                           const std::string& psarMarker = "PSISOIMG0000") {
    std::string sfo(52, '\0');
    sfo.replace(0, 4, std::string("\0PSF", 4));
    PutLittle(sfo, 4, 0x101, 4);
    PutLittle(sfo, 8, 52, 4);  // keys
    PutLittle(sfo, 12, 68, 4);  // values
    PutLittle(sfo, 16, 2, 4);  // entries
    const uint32_t entries[2][4] = {{0, static_cast<uint32_t>(discId.size() + 1), 16, 0},
                                    {8, 6, 16, 16}};
    for (int i = 0; i < 2; ++i) {
        PutLittle(sfo, 20 + 16 * i, entries[i][0], 2);
        PutLittle(sfo, 22 + 16 * i, 0x0204, 2);  // text
        for (int k = 1; k < 4; ++k) PutLittle(sfo, 20 + 16 * i + 4 * k, entries[i][k], 4);
    }
    sfo += std::string("DISC_ID\0TITLE\0\0\0", 16) + discId;
    sfo.resize(84, '\0');
    sfo += std::string("Title\0", 6) + std::string(10, '\0');
    std::string header(40, '\0');
    header.replace(0, 4, std::string("\0PBP", 4));
    PutLittle(header, 4, 0x10000, 4);
    PutLittle(header, 8, 40, 4);
    for (int i = 1; i < 8; ++i) PutLittle(header, 8 + 4 * i, 40 + sfo.size(), 4);
    return header + sfo + psarMarker + std::string(256, '\0');
}

#ifndef _WIN32

// Why disc images cannot be built and mounted here, or empty when they can.
inline std::string WhyNoDiscMounts() {
    int fuse = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (fuse < 0) return "/dev/fuse cannot be opened";
    ::close(fuse);
    if (FindProgramOnPath("fuseiso").empty()) return "fuseiso is not installed";
    if (FindProgramOnPath("genisoimage").empty() && FindProgramOnPath("xorriso").empty())
        return "neither genisoimage nor xorriso is installed";
    return {};
}

// Builds the ISO image `isoPath` of a disc whose SYSTEM.CNF begins with `bootLine`, and that
// holds `files` (name, content) beside it, with an outside builder. Answers the builder's
// complaint, or empty when the image was built.
inline std::string BuildPlayStationIso(
    const std::string& isoPath, const std::string& bootLine,
    const std::vector<std::pair<std::string, std::string>>& files = {}) {
    std::vector<std::string> builder;
    if (std::string tool = FindProgramOnPath("genisoimage"); !tool.empty())
        builder = {tool, "-quiet"};
    else if (std::string tool = FindProgramOnPath("xorriso"); !tool.empty())
        builder = {tool, "-as", "mkisofs", "-quiet"};
    else
        return "no ISO builder";
    const std::filesystem::path folder = isoPath + ".files";
    std::filesystem::create_directories(folder);
    WriteWholeFile(folder / "SYSTEM.CNF", bootLine + "\r\nTCB = 4\r\nSTACK = 801FFFF0\r\n");
    for (const auto& [name, content] : files) WriteWholeFile(folder / name, content);
    builder.insert(builder.end(), {"-o", isoPath, folder.string()});
    ProgramRun run = RunProgram(builder, std::chrono::seconds(30));
    std::filesystem::remove_all(folder);
    if (run.finished && run.exitCode == 0) return {};
    return run.errors.empty() ? "the ISO builder failed" : run.errors;
}

// Compresses the disc of the cue sheet `cuePath` into the CHD file `chdPath` with chdman,
// adding `options` (such as {"-c", "cdzl"}). Answers chdman's complaint, or empty when the
// file was made.
inline std::string MakeChd(const std::string& cuePath, const std::string& chdPath,
                           const std::vector<std::string>& options = {}) {
    const std::string chdman = FindProgramOnPath("chdman");
    if (chdman.empty()) return "chdman is not installed";
    std::vector<std::string> command = {chdman, "createcd", "-i", cuePath, "-o", chdPath};
    command.insert(command.end(), options.begin(), options.end());
    ProgramRun run = RunProgram(command, std::chrono::minutes(5));
    if (run.finished && run.exitCode == 0) return {};
    return run.errors.empty() ? "chdman failed" : run.errors;
}

#endif

}  // namespace vorlisk::testing
