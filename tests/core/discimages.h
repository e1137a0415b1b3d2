#pragma once
// PlayStation disc images for tests: an ISO 9660 image whose SYSTEM.CNF names a game, built
// with genisoimage (or xorriso), and the same disc as the raw 2352-byte sectors of a .bin with
// a cue sheet or of a CloneCD .img with its .ccd. POSIX only: the images are built with
// outside tools, and mounted with FUSE.

#ifndef _WIN32

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "system/processes.h"
#include "tests/core/tempfolder.h"

namespace vorlisk::testing {

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

// Builds the ISO image `isoPath` of a disc whose SYSTEM.CNF begins with `bootLine`. Answers
// the builder's complaint, or empty when the image was built.
inline std::string BuildPlayStationIso(const std::string& isoPath, const std::string& bootLine) {
    std::vector<std::string> builder;
    if (std::string tool = FindProgramOnPath("genisoimage"); !tool.empty())
        builder = {tool, "-quiet"};
    else if (std::string tool = FindProgramOnPath("xorriso"); !tool.empty())
        builder = {tool, "-as", "mkisofs", "-quiet"};
    else
        return "no ISO builder";
    const std::filesystem::path files = isoPath + ".files";
    std::filesystem::create_directories(files);
    WriteWholeFile(files / "SYSTEM.CNF", bootLine + "\r\nTCB = 4\r\nSTACK = 801FFFF0\r\n");
    builder.insert(builder.end(), {"-o", isoPath, files.string()});
    ProgramRun run = RunProgram(builder, std::chrono::seconds(30));
    std::filesystem::remove_all(files);
    if (run.finished && run.exitCode == 0) return {};
    return run.errors.empty() ? "the ISO builder failed" : run.errors;
}

// The 2048-byte sectors of `iso` as raw MODE2 Form 1 sectors of 2352 bytes, as a disc is read
// whole: sync pattern, address (minute, second, frame from 00:02:00) and mode, subheader, the
// data, and error-correction bytes left zero (no reader here checks them).
inline std::string RawMode2Sectors(const std::string& iso) {
    auto bcd = [](size_t n) { return static_cast<char>(((n / 10) << 4) | (n % 10)); };
    std::string raw;
    raw.reserve(iso.size() / 2048 * 2352);
    for (size_t sector = 0; sector * 2048 < iso.size(); ++sector) {
        const size_t address = sector + 150;
        raw += std::string("\x00\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\x00", 12);
        raw += {bcd(address / 4500), bcd(address / 75 % 60), bcd(address % 75), '\x02'};
        raw += std::string("\x00\x00\x08\x00\x00\x00\x08\x00", 8);
        std::string data = iso.substr(sector * 2048, 2048);
        data.resize(2048, '\0');
        raw += data;
        raw.append(280, '\0');
    }
    return raw;
}

// Writes the disc of the ISO image `iso` as `<stem>.bin` with its cue sheet `<stem>.cue`, and
// answers the sheet's path.
inline std::string WriteBinCue(const std::string& stem, const std::string& iso) {
    WriteWholeFile(stem + ".bin", RawMode2Sectors(ReadWholeFile(iso)));
    const std::string bin = std::filesystem::path(stem + ".bin").filename().string();
    WriteWholeFile(
        stem + ".cue",
        "FILE \"" + bin + "\" BINARY\r\n  TRACK 01 MODE2/2352\r\n    INDEX 01 00:00:00\r\n");
    return stem + ".cue";
}

// Writes the disc of the ISO image `iso` as the CloneCD pair `<stem>.img` and `<stem>.ccd`, and
// answers the path of the .ccd.
inline std::string WriteCcdImg(const std::string& stem, const std::string& iso) {
    WriteWholeFile(stem + ".img", RawMode2Sectors(ReadWholeFile(iso)));
    WriteWholeFile(stem + ".ccd",
                   "[CloneCD]\r\nVersion=3\r\n[Disc]\r\nTocEntries=4\r\nSessions=1\r\n"
                   "[TRACK 1]\r\nMODE=2\r\nINDEX 1=0\r\n");
    return stem + ".ccd";
}

}  // namespace vorlisk::testing

#endif
