// Later starts knock on a local socket of the running copy. It lies in a folder of the user's
// own that nobody else may write, $XDG_RUNTIME_DIR/vorlisk-<uid> (else /tmp/vorlisk-<uid>),
// where the mount helper keeps its state too, and is named after the data folder's device and
// inode, so that every path to the folder names the same copy. The copy answers with one byte
// once its window is in front.

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QWidget>
#include <cstdlib>
#include <cstring>

#include "app/ui/comeforward.h"

namespace vorlisk {

namespace {

// How long a start waits for the running copy's answer.
constexpr int kAnswerWaitMs = 5000;

// The socket of the copy that runs on `appPath`, in its folder, which is made when `make` is
// set. Nothing when the data folder cannot be seen or the socket's folder is not a folder of
// the user's own that only the user may write (another user made it first, say).
bool AddressOf(const std::string& appPath, bool make, sockaddr_un& address) {
    struct stat info {};
    if (::stat(appPath.c_str(), &info) != 0) return false;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = std::string(runtime && *runtime ? runtime : "/tmp") + "/vorlisk-" +
                               std::to_string(::geteuid());
    if (make) ::mkdir(folder.c_str(), 0700);
    struct stat own {};
    if (::lstat(folder.c_str(), &own) != 0 || !S_ISDIR(own.st_mode) || own.st_uid != ::geteuid() ||
        (own.st_mode & (S_IWGRP | S_IWOTH)))
        return false;
    const std::string path = folder + "/forward-" + std::to_string(info.st_dev) + "-" +
                             std::to_string(info.st_ino);
    if (path.size() >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

int NewSocket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0); }

}  // namespace

void ListenForLaterStarts(QWidget& window, const std::string& appPath) {
    sockaddr_un address{};
    if (!AddressOf(appPath, true, address)) return;
    const int listener = NewSocket();
    if (listener < 0) return;
    // A socket that a copy which did not end left behind goes: this copy holds the data folder,
    // so no other copy listens under its name.
    ::unlink(address.sun_path);
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 4) != 0) {
        ::close(listener);
        return;
    }
    auto* notifier = new QSocketNotifier(listener, QSocketNotifier::Read, &window);
    notifier->setObjectName(QLatin1String(kListenerName));
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [listener, &window] {
        const int caller = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (caller < 0) return;
        // Only a start of this user's may bring the window forward.
        ucred peer{};
        socklen_t size = sizeof peer;
        if (::getsockopt(caller, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
            peer.uid == ::getuid()) {
            BringToFront(window);
            const char done = 1;
            ::send(caller, &done, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
        }
        ::close(caller);
    });
    QObject::connect(notifier, &QObject::destroyed, [listener, path = std::string(address.sun_path)] {
        ::unlink(path.c_str());
        ::close(listener);
    });
}

bool AskRunningCopyToComeForward(const std::string& appPath) {
    sockaddr_un address{};
    if (!AddressOf(appPath, false, address)) return false;
    const int caller = NewSocket();
    if (caller < 0) return false;
    bool cameForward = false;
    if (::connect(caller, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
        pollfd answer{caller, POLLIN, 0};
        char done = 0;
        cameForward = ::poll(&answer, 1, kAnswerWaitMs) == 1 && ::recv(caller, &done, 1, 0) == 1;
    }
    ::close(caller);
    return cameForward;
}

}  // namespace vorlisk
