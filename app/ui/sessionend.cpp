#include "app/ui/sessionend.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <cstdio>
#include <cstdlib>

#include "app/ui/formGameInventory.h"

namespace vorlisk {

SessionEnd::SessionEnd(formGameInventory& window) : window_(window) {
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { EndNow(); });
    WatchSignals();
}

SessionEnd::~SessionEnd() { ForgetSignals(); }

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
