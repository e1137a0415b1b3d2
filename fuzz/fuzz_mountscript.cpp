// The launch script: any daemount.ini is carried out to its end or its "stop", and every
// program it starts is one whole line of the script.

#include <array>

#include "fuzz/fuzzing.h"
#include "launch/mountscript.h"

using namespace vorlisk;
using namespace vorlisk::fuzzing;

namespace {

// An outside world whose answers depend only on what is asked, so that every branch is taken
// by some input.
class FuzzHost : public MountScriptHost {
  public:
    bool FileExists(const std::string& path) override { return path.size() % 2 == 1; }
    std::string DiscGameId() override { return "SLUS-00594"; }
    bool IsRunning(const std::string& name) override { return name.size() % 3 == 0; }
    std::string ShortPathName(const std::string& path) override { return path; }
    std::string WindowsDirectory() override { return ScratchFolder(); }
    bool AskYesNo(const std::string& question) override { return question.size() % 2 == 0; }
    bool ActivateWindowAndSendEnter(const std::string& title) override {
        return title.size() % 2 == 0;
    }
    std::string ReadRegistryValue(unsigned long, const std::string&, const std::string&) override {
        return "C:\\VGS\\VGS.EXE";
    }
    void StartCommandLine(const std::string& commandLine, ShowState) override {
        Check(!commandLine.empty(), "a started command line is not empty");
        Check(commandLine.find_first_of("\r\n") == std::string::npos,
              "a started command line is one line");
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteScratchFile("daemount.ini", data, size);
    FuzzHost host;
    // "Real PSX": no emulator of its own, so the script decides.
    RunMountScript("/games/Final Fantasy VII.iso", 0, std::array<std::string, 4>{}, host);
    return 0;
}
