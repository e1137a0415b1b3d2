// Later starts set a named event of the running copy, made from the data folder's path
// (case folded, as Windows compares paths).

#include <QCryptographicHash>
#include <QWidget>
#include <QWinEventNotifier>
#include <string>

#include <windows.h>
#include "app/ui/comeforward.h"
#include "app/ui/text.h"

namespace vorlisk {

namespace {

std::wstring EventName(const std::string& appPath) {
    const QByteArray digest =
        QCryptographicHash::hash(ToQt(appPath).toLower().toUtf8(), QCryptographicHash::Sha1)
            .toHex();
    return L"Local\\Vorlisk.ComeForward." + QString::fromLatin1(digest).toStdWString();
}

}  // namespace

void ListenForLaterStarts(QWidget& window, const std::string& appPath) {
    HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, EventName(appPath).c_str());
    if (event == nullptr) return;
    auto* notifier = new QWinEventNotifier(event, &window);
    notifier->setObjectName(QLatin1String(kListenerName));
    QObject::connect(notifier, &QWinEventNotifier::activated, &window,
                     [&window] { BringToFront(window); });
    QObject::connect(notifier, &QObject::destroyed, [event] { ::CloseHandle(event); });
}

bool AskRunningCopyToComeForward(const std::string& appPath) {
    HANDLE event = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, EventName(appPath).c_str());
    if (event == nullptr) return false;
    // Windows lets only the program in the foreground (this start) hand the foreground on.
    ::AllowSetForegroundWindow(ASFW_ANY);
    const bool asked = ::SetEvent(event) != 0;
    ::CloseHandle(event);
    return asked;
}

}  // namespace vorlisk
