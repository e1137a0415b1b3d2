#pragma once
// What the benchmarks share: quiet outside services for a main window on a temp folder, and
// the main function that runs the benchmarks under an offscreen QApplication.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/ui/formGameInventory.h"
#include "app/ui/userinterface.h"
#include "system/services.h"

namespace vorlisk::bench {

class QuietSystem : public SystemServices {
  public:
    explicit QuietSystem(std::string folder) : folder_(std::move(folder)) {}
    std::vector<std::string> cdromRoots;
    std::string ApplicationFolder() override { return folder_; }
    std::string ProgramFolder() override { return folder_; }
    bool ClaimSingleInstance() override { return true; }
    std::vector<std::string> CdromRoots() override { return cdromRoots; }
    std::unique_ptr<StartedProgram> StartCommandLine(const std::string&, ShowState) override {
        return nullptr;
    }
    ProgramRun RunCommandLine(const std::string&, ShowState, std::chrono::milliseconds,
                              const std::function<bool()>&) override {
        return {};
    }
    bool ActivateWindowAndSendEnter(const std::string&) override { return false; }
    bool IsRunning(const std::string&) override { return false; }
    std::string WindowsDirectory() override { return folder_; }
    std::string ShortPathName(const std::string& path) override { return path; }
    std::string GetKeyValue(unsigned long, const std::string&, const std::string&) override {
        return {};
    }
    bool SetKeyValue(unsigned long, const std::string&, unsigned long, const std::string&,
                     std::string& value) override {
        value.clear();
        return false;
    }

  private:
    std::string folder_;
};

// Asks nothing and answers No, except for the folder chooser's `folderAnswer` and the input
// box's `inputAnswer`. Counts the
// messages the window shows: in a benchmark any message means that something went wrong.
class QuietUserInterface : public UserInterface {
  public:
    QString folderAnswer;
    QString inputAnswer;
    int messages = 0;
    void ShowMessage(QWidget*, const QString&, const QString&, MessageIcon) override { ++messages; }
    bool AskYesNo(QWidget*, const QString&, const QString&) override { return false; }
    QString InputBox(QWidget*, const QString&, const QString&, const QString&) override {
        return inputAnswer;
    }
    QString ChooseFile(QWidget*, const QStringList&, const QString&, const QString&) override {
        return {};
    }
    QString ChooseFolder(QWidget*, const QString&) override { return folderAnswer; }
    void OpenAddress(const QString&) override {}
    void EndProgram() override {}
};

// A fresh temp folder, removed again at the end.
class TempFolder {
  public:
    explicit TempFolder(const std::string& name)
        : path_(std::filesystem::temp_directory_path() / name) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string Path() const { return path_.string() + "/"; }

  private:
    std::filesystem::path path_;
};

// Runs the benchmarks that the command line selects (all by default).
inline int RunBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Runs the benchmarks with an offscreen QApplication around them, as the windows need one.
inline int RunWithApplication(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RunBenchmarks(argc, argv);
}

}  // namespace vorlisk::bench

// The main function of a benchmark program.
#define VORLISK_BENCHMARK_MAIN() \
    int main(int argc, char** argv) { return vorlisk::bench::RunWithApplication(argc, argv); }
