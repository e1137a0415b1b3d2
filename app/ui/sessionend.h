#pragma once
// Ending the program with the desktop session: SIGTERM and SIGHUP (on POSIX systems) and the
// session manager's request before logging out end the main window as its Close button
// does, without any question.

#include <QObject>

class QSocketNotifier;

namespace vorlisk {

class formGameInventory;

// Takes the session's end requests for `window` while it lives; the signals are handled as
// before once it is gone. One at a time.
class SessionEnd : public QObject {
    Q_OBJECT
  public:
    explicit SessionEnd(formGameInventory& window);
    ~SessionEnd() override;

  private:
    // The platform's end signals, each of which runs window_.EndSession() from the event loop.
    void WatchSignals();
    void ForgetSignals();

    formGameInventory& window_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vorlisk
