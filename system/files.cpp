#include "system/files.h"
#include "system/readonlyfile.h"

namespace vorlisk {

std::optional<std::string> ReadFileBytes(const std::string& path, size_t limit) {
    ReadOnlyFile file(path);
    if (!file.IsOpen() || file.Size() == 0 || file.Size() > limit) return std::nullopt;
    std::string content = file.Read(0, static_cast<size_t>(file.Size()));
    if (content.size() != file.Size()) return std::nullopt;
    return content;
}

}  // namespace vorlisk
