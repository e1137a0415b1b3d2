#include "system/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <optional>

#include "system/services.h"

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

// What separates the name of a saved file from the random part of its temporary file's name.
// Nothing else makes names like these, so what carries it is ours to remove.
constexpr std::string_view kTempMark = ".vorlisk-new-";
constexpr size_t kTempRandomLength = 6;  // the XXXXXX of mkstemp

// Links followed at most before a chain counts as a loop, as the kernel counts.
constexpr int kMostLinks = 40;

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

// The file that a save of `path` replaces: the end of its chain of links, which need not
// exist yet. Nothing, with `reason`, when the chain loops or a link cannot be read.
std::optional<std::string> SaveTarget(const std::string& path, std::string& reason) {
    std::string target = path;
    for (int links = 0;; ++links) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0) {
            if (errno == ENOENT) return target;
            reason = ErrnoText();
            return std::nullopt;
        }
        if (!S_ISLNK(info.st_mode)) return target;
        if (links == kMostLinks) {
            reason = std::strerror(ELOOP);
            return std::nullopt;
        }
        char buffer[PATH_MAX];
        ssize_t length = ::readlink(target.c_str(), buffer, sizeof buffer);
        if (length <= 0 || static_cast<size_t>(length) == sizeof buffer) {
            reason = length < 0 ? ErrnoText() : std::strerror(ENAMETOOLONG);
            return std::nullopt;
        }
        std::string next(buffer, static_cast<size_t>(length));
        // A relative link is read from the link's own folder.
        size_t slash = target.rfind('/');
        if (next[0] != '/' && slash != std::string::npos) next.insert(0, target, 0, slash + 1);
        target = std::move(next);
    }
}

void RemoveLeftoversOf(const std::string& target) {
    size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "./" : target.substr(0, slash + 1);
    const std::string prefix = target.substr(slash + 1) + std::string(kTempMark);
    DIR* listing = ::opendir(folder.c_str());
    if (!listing) return;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (name.size() != prefix.size() + kTempRandomLength ||
            name.substr(0, prefix.size()) != prefix)
            continue;
        const std::string candidate = folder + entry->d_name;
        // Never a link, a folder or anything of another user; and a save still writing its
        // file holds a lock on it.
        int fd =
            ::open(candidate.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(candidate.c_str());
        ::close(fd);
    }
    ::closedir(listing);
}

// Flushes the folder of `path` to the disk, so that a rename into it survives a power cut.
// The save is complete without it: a folder that cannot be opened for reading, or a file
// system that does not sync folders, leaves the file in place all the same.
void SyncFolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : path.substr(0, slash);
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

void RemoveLeftoverTempFiles(const std::string& path) {
    std::string reason;
    if (std::optional<std::string> target = SaveTarget(path, reason)) RemoveLeftoversOf(*target);
}

namespace {

// Puts `content` in place of the file `target`, which is not a link, through a temporary file:
// the save of `path`, which is `target` or a link that leads there.
WriteResult ReplaceFile(const std::string& path, const std::string& target,
                        const std::string& content) {
    std::string reason;
    RemoveLeftoversOf(target);

    // A file made read-only is left alone, as Windows leaves it.
    struct stat existing {};
    bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !(existing.st_mode & S_IWUSR)) return {false, "the file is read-only"};

    std::string temp = target + std::string(kTempMark) + std::string(kTempRandomLength, 'X');
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return {false, target == path ? ErrnoText() : ErrnoText() + ": " + target};
    // The lock tells RemoveLeftoverTempFiles that this file is being written.
    ::flock(fd, LOCK_EX | LOCK_NB);
    // The new file keeps the permissions of the old one, or those a plain new file gets.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, exists ? (existing.st_mode & 07777) : (0666 & ~mask));

    bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
    reason = written ? std::string() : ErrnoText();
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
    SyncFolderOf(target);
    return {true, {}};
}

}  // namespace

WriteResult WriteFileSafely(const std::string& path, const std::string& content) {
    std::string reason;
    std::optional<std::string> target = SaveTarget(path, reason);
    if (!target) return {false, reason};
    return ReplaceFile(path, *target, content);
}

WriteResult WriteOwnFileSafely(const std::string& path, const std::string& content) {
    // Opened without following a link: what is there is looked at itself. The rename that puts
    // the new file in place replaces a name, never writing through one, so a link put there
    // meanwhile is replaced, not followed.
    int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno != ENOENT) return {false, ErrnoText()};
    if (fd >= 0) {
        struct stat info {};
        const bool own =
            ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid();
        ::close(fd);
        if (!own) return {false, "not a file of this user's own"};
    }
    return ReplaceFile(path, path, content);
}

void LetOversizedWritesFail() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace vorlisk
