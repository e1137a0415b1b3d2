#pragma once
// The launcher: starts the game's emulator by its path, or carries out the user's mount
// script daemount.ini, which decides per disc, per image or by a question which programs to
// start. Everything it asks of the outside world goes through MountScriptHost.

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "system/services.h"

namespace vorlisk {

class MountScriptHost {
  public:
    virtual ~MountScriptHost() = default;
    // True when a file exists at `path` and is longer than 0 bytes.
    virtual bool FileExists(const std::string& path) = 0;
    // True when `path` names a program file (see IsProgramFile).
    virtual bool IsProgramFile(const std::string& path) = 0;
    // The game ID of the PlayStation disc in a CD-ROM drive, or empty.
    virtual std::string DiscGameId() = 0;
    virtual bool IsRunning(const std::string& name) = 0;
    virtual std::string ShortPathName(const std::string& path) = 0;
    // The Windows folder, where the launch script is read when the data folder has none;
    // ending in a separator.
    virtual std::string WindowsDirectory() = 0;
    // The folder of the data files, where the launch script is read first; ending in a
    // separator.
    virtual std::string DataFolder() = 0;
    // Asks `question` with Yes and No; Yes -> true.
    virtual bool AskYesNo(const std::string& question) = 0;
    virtual bool ActivateWindowAndSendEnter(const std::string& title) = 0;
    virtual std::string ReadRegistryValue(unsigned long root, const std::string& key,
                                          const std::string& name) = 0;
    virtual void StartCommandLine(const std::string& commandLine, ShowState state) = 0;
};

// The title of Connectix Virtual Game Station's window, and where its installation is
// recorded.
inline constexpr const char* kVgsWindowTitle = "Connectix Virtual Game Station";
inline constexpr unsigned long kVgsLocationRoot = 0x80000002UL;  // HKEY_LOCAL_MACHINE
inline constexpr const char* kVgsLocationKey =
    "SOFTWARE\\Connectix\\Connectix Virtual Game Station\\General";
inline constexpr const char* kVgsLocationValue = "Location";

// The launch script in the folder `windowsDirectory` (which ends in a separator).
std::string MountScriptPath(const std::string& windowsDirectory);

// What Play found to start for a game.
enum class Launch {
    Started,           // the emulator, or the script had a command line or a question for it
    NoScript,          // no emulator with a valid path, and no launch script
    NothingInScript,   // the script went through without a command line or question for it
    UnreadableScript,  // the script is there but could not be read (to its end)
};

struct LaunchResult {
    Launch launch = Launch::Started;
    // The script carried out, or where the user can write one (the data folder's).
    std::string scriptPath;
    std::string failureReason;  // UnreadableScript: why
    // The path set for the chosen emulator when it names no program file, else empty.
    std::string emulatorNotProgram;
    bool emulatorMissing = false;  // that path names no file at all
};

// Starts the game whose disc image is `imagePath`. `emulatorIndex` is the chosen emulator
// entry (0 "Real PSX", 1 to 4 the emulators, -1 none) and `emulatorPaths` the executable paths
// of entries 1 to 4. An emulator whose path names a program file is started minimized and
// nothing else happens: with the image path as its one argument when that file exists, except
// on Windows when `imageInDrive` (DAEMON Tools mounted the image, and the emulator boots the
// disc in the drive). Otherwise the script daemount.ini of host.DataFolder(), else of
// host.WindowsDirectory(), is carried out line by line. In its command lines %image% becomes
// the image path as one quoted argument and %gameid% the disc's game ID, the placeholders'
// letters in any case.
LaunchResult RunMountScript(const std::string& imagePath, int emulatorIndex,
                            const std::array<std::string, 4>& emulatorPaths, MountScriptHost& host,
                            bool imageInDrive);

// What the user is told when Play started nothing: what is missing and what to do, naming the
// script's path and the caption of the path dialog's button. Empty after Launch::Started.
std::string NothingStartedMessage(const LaunchResult& result, int emulatorIndex,
                                  const std::string& pathsButton);

// The host of the running program: the system services, the plain file test, and the three
// things only the windows can give (the disc's game ID, the yes/no question, and watching
// each started program for its first seconds).
class ServicesMountScriptHost : public MountScriptHost {
  public:
    using Watch = std::function<void(const std::string& commandLine,
                                     std::unique_ptr<StartedProgram> program)>;
    ServicesMountScriptHost(SystemServices& services, std::function<std::string()> discGameId,
                            std::function<bool(const std::string&)> askYesNo, Watch watch);

    bool FileExists(const std::string& path) override;
    bool IsProgramFile(const std::string& path) override;
    std::string DiscGameId() override;
    bool IsRunning(const std::string& name) override;
    std::string ShortPathName(const std::string& path) override;
    std::string WindowsDirectory() override;
    std::string DataFolder() override;
    bool AskYesNo(const std::string& question) override;
    bool ActivateWindowAndSendEnter(const std::string& title) override;
    std::string ReadRegistryValue(unsigned long root, const std::string& key,
                                  const std::string& name) override;
    void StartCommandLine(const std::string& commandLine, ShowState state) override;

  private:
    SystemServices& services_;
    std::function<std::string()> discGameId_;
    std::function<bool(const std::string&)> askYesNo_;
    Watch watch_;
};

}  // namespace vorlisk
