#include "launch/mountscript.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "system/asciicase.h"
#include "system/commandline.h"
#include "system/files.h"
#include "system/processes.h"
#include "system/textfile.h"

namespace vorlisk {

namespace {

// A Windows emulator boots the disc in the drive that DAEMON Tools put the image in. A folder
// mounted by fuseiso is no drive that a Linux emulator boots from.
#ifdef _WIN32
constexpr bool kEmulatorBootsTheDrive = true;
#else
constexpr bool kEmulatorBootsTheDrive = false;
#endif

// Blanks off both ends, then TABs off the start. Blanks after those TABs, and TABs at the
// end, stay.
std::string NormaliseLine(const std::string& raw) {
    size_t first = raw.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    size_t last = raw.find_last_not_of(' ');
    std::string_view line(raw.data() + first, last - first + 1);
    size_t text = line.find_first_not_of('\t');
    if (text == std::string_view::npos) return {};
    return std::string(line.substr(text));
}

enum class LineKind { Condition, EndIf, Else, Stop, Nothing, Comment, Command };

LineKind Classify(const std::string& line) {
    if (BeginsWithIgnoringCase(line, "if ") || BeginsWithIgnoringCase(line, "elseif "))
        return LineKind::Condition;
    if (EqualIgnoringCase(line, "end if") || EqualIgnoringCase(line, "endif"))
        return LineKind::EndIf;
    if (EqualIgnoringCase(line, "else")) return LineKind::Else;
    if (EqualIgnoringCase(line, "stop")) return LineKind::Stop;
    if (line.empty()) return LineKind::Nothing;
    if (line[0] == ';') return LineKind::Comment;
    return LineKind::Command;
}

// The argument of a condition form: the text from `start` (0-based) up to, not including, the
// next `end` character. Nothing when that character never comes.
std::optional<std::string> ArgumentUpTo(std::string_view rest, size_t start, char end) {
    if (start > rest.size()) return std::nullopt;
    size_t stop = rest.find(end, start);
    if (stop == std::string_view::npos) return std::nullopt;
    return std::string(rest.substr(start, stop - start));
}

// The image path as one argument of a command line, quoted whatever it holds.
std::string QuotedImage(const std::string& imagePath) {
    return "\"" + EscapeInsideQuotes(imagePath) + "\"";
}

// `line` with %image% replaced by the quoted image path and %gameid% by the game ID, letters of
// the placeholders in any case. What is put in is not looked at again, and nothing else in the
// line changes.
std::string ReplacePlaceholders(const std::string& line, const std::string& imagePath,
                                const std::string& gameId) {
    static constexpr std::string_view kImage = "%image%", kGameId = "%gameid%";
    std::string result;
    size_t at = 0;
    for (size_t percent; (percent = line.find('%', at)) != std::string::npos;) {
        std::string_view rest = std::string_view(line).substr(percent);
        result.append(line, at, percent - at);
        if (BeginsWithIgnoringCase(rest, kImage)) {
            result += QuotedImage(imagePath);
            at = percent + kImage.size();
        } else if (BeginsWithIgnoringCase(rest, kGameId)) {
            result += QuoteArgument(gameId);
            at = percent + kGameId.size();
        } else {
            result += '%';
            at = percent + 1;
        }
    }
    result.append(line, at);
    return result;
}

class Interpreter {
  public:
    Interpreter(const std::string& imagePath, std::string discGameId, MountScriptHost& host)
        : imagePath_(imagePath), discGameId_(std::move(discGameId)), host_(host) {}

    // True once a command line of the game's branch came up or the script asked the user
    // something: the script had something to do for this game.
    bool Acted() const { return acted_; }

    // Carries out one line; false when the script ends here.
    bool Line(const std::string& raw) {
        const std::string line = NormaliseLine(raw);
        switch (Classify(line)) {
            case LineKind::Condition: {
                // The keyword and the blank after it go; the rest is the condition.
                std::string_view rest = std::string_view(line).substr(line.find(' ') + 1);
                branchActive_ = Condition(rest);
                if (branchActive_) branchTaken_ = true;
                return true;
            }
            case LineKind::EndIf:
                branchActive_ = true;
                branchTaken_ = false;
                return true;
            case LineKind::Else:
                branchActive_ = !branchTaken_;
                return true;
            case LineKind::Stop:
                return false;
            case LineKind::Nothing:
            case LineKind::Comment:
                return true;
            case LineKind::Command:
                if (branchActive_) {
                    acted_ = true;
                    Command(line);
                }
                return true;
        }
        return true;
    }

