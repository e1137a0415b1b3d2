#include <fstream>

#include "system/files.h"

namespace vorlisk {

std::optional<std::string> ReadFileBytes(const std::string& path, size_t limit) {
    if (!FileExists(path)) return std::nullopt;  // never a device or a pipe
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string content;
    char buffer[1 << 16];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        content.append(buffer, static_cast<size_t>(in.gcount()));
        if (content.size() > limit) return std::nullopt;
    }
    if (in.bad()) return std::nullopt;
    return content;
}

}  // namespace vorlisk
