#pragma once
// Fake outside world for driving the real windows in tests, and the real one in a test folder.

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/ui/userinterface.h"
#include "system/services.h"

namespace vorlisk::testing {

class FakeSystem : public SystemServices {
  public:
    std::string appFolder;
    std::string programFolder;
    bool otherCopyRunning = false;
    std::vector<std::string> cdromRoots;
    std::vector<std::pair<std::string, ShowState>> started;  // every start, waited for or not
    std::vector<std::string> waitedFor;                      // the starts run to their end
    ProgramRun runAnswer{.started = true, .finished = true, .exitCode = 0};
    // Called while the window waits, on the thread that waits.
    std::function<void(const std::string&)> whileRunning;
    // The program waited for runs until the window stops waiting, and is then ended.
    bool runsUntilStopped = false;
    std::vector<std::string> runningNames;
    std::vector<std::string> openWindows;
    std::vector<std::string> activated;
    std::string windowsFolder;

    std::string ApplicationFolder() override { return appFolder; }
    std::string ProgramFolder() override { return programFolder; }
    bool ClaimSingleInstance() override { return !otherCopyRunning; }
    std::vector<std::string> CdromRoots() override { return cdromRoots; }
    std::unique_ptr<StartedProgram> StartCommandLine(const std::string& commandLine,
                                                     ShowState state) override {
        started.emplace_back(commandLine, state);
        return nullptr;
    }
    ProgramRun RunCommandLine(const std::string& commandLine, ShowState state,
                              std::chrono::milliseconds,
                              const std::function<bool()>& stopWaiting) override {
        started.emplace_back(commandLine, state);
        waitedFor.push_back(commandLine);
        if (whileRunning) whileRunning(commandLine);
        if (!runsUntilStopped) return runAnswer;
        while (!stopWaiting()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return {.started = true};
    }
    bool ActivateWindowAndSendEnter(const std::string& title) override {
        for (const auto& window : openWindows)
            if (window == title) {
                activated.push_back(title);
                return true;
            }
        return false;
    }
    bool IsRunning(const std::string& name) override {
        for (const auto& running : runningNames)
            if (running == name) return true;
        return false;
    }
    std::string WindowsDirectory() override { return windowsFolder; }
    std::string ShortPathName(const std::string& path) override { return path; }
    std::string GetKeyValue(unsigned long, const std::string&, const std::string&) override {
        return {};
    }
    bool SetKeyValue(unsigned long, const std::string&, unsigned long, const std::string&,
                     std::string& value) override {
        value.clear();
        return false;
    }
};

// The real services of the platform, with the program's folders in the test's folder and no
// one-copy lock, for tests that start real programs.
class FolderServices : public PlatformServices {
  public:
    explicit FolderServices(std::string folder) : folder_(std::move(folder)) {}
    std::string ApplicationFolder() override { return folder_; }
    std::string ProgramFolder() override { return folder_; }
    bool ClaimSingleInstance() override { return true; }

  private:
    std::string folder_;
};

class FakeUserInterface : public UserInterface {
  public:
    struct Message {
        QString text;
        QString title;
        MessageIcon icon;
    };
    struct FileRequest {
        QStringList filters;
        QString title;
        QString startIn;
    };
    std::vector<Message> messages;
    std::vector<QString> questions;
    std::deque<bool> answers;  // Yes/No answers in order; No when none is left
    std::vector<std::pair<QString, QString>> inputRequests;  // prompt, pre-filled text
    std::deque<QString> inputAnswers;
    std::vector<FileRequest> fileRequests;
    std::deque<QString> fileAnswers;
    std::vector<QString> folderRequests;
    std::deque<QString> folderAnswers;
    std::vector<QString> openedAddresses;
    int ended = 0;
    // Runs while a message box, question or input box is open, as a real modal box runs the event
    // loop and takes the focus away from the window.
    std::function<void()> whileOpen;

    void ShowMessage(QWidget*, const QString& text, const QString& title,
                     MessageIcon icon) override {
        messages.push_back({text, title, icon});
        if (whileOpen) whileOpen();
    }
    bool AskYesNo(QWidget*, const QString& text, const QString&) override {
        questions.push_back(text);
        if (whileOpen) whileOpen();
        return Next(answers, false);
    }
    QString InputBox(QWidget*, const QString& prompt, const QString&,
                     const QString& text) override {
        inputRequests.emplace_back(prompt, text);
        if (whileOpen) whileOpen();
        return Next(inputAnswers, QString());
    }
    QString ChooseFile(QWidget*, const QStringList& filters, const QString& title,
                       const QString& startIn) override {
        fileRequests.push_back({filters, title, startIn});
        return Next(fileAnswers, QString());
    }
    QString ChooseFolder(QWidget*, const QString& title) override {
        folderRequests.push_back(title);
        return Next(folderAnswers, QString());
    }
    void OpenAddress(const QString& address) override { openedAddresses.push_back(address); }
    void EndProgram() override { ++ended; }

  private:
    template <typename T>
    static T Next(std::deque<T>& queue, T otherwise) {
        if (queue.empty()) return otherwise;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

}  // namespace vorlisk::testing
