#pragma once
// A main window started on a temp folder as its program folder, with fake services.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/ui/formGameInventory.h"
#include "app/ui/text.h"
#include "tests/core/environment.h"
#include "tests/ui/fakes.h"

// Failures show texts as texts.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace vorlisk::testing {

// Presses a key as the window system does: the key arrives at the window, shortcuts and
// access keys are tried, and it goes on to the control with the focus.
inline void PressKey(QWidget& window, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QTest::keyClick(window.windowHandle(), key, modifiers);
}

// The progress box that long work of `window` shows, or nothing while none is shown.
inline QProgressDialog* ShownProgressBox(QWidget& window) {
    for (QProgressDialog* box : window.findChildren<QProgressDialog*>())
        if (box->isVisible()) return box;
    return nullptr;
}

// Runs `look` every few milliseconds from the event loop, as long as it lives: while the window
// works, it shows that the window still answers events.
class EventLoopProbe {
  public:
    explicit EventLoopProbe(std::function<void()> look) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this, look = std::move(look)] {
            ++ticks;
            look();
        });
        timer_.start();
    }
    int ticks = 0;

  private:
    QTimer timer_;
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("vorlisk-ui-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
                   std::to_string(counter_++));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        system.appFolder = folder_.string() + "/";
        // What ships with the program is looked for below the test's folder too.
        system.programFolder = folder_.string() + "/bin/";
        // Play looks for its mount helper on PATH too: only the test's own folder is there.
        environment_.Set("PATH", folder_.string());
    }
    void TearDown() override {
        window.reset();
        std::filesystem::remove_all(folder_);
    }

    std::string Folder() const { return folder_.string() + "/"; }
    void Write(const std::string& name, const std::string& content) {
        std::ofstream(folder_ / name, std::ios::binary) << content;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(folder_ / name, std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(folder_ / name); }

    // Creates the window and runs its start-up.
    formGameInventory& Start() {
        window = std::make_unique<formGameInventory>(system, ui);
        started = window->Form_Load();
        return *window;
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        const GameLists& lists = window->Inventory().Lists();
        for (int i = 0; i < lists.Count(); ++i) names.push_back(lists.Name(i));
        return names;
    }
    // The list row of the first game called `name`, selected as a click would.
    void Click(const std::string& name) {
        window->SelectGame(window->Inventory().Lists().FindName(name));
    }
    std::string SelectedRecord() const {
        int row = window->SelectedGame();
        return row < 0 ? std::string() : window->Inventory().Lists().RecordOf(row);
    }

    FakeSystem system;
    FakeUserInterface ui;
    std::unique_ptr<formGameInventory> window;
    bool started = false;

  private:
    std::filesystem::path folder_;
    ScopedEnvironment environment_;
    static inline int counter_ = 0;
};

}  // namespace vorlisk::testing
