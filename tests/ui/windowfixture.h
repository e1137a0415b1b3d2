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
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/ui/formGameInventory.h"
#include "app/ui/text.h"
#include "system/widetext.h"
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

// `path` with the separators of the platform, as the program's choosers give it.
inline std::string Native(std::string path) {
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', '\\');
#endif
    return path;
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("vorlisk-ui-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
                   std::to_string(counter_++));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        system.appFolder = Folder();
        // What ships with the program is looked for below the test's folder too.
        system.programFolder = Folder() + Native("bin/");
        // Play looks for its mount helper on PATH too: only the test's own folder is there.
        environment_.Set("PATH", folder_.string());
#ifdef _WIN32
        // Windows looks for DAEMON Tools in the working folder first.
        std::filesystem::current_path(folder_);
#endif
    }
    void TearDown() override {
        window.reset();
#ifdef _WIN32
        std::filesystem::current_path(folder_.parent_path());
#endif
        std::filesystem::remove_all(folder_);
    }

    std::string Folder() const { return Native(folder_.string() + "/"); }
    void Write(const std::string& name, const std::string& content) {
        std::ofstream(PathOf(name), std::ios::binary) << content;
    }
    // A program file `name`, one that Play starts (on Linux: the user may execute it).
    void WriteProgram(const std::string& name) {
        Write(name, "program");
        std::filesystem::permissions(PathOf(name), std::filesystem::perms::owner_exec,
                                     std::filesystem::perm_options::add);
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(PathOf(name), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }
    bool Exists(const std::string& name) const { return std::filesystem::exists(PathOf(name)); }

    // Puts a mount helper where Play and Get look first (Linux: d-tools/daemon in the data
    // folder; Windows: daemon.exe in the working folder), and answers how their command line
    // names it.
    std::string PutMountHelper() {
#ifdef _WIN32
        Write("daemon.exe", "MZ");
        return "daemon";
#else
        std::filesystem::create_directories(folder_ / "d-tools");
        Write("d-tools/daemon", "#!/bin/sh\n");
        return Folder() + "d-tools/daemon";
#endif
    }

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
    // The file `name` of the test's folder, its bytes read as the program's file calls read them.
    std::filesystem::path PathOf(const std::string& name) const {
#ifdef _WIN32
        return folder_ / WideText(name);
#else
        return folder_ / name;
#endif
    }

    std::filesystem::path folder_;
    ScopedEnvironment environment_;
    static inline int counter_ = 0;
};

}  // namespace vorlisk::testing
