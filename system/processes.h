#pragma once
// Running programs: whether one runs, starting a command line, and bringing a window
// forward. The matching rules are plain functions so that they are tested without any
// process or window; the rest lives in the platform files.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "system/services.h"

namespace vorlisk {

// True when the text that identifies a process (its executable path, or the first word of
// its command line) ends in `myName`, letters compared without regard to case. A name
// without any "." also matches a text that ends in the name followed by ".exe", so that
// "daemon" finds both a Linux daemon and a DAEMON.EXE under Wine. The empty name matches
// only texts ending in ".exe".
bool ProcessNameMatches(const std::string& processText, const std::string& myName);

// A top-level window as the window system lists it.
struct WindowEntry {
    std::string id;
    std::string title;
};

// The window to activate for `title`: the first whose title equals it, failing that the first
// whose title begins with it; letters compared without regard to case. Nothing when none fits.
std::optional<size_t> ChooseWindow(const std::vector<WindowEntry>& windows,
                                   const std::string& title);

// `text` with every character that a POSIX extended regular expression treats specially
// escaped by a backslash, so that the pattern matches the text literally.
std::string EscapeRegexText(const std::string& text);

// True when at least one running process matches `myName` (see ProcessNameMatches) by its
// executable or the first word of its command line, or, when its executable is a script
// interpreter (sh, bash, python3, perl, ...), by the script it runs.
bool IsProcessRunning(const std::string& myName);

// Starts `commandLine` as a new process, detached from this one and never waited for, its
// standard output and error watched for `watch`. On Linux the line is split by
// SplitProgramAndArguments, and a program without a folder is looked up on the search path;
// the process that watches it is named kRelayName, and the program outlives it. Nothing for an
// empty command line; a program that is not found or cannot be run ends at once with a failure
// that names it and says why.
std::unique_ptr<StartedProgram> StartDetached(const std::string& commandLine,
                                              std::chrono::milliseconds watch = kStartWatch);

// The name in the process list of the process that watches a started program.
inline constexpr char kRelayName[] = "vorlisk-relay";

// A start that failed before any program ran: its outcome, known at once, is `failure`.
std::unique_ptr<StartedProgram> FailedStart(std::string failure);

// True when `path` names a program file: on Linux a regular file that this user may execute,
// on Windows an existing file longer than 0 bytes.
bool IsProgramFile(const std::string& path);

// The last `count` lines of `text`, without the line ends and blank lines around them.
std::string LastLines(const std::string& text, size_t count);

// Brings forward the window chosen by ChooseWindow and sends it the Enter key. False when the
// window system cannot be asked or no window fits.
bool ActivateWindowByTitleAndSendEnter(const std::string& title);

// The folders of a POSIX search path (PATH), in order, each ending in "/"; an empty entry
// is the working folder, "./".
std::vector<std::string> SearchPathFolders(const std::string& pathVariable);

#ifndef _WIN32
// The path of the executable file `name` in the folders of PATH, or empty.
std::string FindProgramOnPath(const std::string& name);

// Runs `arguments` (program first; without a "/" looked up on PATH) without a shell, with
// its input from /dev/null, and waits at most `limit`, or until `stopWaiting` (when given)
// answers true; a program still running then is killed together with its process group.
ProgramRun RunProgram(const std::vector<std::string>& arguments, std::chrono::milliseconds limit,
                      const std::function<bool()>& stopWaiting = {});
#endif

}  // namespace vorlisk
