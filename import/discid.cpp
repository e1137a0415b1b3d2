#include "import/discid.h"

#include <cstring>
#include <fstream>

#include "system/asciicase.h"
#include "system/files.h"
#include "system/textfile.h"

namespace vorlisk {

namespace {

// The piece of `line` of up to `length` characters from `start`; empty past the end.
std::string Piece(const std::string& line, size_t start, size_t length) {
    if (start >= line.size()) return {};
    return line.substr(start, length);
}

}  // namespace

FolderListing::FolderListing(std::string folder, const std::vector<std::string>& names)
    : folder_(std::move(folder)) {
    for (const std::string& name : names) byLowerName_[LowerAsciiText(name)].push_back(name);
}

std::vector<std::string> FolderListing::NamesLike(const std::string& name) const {
    auto found = byLowerName_.find(LowerAsciiText(name));
    return found == byLowerName_.end() ? std::vector<std::string>() : found->second;
}

std::string GameIdFromBootLine(const std::string& line) {
    size_t device = FindIgnoringCase(line, "CDROM:");
    if (device == std::string::npos) return {};
    size_t p = FindIgnoringCase(line, "S", device);
    if (p == std::string::npos) return {};
    // Characters p + 4 and p + 8 (the underscore and dot of SLUS_005.94) are dropped.
    return UpperAsciiText(Piece(line, p, 4) + "-" + Piece(line, p + 5, 3) + Piece(line, p + 9, 2));
}

std::string ReadBootLine(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string data(kBootLineLimit, '\0');
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    if (in.bad()) return {};
    data.resize(static_cast<size_t>(in.gcount()));
    return FirstLineOf(std::move(data));
}

std::string FirstLineOf(std::string head) {
    size_t end = head.find_first_of("\r\n");
    if (end != std::string::npos) head.resize(end);
    return head;
}

std::string GetDiscGameId(const std::vector<std::string>& cdromRoots) {
    for (const std::string& root : cdromRoots) {
        if (root.empty()) continue;  // never the working folder
        // Discs may show SYSTEM.CNF or system.cnf.
        std::string systemCnf = FindFileIgnoringCase(root, "system.cnf");
        if (systemCnf.empty()) continue;  // no disc, or not a PlayStation disc
        // The first drive with a boot file ends the search, whatever its first line says.
        return GameIdFromBootLine(ReadBootLine(systemCnf));
    }
    return {};
}

std::string LookupGameName(const std::string& gamesTxtPath, const std::string& id) {
    if (id.empty()) return {};
    const std::string upperId = UpperAsciiText(id);
    std::string result;
    LineReader reader(gamesTxtPath, LineEnds::HandWritten);
    if (!reader.IsOpen()) return {};
    std::string line;
    while (reader.Next(line)) {
        if (FindIgnoringCase(line, upperId) == std::string::npos) continue;
        // The name runs from column 12 up to the first TAB; without one the line is
        // malformed and the look-up ends with what it has.
        size_t tab = line.find('\t');
        if (tab == std::string::npos || tab < 11) break;
        result.assign(line, 11, tab - 11);
    }
    return result;
}

}  // namespace vorlisk
