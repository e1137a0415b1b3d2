#include "app/ui/backgroundwork.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <climits>
#include <memory>

namespace vorlisk {

BackgroundWork::BackgroundWork(QWidget* window, Label label, QString cancelText)
    : window_(window), label_(std::move(label)), cancelText_(std::move(cancelText)) {}

BackgroundWork::~BackgroundWork() { Cancel(); }

void BackgroundWork::Cancel() {
    progress_.cancelled = true;
    if (worker_.joinable()) worker_.join();
}

bool BackgroundWork::Run(const std::function<void(WorkProgress&)>& work) {
    QEventLoop loop;
    worker_ = std::thread([this, &work, &loop] {
        work(progress_);
        ended_ = true;
        // Wakes the waiting window at once rather than at its next look.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });

    std::unique_ptr<QProgressDialog> box;
    auto show = [&] {
        const size_t done = progress_.done, total = progress_.total;
        box->setMaximum(static_cast<int>(std::min<size_t>(total, INT_MAX)));
        box->setValue(static_cast<int>(std::min<size_t>(done, INT_MAX)));
        box->setLabelText(label_(done, total));
    };
    QElapsedTimer clock;
    clock.start();
    bool boxDue = false;
    QTimer look;
    look.setInterval(kUpdateMs);
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (ended_) {
            loop.quit();
        } else if (box) {
            show();
        } else if (clock.elapsed() >= kBoxDelayMs) {
            boxDue = true;
            loop.quit();
        }
    });
    look.start();

    // Until the box shows, the window paints but its input waits, as behind a busy handler.
    // A loop that returns for neither reason was ended with the program (QCoreApplication::
    // exit ends every event loop): the work is cancelled then.
    if (!ended_) loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!ended_ && boxDue && !progress_.cancelled) {
        box = std::make_unique<QProgressDialog>(QString(), cancelText_, 0, 0, window_);
        box->setWindowTitle(window_ ? window_->windowTitle() : QString());
        box->setWindowModality(Qt::WindowModal);
        box->setAutoReset(false);
        box->setAutoClose(false);
        box->setMinimumDuration(0);
        auto* text = new QLabel(box.get());
        text->setTextFormat(Qt::PlainText);  // a file name is shown as it is
        box->setLabel(text);
        QObject::connect(box.get(), &QProgressDialog::canceled, &loop,
                         [this] { progress_.cancelled = true; });
        show();
        box->show();
        if (!ended_) loop.exec();
    }
    if (!ended_) progress_.cancelled = true;
    if (worker_.joinable()) worker_.join();
    return !progress_.cancelled;
}

}  // namespace vorlisk
