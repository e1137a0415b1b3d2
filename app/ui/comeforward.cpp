#include "app/ui/comeforward.h"

#include <QElapsedTimer>
#include <QThread>
#include <QWidget>

#include "app/ui/formGameInventory.h"
#include "app/ui/text.h"
#include "app/ui/userinterface.h"

namespace vorlisk {

void BringToFront(QWidget& window) {
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

bool OpenOnceTheFolderIsFree(formGameInventory& window, UserInterface& ui,
                             std::chrono::milliseconds askAfter) {
    QElapsedTimer waiting;
    waiting.start();
    bool asked = false;
    while (!window.Form_Load()) {
        if (AskRunningCopyToComeForward(window.AppPath())) return false;
        if (!asked && waiting.elapsed() >= askAfter.count()) {
            asked = true;
            const QString text =
                QStringLiteral("Vorlisk is already running on %1, but its window does not come "
                               "forward.\n\nWait until that copy ends, then open?")
                    .arg(ToQt(window.AppPath()));
            if (!ui.AskYesNo(nullptr, text, QStringLiteral("Vorlisk"))) return false;
        }
        QThread::msleep(100);
    }
    return true;
}

bool StopListeningForLaterStarts(QWidget& window) {
    QObject* listener =
        window.findChild<QObject*>(QLatin1String(kListenerName), Qt::FindDirectChildrenOnly);
    delete listener;
    return listener != nullptr;
}

}  // namespace vorlisk
