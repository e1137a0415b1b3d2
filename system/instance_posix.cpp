// The one-copy-per-user rule on POSIX systems.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "system/folders.h"
#include "system/services.h"

namespace vorlisk {

namespace {

// True when `folder` is a folder of this user in which nobody else may make, replace or remove
// files: none of the permission bits of `othersMay` is set.
bool IsOwnFolder(const std::string& folder, mode_t othersMay) {
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid() && (info.st_mode & othersMay) == 0;
}

// Where the lock lies, ending in "/": the user's runtime folder when it is set, absolute and
// private (mode 0700), else the program's folder in the user's configuration folder, made
// when missing. Empty when neither is safe from other users.
std::string LockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && IsOwnFolder(runtime, 077))
        return std::string(runtime) + "/";
    const std::string config = ConfigFolder();
    if (config == "/") return {};
    const std::string folder = config + "vorlisk/";
    ::mkdir(config.c_str(), 0700);
    ::mkdir(folder.c_str(), 0700);
    return IsOwnFolder(folder, S_IWGRP | S_IWOTH) ? folder : std::string();
}

}  // namespace

bool PlatformServices::ClaimSingleInstance() {
    // A lock held for the life of the process: a second copy cannot take it. Where no lock
    // of our own can be had (no safe folder, a link or another user's file in its place) the
    // program starts all the same rather than let anybody else keep it from starting.
    const std::string folder = LockFolder();
    if (folder.empty()) return true;
    const std::string lock = folder + "vorlisk-" + std::to_string(::getuid()) + ".lock";
    int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                    0600);
    if (fd < 0) return true;
    struct stat info {};
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
