#include "app/ui/comeforward.h"

#include <QWidget>

namespace vorlisk {

void BringToFront(QWidget& window) {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

bool StopListeningForLaterStarts(QWidget& window) {
    QObject* listener =
        window.findChild<QObject*>(QLatin1String(kListenerName), Qt::FindDirectChildrenOnly);
    delete listener;
    return listener != nullptr;
}

}  // namespace vorlisk
