#include "app/ui/comeforward.h"

#include <QWidget>

namespace vorlisk {

void BringToFront(QWidget& window) {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

}  // namespace vorlisk
