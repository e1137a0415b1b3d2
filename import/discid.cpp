#include "import/discid.h"

#include <cstring>
#include <fstream>

#include "import/folderimport.h"
#include "system/files.h"
#include "system/textfile.h"

namespace vorlisk {

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Position of `upperNeedle` (already in upper case) in `text` from `from`, ASCII case
// ignored; npos when absent. An empty needle is found at `from`.
size_t FindIgnoringCase(const char* text, size_t size, const std::string& upperNeedle,
                        size_t from = 0) {
    const size_t n = upperNeedle.size();
    if (n == 0) return from <= size ? from : std::string::npos;
    if (size < n) return std::string::npos;
    const char first = upperNeedle[0];
    const char firstLower =
        (first >= 'A' && first <= 'Z') ? static_cast<char>(first - 'A' + 'a') : first;
    for (size_t i = from; i + n <= size; ++i) {
        if (text[i] != first && text[i] != firstLower) continue;
        size_t k = 1;
        while (k < n && UpperAscii(text[i + k]) == upperNeedle[k]) ++k;
        if (k == n) return i;
    }
    return std::string::npos;
}

std::string UpperText(std::string text) {
    for (char& c : text) c = UpperAscii(c);
    return text;
}

// The piece of `line` of up to `length` characters from `start`; empty past the end.
std::string Piece(const std::string& line, size_t start, size_t length) {
    if (start >= line.size()) return {};
    return line.substr(start, length);
}

bool EqualIgnoringCase(const std::string& a, const char* b) {
    size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

// The path of the non-empty system.cnf in `root`, its name's case ignored, or empty.
std::string FindSystemCnf(const std::string& root) {
    const std::string exact = root + "system.cnf";
    if (FileExists(exact)) return exact;
    // Discs may show SYSTEM.CNF; look through the root's plain files for any spelling.
    for (const std::string& name : ListPlainFiles(root, std::string())) {
        if (EqualIgnoringCase(name, "system.cnf") && FileExists(root + name)) return root + name;
    }
    return {};
}

}  // namespace

std::string GameIdFromBootLine(const std::string& line) {
    size_t device = FindIgnoringCase(line.data(), line.size(), "CDROM:");
    if (device == std::string::npos) return {};
    size_t p = FindIgnoringCase(line.data(), line.size(), "S", device);
    if (p == std::string::npos) return {};
    // Characters p + 4 and p + 8 (the underscore and dot of SLUS_005.94) are dropped.
    return UpperText(Piece(line, p, 4) + "-" + Piece(line, p + 5, 3) + Piece(line, p + 9, 2));
}

std::string ReadBootLine(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string data(kBootLineLimit, '\0');
    in.read(data.data(), static_cast<std::streamsize>(data.size()));
    if (in.bad()) return {};
    data.resize(static_cast<size_t>(in.gcount()));
    size_t end = data.find_first_of("\r\n");
    if (end != std::string::npos) data.resize(end);
    return data;
}

std::string GetDiscGameId(const std::vector<std::string>& cdromRoots) {
    for (const std::string& root : cdromRoots) {
        if (root.empty()) continue;  // never the working folder
        std::string systemCnf = FindSystemCnf(root);
        if (systemCnf.empty()) continue;  // no disc, or not a PlayStation disc
        // The first drive with a boot file ends the search, whatever its first line says.
        return GameIdFromBootLine(ReadBootLine(systemCnf));
    }
    return {};
}

std::string LookupGameName(const std::string& gamesTxtPath, const std::string& id) {
    if (id.empty()) return {};
    const std::string upperId = UpperText(id);
    std::string result;
    LineReader reader(gamesTxtPath, LineEnds::HandWritten);
    if (!reader.IsOpen()) return {};
    std::string line;
    while (reader.Next(line)) {
        if (FindIgnoringCase(line.data(), line.size(), upperId) == std::string::npos) continue;
        // The name runs from column 12 up to the first TAB; without one the line is
        // malformed and the look-up ends with what it has.
        size_t tab = line.find('\t');
        if (tab == std::string::npos || tab < 11) break;
        result.assign(line, 11, tab - 11);
    }
    return result;
}

}  // namespace vorlisk
