#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "system/readonlyfile.h"

namespace vorlisk {

namespace {

std::string NotPlainFile(const struct stat& info) {
    return S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file";
}

}  // namespace

ReadOnlyFile::ReadOnlyFile(const std::string& path) {
    // Only a plain file is opened: opening a named pipe or a device could wait or act.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        reason_ = std::strerror(errno);
        return;
    }
    if (!S_ISREG(info.st_mode)) {
        reason_ = NotPlainFile(info);
        return;
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        reason_ = std::strerror(errno);
        return;
    }
    // The path may have been replaced in between: what was opened must be a plain file too.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason_ = NotPlainFile(info);
        ::close(fd);
        return;
    }
    handle_ = fd;
    size_ = static_cast<uint64_t>(info.st_size);
}

ReadOnlyFile::~ReadOnlyFile() {
    if (IsOpen()) ::close(static_cast<int>(handle_));
}

size_t ReadOnlyFile::ReadSome(uint64_t offset, char* buffer, size_t length) const {
    for (;;) {
        ssize_t got =
            ::pread(static_cast<int>(handle_), buffer, length, static_cast<off_t>(offset));
        if (got >= 0) return static_cast<size_t>(got);
        if (errno == EINTR) continue;
        reason_ = std::strerror(errno);
        return 0;
    }
}

}  // namespace vorlisk
