#include "app/ui/sessionend.h"

#include <QEvent>
#include <QGuiApplication>
#include <QSessionManager>
#include <cstdio>
#include <cstdlib>

#include "app/ui/formGameInventory.h"

namespace vorlisk {

SessionEnd::SessionEnd(formGameInventory& window) : window_(window) {
    // The session manager asks the same for a checkpoint (the session is saved, nobody logs
    // out) as before the session ends, and Qt tells the two apart nowhere: the request saves,
    // and the session's end itself arrives as the platform's request to quit (the manager's
    // Die on X11, WM_ENDSESSION on Windows).
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { window_.SaveAtSessionEnd(); });
    qApp->installEventFilter(this);
    WatchSignals();
}

SessionEnd::~SessionEnd() { ForgetSignals(); }

bool SessionEnd::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::Quit) EndNow();
    return false;
}

void SessionEnd::EndNow() {
    // The request may come while a message box or question is open. Leaving the event loops
    // would let the handler that opened the box go on with its answer: start an emulator,
    // carry out the next script line, write a file. Ending the process here, once the files
    // are saved, leaves no code that could run after, whatever any handler would do next.
    const int exitCode = window_.SaveAtSessionEnd() ? 0 : 1;
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

}  // namespace vorlisk
