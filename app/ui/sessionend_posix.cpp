// SIGTERM and SIGHUP: the handler only writes a byte to a pipe, whose reading end the event
// loop watches; everything else happens there, outside the handler.

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <iterator>

#include "app/ui/formGameInventory.h"
#include "app/ui/sessionend.h"

namespace vorlisk {

namespace {

constexpr int kEndSignals[] = {SIGTERM, SIGHUP};
int endPipe[2] = {-1, -1};
struct sigaction previous[std::size(kEndSignals)];

void OnEndSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(endPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

void SessionEnd::WatchSignals() {
    if (::pipe2(endPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;  // the signals end it as before
    notifier_ = new QSocketNotifier(endPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(endPipe[0], bytes, sizeof bytes) > 0) {
        }
        notifier_->setEnabled(false);
        EndNow();
    });
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kEndSignals); ++i)
        ::sigaction(kEndSignals[i], &action, &previous[i]);
}

void SessionEnd::ForgetSignals() {
    if (!notifier_) return;
    for (size_t i = 0; i < std::size(kEndSignals); ++i)
        ::sigaction(kEndSignals[i], &previous[i], nullptr);
    delete notifier_;
    notifier_ = nullptr;
    ::close(endPipe[0]);
    ::close(endPipe[1]);
    endPipe[0] = endPipe[1] = -1;
}

}  // namespace vorlisk
