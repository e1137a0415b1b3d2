#include "import/discid.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "system/asciicase.h"
#include "system/files.h"
#include "system/textencoding.h"
#include "system/textfile.h"

namespace vorlisk {

namespace {

// The piece of `line` of up to `length` characters from `start`; empty past the end.
std::string Piece(const std::string& line, size_t start, size_t length) {
    if (start >= line.size()) return {};
    return line.substr(start, length);
}

}  // namespace

namespace {

// FNV-1a of `name` with its ASCII letters lowered.
uint64_t LowerNameHash(std::string_view name) {
    uint64_t hash = 14695981039346656037ull;
    for (char c : name) hash = (hash ^ static_cast<unsigned char>(LowerAscii(c))) * 1099511628211ull;
    return hash;
}

}  // namespace

FolderListing::FolderListing(std::string folder, std::vector<std::string> names)
    : folder_(std::move(folder)), names_(std::move(names)) {
    byLowerHash_.reserve(names_.size());
    for (size_t i = 0; i < names_.size(); ++i)
        byLowerHash_.emplace_back(LowerNameHash(names_[i]), static_cast<uint32_t>(i));
    std::sort(byLowerHash_.begin(), byLowerHash_.end());
}

std::vector<std::string> FolderListing::NamesLike(const std::string& name) const {
    std::vector<std::string> like;
    const uint64_t hash = LowerNameHash(name);
    auto entry = std::lower_bound(byLowerHash_.begin(), byLowerHash_.end(),
                                  std::pair<uint64_t, uint32_t>(hash, 0));
    for (; entry != byLowerHash_.end() && entry->first == hash; ++entry)
        if (EqualIgnoringCase(names_[entry->second], name)) like.push_back(names_[entry->second]);
    return like;
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

namespace {

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

bool IsAbsolute(const std::string& path) {
#ifdef _WIN32
    return (path.size() > 1 && path[1] == ':') || (!path.empty() && IsSeparator(path[0]));
#else
    return !path.empty() && path[0] == '/';
#endif
}

std::string NameOf(const std::string& path) { return path.substr(FolderOf(path).size()); }

// The path `named` as written.
std::string FindNamedAsWritten(const std::string& sheetFolder, const std::string& named,
                               const FolderListing* listing) {
    const std::string path = IsAbsolute(named) ? named : sheetFolder + named;
    std::string found = FindFileIgnoringCase(FolderOf(path), NameOf(path), listing);
    if (found.empty() && FolderOf(path) != sheetFolder)
        found = FindFileIgnoringCase(sheetFolder, NameOf(path), listing);
    return found;
}

}  // namespace

std::string FolderOf(const std::string& path) {
    auto last = std::find_if(path.rbegin(), path.rend(), IsSeparator);
    return std::string(path.begin(), last.base());
}

std::string FindNamedFile(const std::string& sheetFolder, std::string named,
                          const FolderListing* listing) {
#ifndef _WIN32
    std::replace(named.begin(), named.end(), '\\', '/');  // written on Windows
#endif
    if (named.empty()) return {};
    std::string found = FindNamedAsWritten(sheetFolder, named, listing);
    if (!found.empty()) return found;
    const std::string other =
        IsUtf8(named) ? EncodeText(named, TextEncoding::Windows1252) : ShownUtf8(named);
    return other == named ? std::string() : FindNamedAsWritten(sheetFolder, other, listing);
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

std::string LookupGameName(const std::string& gamesTxtPath, const std::string& id,
                           std::string* failure) {
    if (id.empty()) return {};
    const std::string upperId = UpperAsciiText(id);
    std::string result;
    LineReader reader(gamesTxtPath, LineEnds::HandWritten);
    auto sayFailure = [&] {
        if (failure && reader.Failed() && PathExists(gamesTxtPath)) *failure = reader.FailureReason();
    };
    if (!reader.IsOpen()) {
        sayFailure();
        return {};
    }
    std::string line;
    while (reader.Next(line)) {
        if (FindIgnoringCase(line, upperId) == std::string::npos) continue;
        // The name runs from column 12 up to the first TAB; without one the line is
        // malformed and the look-up ends with what it has.
        size_t tab = line.find('\t');
        if (tab == std::string::npos || tab < 11) break;
        result.assign(line, 11, tab - 11);
    }
    sayFailure();
    return result;
}

}  // namespace vorlisk
