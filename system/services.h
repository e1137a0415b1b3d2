#pragma once
// What the program asks of the operating system. The windows receive one of these at
// construction: the program hands the real one (PlatformServices), tests hand fakes.

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vorlisk {

// Window states for a started program.
enum class ShowState { Normal = 1, Minimized = 2 };

// The file in the data folder that a running copy holds locked.
inline constexpr const char* kInstanceLockName = "vorlisk.lock";

// The outcome of running a program to its end.
struct ProgramRun {
    bool started = false;   // the program could be executed
    bool finished = false;  // it ended within the time limit
    int exitCode = -1;      // its exit code when it ended normally
    bool stillRunning = false;  // it did not end and was left running (Windows)
    std::string output;     // what it wrote to its standard output
    std::string errors;     // what it wrote to its standard error
};

// How long a started program is watched for an end that tells it failed.
inline constexpr std::chrono::seconds kStartWatch{5};

// What a started program did in its first kStartWatch, as far as is known yet.
struct StartOutcome {
    bool known = false;  // false while it runs and is still watched
    bool ended = false;  // it ended within the watch
    int exitCode = -1;   // when it ended: its exit code, or 128 + the signal that ended it
    std::string output;  // when it ended: the end of what it wrote to its standard output and error
    std::string failure;  // when it could not be started or run: why, the program named first
};

// A program started by StartCommandLine, watched for its first seconds. Dropping it ends the
// watch; the program runs on.
class StartedProgram {
  public:
    virtual ~StartedProgram() = default;
    // What is known now; never waits.
    virtual StartOutcome Poll() = 0;
    // True once the program has ended, within the watch or long after it; never waits.
    virtual bool Ended() = 0;
};

class SystemServices {
  public:
    virtual ~SystemServices() = default;

    // The folder of the data files (AppPath), ending in one separator.
    virtual std::string ApplicationFolder() = 0;
    // The folder of the running program's executable, ending in one separator; what ships
    // with the program lies there or in the folders it was installed with.
    virtual std::string ProgramFolder() = 0;
    // False when another copy of the program already runs for this user or on its data
    // folder (the real services keep the file kInstanceLockName there while they run).
    virtual bool ClaimSingleInstance() = 0;

    // Roots of the CD-ROM drives, each ending in a separator, in the order they are
    // searched for a PlayStation disc (Z: down to C: on Windows).
    virtual std::vector<std::string> CdromRoots() = 0;

    // Starts a command line as a new process without waiting for it, its output watched for
    // kStartWatch. Nothing for an empty line; a program that cannot be started answers an
    // outcome with its failure.
    virtual std::unique_ptr<StartedProgram> StartCommandLine(const std::string& commandLine,
                                                             ShowState state) = 0;
    // Starts a command line as StartCommandLine does and waits for it to end, at most
    // `limit`, or until `stopWaiting` (asked every few milliseconds, when given) answers true.
    // Linux collects its error output and ends a program it stops waiting for; Windows
    // collects no output and leaves such a program running (DAEMON Tools may stay).
    virtual ProgramRun RunCommandLine(const std::string& commandLine, ShowState state,
                                      std::chrono::milliseconds limit,
                                      const std::function<bool()>& stopWaiting) = 0;
    // Brings forward the window titled `title` (equal, else beginning with it) and sends it
    // the Enter key. False when there is no such window.
    virtual bool ActivateWindowAndSendEnter(const std::string& title) = 0;

    virtual bool IsRunning(const std::string& name) = 0;
    virtual std::string WindowsDirectory() = 0;
    virtual std::string ShortPathName(const std::string& path) = 0;
    virtual std::string GetKeyValue(unsigned long keyRoot, const std::string& keyName,
                                    const std::string& valueName) = 0;
    virtual bool SetKeyValue(unsigned long keyRoot, const std::string& keyName, unsigned long type,
                             const std::string& valueName, std::string& value) = 0;
};

// The real services of this platform.
class PlatformServices : public SystemServices {
  public:
    std::string ApplicationFolder() override;
    std::string ProgramFolder() override;
    bool ClaimSingleInstance() override;
    std::vector<std::string> CdromRoots() override;
    std::unique_ptr<StartedProgram> StartCommandLine(const std::string& commandLine,
                                                     ShowState state) override;
    ProgramRun RunCommandLine(const std::string& commandLine, ShowState state,
                              std::chrono::milliseconds limit,
                              const std::function<bool()>& stopWaiting) override;
    bool ActivateWindowAndSendEnter(const std::string& title) override;
    bool IsRunning(const std::string& name) override;
    std::string WindowsDirectory() override;
    std::string ShortPathName(const std::string& path) override;
    std::string GetKeyValue(unsigned long keyRoot, const std::string& keyName,
                            const std::string& valueName) override;
    bool SetKeyValue(unsigned long keyRoot, const std::string& keyName, unsigned long type,
                     const std::string& valueName, std::string& value) override;
};

// Prepares this process for the run, once at start: a write beyond the file-size limit then
// fails like a write to a full disk, and the failed save says so, instead of ending the
// program in the middle of it.
void LetOversizedWritesFail();

}  // namespace vorlisk
