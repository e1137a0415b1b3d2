#include "system/files.h"

namespace vorlisk {

std::optional<std::string> ReadFileBytes(const std::string& path, size_t limit) {
    std::string reason;
    std::FILE* file = OpenRegularFile(path, reason);
    if (!file) return std::nullopt;
    std::string content;
    char buffer[1 << 16];
    size_t got;
    while (content.size() <= limit && (got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        content.append(buffer, got);
    const bool whole = !std::ferror(file) && content.size() <= limit;
    std::fclose(file);
    if (!whole || content.empty()) return std::nullopt;
    return content;
}

}  // namespace vorlisk
