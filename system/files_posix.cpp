#include "system/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace vorlisk {

bool FileExists(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return false;
    return S_ISREG(info.st_mode) && info.st_size > 0;
}

bool PathExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0;
}

namespace {

std::string ErrnoText() { return std::strerror(errno); }

bool WriteAll(int fd, const std::string& content) {
    const char* data = content.data();
    size_t left = content.size();
    while (left > 0) {
        ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& path, std::string& reason) {
    // Without O_NONBLOCK opening a FIFO would wait for a writer; O_NOCTTY keeps a terminal
    // from becoming ours.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reason = ErrnoText();
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file";
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "rb");
    if (!file) {
        reason = ErrnoText();
        ::close(fd);
    }
    return file;
}

WriteResult WriteFileSafely(const std::string& path, const std::string& content) {
    // A link is followed: the file it leads to gets the new content, the link stays.
    std::string target = path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved)) target = resolved;

    // A file made read-only is left alone, as Windows leaves it.
    struct stat existing {};
    bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !(existing.st_mode & S_IWUSR)) return {false, "the file is read-only"};

    std::string temp = target + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return {false, ErrnoText()};
    // The new file keeps the permissions of the old one, or those a plain new file gets.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, exists ? (existing.st_mode & 07777) : (0666 & ~mask));

    bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
    std::string reason = written ? std::string() : ErrnoText();
    if (::close(fd) != 0 && written) {
        written = false;
        reason = ErrnoText();
    }
    if (written && ::rename(temp.c_str(), target.c_str()) != 0) {
        written = false;
        reason = ErrnoText();
    }
    if (!written) {
        ::unlink(temp.c_str());
        return {false, reason};
    }
    return {true, {}};
}

}  // namespace vorlisk
