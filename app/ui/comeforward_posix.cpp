// Later starts knock on a local socket of the running copy. Its name lies in Linux's abstract
// socket namespace, so no file is left behind, and is made from the data folder's device and
// inode, so that every path to the folder names the same copy.

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QWidget>
#include <cstddef>
#include <cstring>

#include "app/ui/comeforward.h"

namespace vorlisk {

namespace {

struct Address {
    sockaddr_un socket{};
    socklen_t length = 0;
};

// The address of the copy that runs on `appPath`; nothing when the folder cannot be seen.
bool AddressOf(const std::string& appPath, Address& address) {
    struct stat info {};
    if (::stat(appPath.c_str(), &info) != 0) return false;
    const std::string name =
        "vorlisk-" + std::to_string(info.st_dev) + "-" + std::to_string(info.st_ino);
    address.socket.sun_family = AF_UNIX;
    // sun_path[0] stays NUL: the abstract namespace.
    std::memcpy(address.socket.sun_path + 1, name.data(), name.size());
    address.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return true;
}

int NewSocket() { return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0); }

}  // namespace

void ListenForLaterStarts(QWidget& window, const std::string& appPath) {
    Address address;
    if (!AddressOf(appPath, address)) return;
    const int listener = NewSocket();
    if (listener < 0) return;
    // A name that is taken (by a program of another user, say) leaves the window where it is.
    if (::bind(listener, reinterpret_cast<const sockaddr*>(&address.socket), address.length) != 0 ||
        ::listen(listener, 4) != 0) {
        ::close(listener);
        return;
    }
    auto* notifier = new QSocketNotifier(listener, QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [listener, &window] {
        const int caller = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (caller < 0) return;
        // Only a start of this user's may bring the window forward.
        ucred peer{};
        socklen_t size = sizeof peer;
        const bool own = ::getsockopt(caller, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
                         peer.uid == ::getuid();
        ::close(caller);
        if (own) BringToFront(window);
    });
    QObject::connect(notifier, &QObject::destroyed, [listener] { ::close(listener); });
}

bool AskRunningCopyToComeForward(const std::string& appPath) {
    Address address;
    if (!AddressOf(appPath, address)) return false;
    const int caller = NewSocket();
    if (caller < 0) return false;
    // The connection itself is the request; a listener always has room for it at once.
    const bool asked =
        ::connect(caller, reinterpret_cast<const sockaddr*>(&address.socket), address.length) == 0;
    ::close(caller);
    return asked;
}

}  // namespace vorlisk