  private:
    bool Condition(std::string_view rest) {
        if (BeginsWithIgnoringCase(rest, "exists \"")) {
            auto path = ArgumentUpTo(rest, 8, '"');
            return path && host_.FileExists(*path);
        }
        if (BeginsWithIgnoringCase(rest, "gameid = ")) {
            // The ID ends at the next blank: "gameid = SLUS-00594 then".
            auto id = ArgumentUpTo(rest, 9, ' ');
            return id && EqualIgnoringCase(*id, discGameId_);
        }
        if (BeginsWithIgnoringCase(rest, "msgbox(\"")) {
            auto question = ArgumentUpTo(rest, 8, '"');
            if (!question) return false;
            acted_ = true;
            return host_.AskYesNo(*question);
        }
        if (BeginsWithIgnoringCase(rest, "not running \"")) {
            auto name = ArgumentUpTo(rest, 13, '"');
            return name && !host_.IsRunning(*name);
        }
        if (BeginsWithIgnoringCase(rest, "image = \"")) {
            auto path = ArgumentUpTo(rest, 9, '"');
            if (!path) return false;
            std::string shortPath = host_.ShortPathName(*path);
            return EqualIgnoringCase(imagePath_, shortPath) ||
                   EqualIgnoringCase(imagePath_, "\"" + shortPath + "\"");
        }
        return false;
    }

    void Command(const std::string& scriptLine) {
        std::string line = ReplacePlaceholders(scriptLine, imagePath_, discGameId_);
        if (EndsWithIgnoringCase(line, "vgs.exe")) {
            // Connectix Virtual Game Station: an open window gets Enter instead of a second
            // copy; otherwise it starts from the line, or from its recorded installation.
            if (host_.ActivateWindowAndSendEnter(kVgsWindowTitle)) return;
            if (!host_.FileExists(line))
                line =
                    host_.ReadRegistryValue(kVgsLocationRoot, kVgsLocationKey, kVgsLocationValue);
            // No file and no recorded location: nothing to start. (On Windows the empty name
            // counts as running, since some .exe always runs; Linux may have none.)
            if (line.empty()) return;
        }
        // Asked with the whole line: a line with arguments is never seen as running.
        if (!host_.IsRunning(line)) host_.StartCommandLine(line, ShowState::Normal);
    }

