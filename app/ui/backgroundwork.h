#pragma once
// Long work of the main window (reading a folder of disc images, waiting for a mount) runs on
// a thread of its own while the window keeps painting; a progress box shows how far it is.

#include <QString>
#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>

class QWidget;

namespace vorlisk {

// What the work and the window share while it runs.
struct WorkProgress {
    std::atomic<size_t> done{0};
    std::atomic<size_t> total{0};  // 0 while unknown: the box shows that it is busy
    std::atomic<bool> cancelled{false};

    // Stores how far the work is; false once it is cancelled, which ends it at this step.
    bool Tell(size_t doneNow, size_t totalNow) {
        done.store(doneNow, std::memory_order_relaxed);
        total.store(totalNow, std::memory_order_relaxed);
        return !cancelled.load(std::memory_order_relaxed);
    }
};

class BackgroundWork {
  public:
    // How long the work runs before the progress box shows, and how often the box is updated.
    static constexpr int kBoxDelayMs = 500;
    static constexpr int kUpdateMs = 50;

    // The box's text for `done` of `total` (total 0 while unknown).
    using Label = std::function<QString(size_t done, size_t total)>;

    BackgroundWork(QWidget* window, Label label, QString cancelText);
    ~BackgroundWork();
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    // Runs `work` on its own thread and returns when it has ended. Meanwhile the window
    // paints; input for it waits until the box shows, which is modal to the window and whose
    // Cancel (or Escape) sets `cancelled`. When the program's event loops are told to end, the
    // work is cancelled too. True when the work ran to its end, false when it was cancelled.
    bool Run(const std::function<void(WorkProgress&)>& work);

    // Cancels the work and waits until it has stopped.
    void Cancel();

  private:
    QWidget* window_;
    Label label_;
    QString cancelText_;
    WorkProgress progress_;
    std::thread worker_;
    std::atomic<bool> ended_{false};
};

}  // namespace vorlisk
