#include "import/cdrom.h"

#include <algorithm>
#include <fstream>
#include <functional>

namespace vorlisk {

namespace {

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// Splits a table line at blanks and TABs; runs of them count as one separator.
std::vector<std::string> SplitFields(const std::string& line, size_t maxFields) {
    std::vector<std::string> fields;
    size_t i = 0;
    while (fields.size() < maxFields) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i == line.size()) break;
        size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

bool IsDiscMount(const std::string& device, const std::string& type) {
    return type == "iso9660" || type == "udf" || type == "fuse.fuseiso" ||
           StartsWith(device, "/dev/sr") || StartsWith(device, "/dev/cdrom");
}

}  // namespace

std::string DecodeMountsField(const std::string& field) {
    std::string decoded;
    decoded.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
            IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
            int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            decoded.push_back(static_cast<char>(value & 0xFF));
            i += 3;
        } else {
            decoded.push_back(field[i]);
        }
    }
    return decoded;
}

std::vector<std::string> CdromRootsFromMountsTable(const std::string& mountsTablePath) {
    std::vector<std::string> roots;
    // Lines end at LF only: the kernel escapes LF in a mount point but leaves a CR as it is.
    std::ifstream table(mountsTablePath, std::ios::binary);
    std::string line;
    while (std::getline(table, line, '\n')) {
        std::vector<std::string> fields = SplitFields(line, 3);
        if (fields.size() < 3) continue;
        std::string device = DecodeMountsField(fields[0]);
        std::string type = DecodeMountsField(fields[2]);
        if (!IsDiscMount(device, type)) continue;
        std::string root = DecodeMountsField(fields[1]);
        if (root.empty()) continue;
        if (root.back() != '/') root.push_back('/');
        roots.push_back(std::move(root));
    }
    std::sort(roots.begin(), roots.end(), std::greater<>());
    roots.erase(std::unique(roots.begin(), roots.end()), roots.end());
    return roots;
}

}  // namespace vorlisk
