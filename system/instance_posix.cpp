// The one-copy-per-user rule on POSIX systems.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "system/services.h"

namespace vorlisk {

bool PlatformServices::ClaimSingleInstance() {
    // A lock held for the life of the process: a second copy cannot take it.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string folder = runtime && *runtime ? runtime : "/tmp";
    std::string lock = folder + "/vorlisk-" + std::to_string(::getuid()) + ".lock";
    int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return true;  // no place for a lock: do not refuse to start
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    return true;  // the descriptor stays open until the program ends
}

}  // namespace vorlisk
