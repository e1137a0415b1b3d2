#include "system/readonlyfile.h"

#include <algorithm>

namespace vorlisk {

std::string ReadOnlyFile::Read(uint64_t offset, size_t length) const {
    if (!IsOpen() || offset >= size_) return {};
    std::string bytes(static_cast<size_t>(std::min<uint64_t>(length, size_ - offset)), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        size_t got = ReadSome(offset + done, bytes.data() + done, bytes.size() - done);
        if (got == 0) break;
        done += got;
    }
    bytes.resize(done);
    return bytes;
}

}  // namespace vorlisk
