#pragma once
// Ending the program with the desktop session: SIGTERM and SIGHUP (on POSIX systems) and the
// platform's request to quit (the session manager ending the session) save what the main
// window's Close button saves, without any question or message, and end the process at once:
// exit code 0, or 1 when something could not be saved. The session manager's request to save
// (for a checkpoint as before the end) saves in the same way and leaves the program running.

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

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Saves, then ends the process; never returns.
    [[noreturn]] void EndNow();
    // The platform's end signals, each of which runs EndNow() from the event loop.
    void WatchSignals();
    void ForgetSignals();

    formGameInventory& window_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vorlisk
