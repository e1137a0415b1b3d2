// The one-copy rule on POSIX systems.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "system/services.h"

namespace vorlisk {

bool PlatformServices::ClaimSingleInstance() {
    // A lock inside the data folder itself, held for the life of the process: whatever the
    // environment of a start, a second copy on the same data folder cannot take it, so two
    // copies never write one catalogue. Where no lock of our own can be had (a folder that
    // cannot be written, a link or another user's file in its place) the program starts all
    // the same rather than let anybody else keep it from starting.
    const std::string lock = ApplicationFolder() + kInstanceLockName;
    constexpr int kFlags = O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    int fd = ::open(lock.c_str(), kFlags, 0600);
    // A lock of the user's own whose permissions keep it from being opened (made read-only, say)
    // gets them back: the change reaches only a file that the user owns, never through a link.
    struct stat info {};
    if (fd < 0 && errno == EACCES && ::lstat(lock.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        ::fchmodat(AT_FDCWD, lock.c_str(), 0600, AT_SYMLINK_NOFOLLOW) == 0)
        fd = ::open(lock.c_str(), kFlags, 0600);
    if (fd < 0) return true;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd);
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        bool otherCopy = errno == EWOULDBLOCK;
        ::close(fd);
        return !otherCopy;
    }
    return true;  // the descriptor stays open until the program ends
}

}  // namespace vorlisk