    const std::string& imagePath_;
    const std::string discGameId_;
    MountScriptHost& host_;
    bool branchActive_ = true;
    bool branchTaken_ = false;
    bool acted_ = false;
};

}  // namespace

std::string MountScriptPath(const std::string& windowsDirectory) {
    return windowsDirectory + "daemount.ini";
}

LaunchResult RunMountScript(const std::string& imagePath, int emulatorIndex,
                            const std::array<std::string, 4>& emulatorPaths, MountScriptHost& host,
                            bool imageInDrive) {
    const std::string* emulator = emulatorIndex >= 1 && emulatorIndex <= 4
                                      ? &emulatorPaths[static_cast<size_t>(emulatorIndex - 1)]
                                      : nullptr;
    if (emulator && host.IsProgramFile(*emulator)) {
        std::string line = *emulator;
        // Without a drive that holds the disc, the emulator gets the image itself as its one
        // argument.
        if (!(kEmulatorBootsTheDrive && imageInDrive) && host.FileExists(imagePath))
            line = QuoteArgument(*emulator) + " " + QuotedImage(imagePath);
        host.StartCommandLine(line, ShowState::Minimized);
        return {};
    }

    const std::string folder = host.WindowsDirectory();
    // Read once, before the script is looked at, whether or not the script asks for it.
    Interpreter interpreter(imagePath, host.DiscGameId(), host);
    // The data folder's script comes first: a user cannot write the Windows folder.
    const std::string dataFolder = host.DataFolder();
    LaunchResult result;
    result.launch = Launch::NoScript;
    if (emulator) {
        result.emulatorNotProgram = *emulator;
        result.emulatorMissing = !host.FileExists(*emulator);
    }
    result.scriptPath = MountScriptPath(dataFolder.empty() ? folder : dataFolder);
    bool found = false;
    for (const std::string& place : {dataFolder, folder}) {
        found = !place.empty() && host.FileExists(MountScriptPath(place));
        if (found) {
            result.scriptPath = MountScriptPath(place);
            break;
        }
    }
    if (!found) return result;

    // A script that cannot be read to its end starts nothing after the failed read, and is said.
    LineReader reader(result.scriptPath, LineEnds::HandWritten);
    std::string line;
    while (reader.Next(line))
        if (!interpreter.Line(line)) break;
    if (reader.Failed()) {
        result.launch = Launch::UnreadableScript;
        result.failureReason = reader.FailureReason();
    } else {
        result.launch = interpreter.Acted() ? Launch::Started : Launch::NothingInScript;
    }
    return result;
}

namespace {

// What is wrong with the chosen emulator's path.
std::string EmulatorState(const LaunchResult& result) {
    const std::string& path = result.emulatorNotProgram;
    if (path.empty()) return "the game's emulator has no program set";
    if (result.emulatorMissing) return "the game's emulator program " + path + " is missing";
    return "the game's emulator " + path + " is not a program file";
}

}  // namespace

std::string NothingStartedMessage(const LaunchResult& result, int emulatorIndex,
                                  const std::string& pathsButton) {
    const bool emulator = emulatorIndex >= 1 && emulatorIndex <= 4;
    const std::string& scriptPath = result.scriptPath;
    switch (result.launch) {
        case Launch::Started:
            return {};
        case Launch::NoScript:
            return emulator ? "Nothing was started: " + EmulatorState(result) +
                                  ", and there is no launch script " + scriptPath +
                                  ".\n\nSet the emulator's path with " + pathsButton +
                                  ", or write a launch script there."
                            : "Nothing was started: there is no launch script " + scriptPath +
                                  ".\n\nWrite a launch script there, or choose an emulator "
                                  "for the game and set its path with " +
                                  pathsButton + ".";
        case Launch::NothingInScript:
            return "Nothing was started: the launch script " + scriptPath +
                   " has no command line for this game.\n\nAdd one to the script" +
                   (emulator ? ", or set the emulator's path with " + pathsButton + "." : ".");
        case Launch::UnreadableScript:
            return "The launch script " + scriptPath + " could not be read (" +
                   result.failureReason + "): what follows the failed read was not carried out.";
    }
    return {};
}

ServicesMountScriptHost::ServicesMountScriptHost(SystemServices& services,
                                                 std::function<std::string()> discGameId,
                                                 std::function<bool(const std::string&)> askYesNo,
                                                 Watch watch)
    : services_(services),
      discGameId_(std::move(discGameId)),
      askYesNo_(std::move(askYesNo)),
      watch_(std::move(watch)) {}

bool ServicesMountScriptHost::FileExists(const std::string& path) {
    return vorlisk::FileExists(path);
}

bool ServicesMountScriptHost::IsProgramFile(const std::string& path) {
    return vorlisk::IsProgramFile(path);
}

std::string ServicesMountScriptHost::DiscGameId() {
    return discGameId_ ? discGameId_() : std::string();
}

bool ServicesMountScriptHost::IsRunning(const std::string& name) {
    return services_.IsRunning(name);
}

std::string ServicesMountScriptHost::ShortPathName(const std::string& path) {
    return services_.ShortPathName(path);
}

std::string ServicesMountScriptHost::WindowsDirectory() { return services_.WindowsDirectory(); }

std::string ServicesMountScriptHost::DataFolder() { return services_.ApplicationFolder(); }

bool ServicesMountScriptHost::AskYesNo(const std::string& question) {
    return askYesNo_ && askYesNo_(question);
}

bool ServicesMountScriptHost::ActivateWindowAndSendEnter(const std::string& title) {
    return services_.ActivateWindowAndSendEnter(title);
}

std::string ServicesMountScriptHost::ReadRegistryValue(unsigned long root, const std::string& key,
                                                       const std::string& name) {
    return services_.GetKeyValue(root, key, name);
}

void ServicesMountScriptHost::StartCommandLine(const std::string& commandLine, ShowState state) {
    // A program that could not be started comes back with its failure, to be told too.
    std::unique_ptr<StartedProgram> program = services_.StartCommandLine(commandLine, state);
    if (program && watch_) watch_(commandLine, std::move(program));
}

}  // namespace vorlisk
