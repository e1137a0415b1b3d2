#include "app/ui/sessionend.h"

#include <QGuiApplication>
#include <QSessionManager>

#include "app/ui/formGameInventory.h"

namespace vorlisk {

SessionEnd::SessionEnd(formGameInventory& window) : window_(window) {
    connect(qGuiApp, &QGuiApplication::commitDataRequest, this,
            [this](QSessionManager&) { window_.EndSession(); });
    WatchSignals();
}

SessionEnd::~SessionEnd() { ForgetSignals(); }

}  // namespace vorlisk
