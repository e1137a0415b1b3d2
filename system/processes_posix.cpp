#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string_view>

#include "system/commandline.h"
#include "system/processes.h"
#include "system/services.h"

namespace vorlisk {

namespace {

bool AllDigits(const char* text) {
    if (*text == '\0') return false;
    for (; *text; ++text)
        if (*text < '0' || *text > '9') return false;
    return true;
}

// The target of a symbolic link such as /proc/PID/exe, or empty. The kernel marks the
// executable of a process whose file was replaced or removed with " (deleted)"; the
// process still runs that program, so the mark is dropped.
std::string ReadLinkText(const std::string& path) {
    char buffer[PATH_MAX];
    ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer);
    if (length <= 0) return {};
    std::string target(buffer, static_cast<size_t>(length));
    static constexpr std::string_view kDeleted = " (deleted)";
    if (target.size() > kDeleted.size() &&
        target.compare(target.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0)
        target.resize(target.size() - kDeleted.size());
    return target;
}

// The words of /proc/PID/cmdline, as far as its first 4096 bytes reach. Programs under Wine
// show their Windows path as the first word.
std::vector<std::string> ReadCommandWords(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    char buffer[4096];
    ssize_t length;
    do {
        length = ::read(fd, buffer, sizeof buffer);
    } while (length < 0 && errno == EINTR);
    ::close(fd);
    std::vector<std::string> words;
    for (ssize_t start = 0; start < length;) {
        const void* nul = std::memchr(buffer + start, '\0', static_cast<size_t>(length - start));
        ssize_t end = nul ? static_cast<const char*>(nul) - buffer : length;
        words.emplace_back(buffer + start, static_cast<size_t>(end - start));
        start = end + 1;
    }
    return words;
}

// True when the program at `executable` runs scripts: a shell or a script language, whatever
// version its name carries (python3.11, perl5.36.0).
bool IsScriptInterpreter(const std::string& executable) {
    static constexpr std::string_view kInterpreters[] = {
        "sh",   "bash",   "dash", "ash",  "ksh", "mksh",  "zsh",  "csh",  "tcsh",
        "fish", "python", "perl", "ruby", "lua", "tclsh", "wish", "node", "php"};
    std::string_view name = executable;
    name.remove_prefix(name.rfind('/') + 1);  // npos + 1 is 0
    name = name.substr(0, name.find_last_not_of("0123456789.") + 1);
    return std::find(std::begin(kInterpreters), std::end(kInterpreters), name) !=
           std::end(kInterpreters);
}

// The script that an interpreter runs: its first argument after the interpreter's options
// (those beginning with "-", up to a "--"). A relative path is taken from the process's
// working folder. Empty when there is none.
std::string ScriptOf(const std::vector<std::string>& words, const std::string& processFolder) {
    size_t i = 1;
    while (i < words.size() && words[i] != "--" && !words[i].empty() && words[i][0] == '-') ++i;
    if (i < words.size() && words[i] == "--") ++i;
    if (i >= words.size() || words[i].empty()) return {};
    const std::string& script = words[i];
    if (script[0] == '/') return script;
    std::string folder = ReadLinkText(processFolder + "cwd");
    if (folder.empty()) return script;
    return (std::filesystem::path(folder) / script).lexically_normal().string();
}

// True when `text` names a program to start: an executable file, or one found on PATH when
// it has no folder.
bool IsProgram(const std::string& text) {
    return text.find('/') == std::string::npos ? !FindProgramOnPath(text).empty()
                                               : IsProgramFile(text);
}

// What a started program needs, prepared before fork so that the child only makes calls
// that are safe between fork and exec.
struct ExecPlan {
    std::string program;
    std::vector<std::string> arguments;
    std::vector<char*> argv;
    bool ok = false;
};

ExecPlan PlanExec(std::vector<std::string> arguments) {
    ExecPlan plan;
    if (arguments.empty() || arguments[0].empty()) return plan;
    plan.program = arguments[0];
    if (plan.program.find('/') == std::string::npos) {
        plan.program = FindProgramOnPath(plan.program);
        if (plan.program.empty()) return plan;
    }
    plan.arguments = std::move(arguments);
    for (auto& argument : plan.arguments) plan.argv.push_back(argument.data());
    plan.argv.push_back(nullptr);
    plan.ok = true;
    return plan;
}

// Default handling of every signal, none blocked.
void ResetSignals() {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int sig = 1; sig < NSIG; ++sig) signal(sig, SIG_DFL);
}

// Closes the file descriptors from `from` to `to`, both included.
void CloseRange(int from, int to) {
    if (from > to) return;
#ifdef SYS_close_range
    if (syscall(SYS_close_range, static_cast<unsigned>(from), static_cast<unsigned>(to), 0U) == 0)
        return;
#endif
    for (int fd = from; fd <= std::min(to, 65535); ++fd) ::close(fd);
}

void WaitForChild(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// Reads what the pipe holds now into `into`, keeping at most its first 64 KiB: a program that
// writes without end costs no more memory than that.
bool ReadAvailable(int& fd, std::string& into) {
    constexpr size_t kMostKept = 64 * 1024;
    char buffer[4096];
    for (;;) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            into.append(buffer, std::min(static_cast<size_t>(got), kMostKept - into.size()));
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
        ::close(fd);  // end of the pipe or an error
        fd = -1;
        return false;
    }
}

}  // namespace

bool IsProgramFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::string FindProgramOnPath(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos) return {};
    const char* variable = std::getenv("PATH");
    for (const std::string& folder :
         SearchPathFolders(variable ? variable : "/usr/local/bin:/usr/bin:/bin"))
        if (IsProgramFile(folder + name)) return folder + name;
    return {};
}

bool IsProcessRunning(const std::string& myName) {
    DIR* proc = ::opendir("/proc");
    if (!proc) return false;
    bool found = false;
    while (!found) {
        errno = 0;
        const dirent* entry = ::readdir(proc);
        if (!entry) break;
        if (!AllDigits(entry->d_name)) continue;
        std::string folder = std::string("/proc/") + entry->d_name + "/";
        std::string executable = ReadLinkText(folder + "exe");
        if (!executable.empty() && ProcessNameMatches(executable, myName)) found = true;
        if (found) break;
        std::vector<std::string> words = ReadCommandWords(folder + "cmdline");
        if (!words.empty() && !words[0].empty() && ProcessNameMatches(words[0], myName))
            found = true;
        // A program started from a script shows its interpreter, /bin/sh say, as the
        // executable; the script tells which program it is.
        if (!found && IsScriptInterpreter(executable)) {
            std::string script = ScriptOf(words, folder);
            found = !script.empty() && ProcessNameMatches(script, myName);
        }
    }
    ::closedir(proc);
    return found;
}

namespace {

// The end of a started program's output that its report carries.
constexpr size_t kMostOutputReported = 4096;

// Keeps the last kMostOutputReported bytes read from `fd` in `tail`; false at the end of the
// pipe. Makes only calls that are safe in a forked child.
bool ReadTail(int fd, char* tail, size_t& length) {
    char buffer[1024];
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) return errno == EINTR || errno == EAGAIN;
    if (got == 0) return false;
    static_assert(sizeof buffer <= kMostOutputReported);
    const size_t count = static_cast<size_t>(got);
    if (length + count > kMostOutputReported) {
        const size_t drop = length + count - kMostOutputReported;
        std::memmove(tail, tail + drop, length - drop);
        length -= drop;
    }
    std::memcpy(tail + length, buffer, count);
    length += count;
    return true;
}

long long NowMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// Where this process keeps its command line and, right after it, its environment, as
// /proc/self/stat gives them (its fields 48 to 51); all 0 when they cannot be read.
struct ArgumentArea {
    unsigned long argStart = 0, argEnd = 0, envStart = 0, envEnd = 0;
};

ArgumentArea ReadArgumentArea() {
    std::ifstream file("/proc/self/stat");
    const std::string stat((std::istreambuf_iterator<char>(file)), {});
    const size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos) return {};
    std::istringstream fields(stat.substr(nameEnd + 1));
    std::string skipped;
    for (int field = 3; field < 48; ++field) fields >> skipped;
    ArgumentArea area;
    fields >> area.argStart >> area.argEnd >> area.envStart >> area.envEnd;
    if (!fields || area.argEnd <= area.argStart) return {};
    return area;
}

// Gives the relay a name of its own, so that ending this program by its name leaves the relay
// alone: its process name, and its command line, written over this program's. A short command
// line runs on into the environment, which the relay no longer reads. Makes only calls that
// are safe in a forked child.
void NameRelay(const ArgumentArea& area) {
    ::prctl(PR_SET_NAME, kRelayName);
    const unsigned long end = area.envStart == area.argEnd ? area.envEnd : area.argEnd;
    if (area.argStart == 0 || end < area.argStart + sizeof kRelayName) return;
    char* text = reinterpret_cast<char*>(area.argStart);
    std::memset(text, 0, std::max(area.argEnd - area.argStart, sizeof kRelayName));
    std::memcpy(text, kRelayName, sizeof kRelayName);
}

// The relay between a started program and this program, in a process of its own: it reads
// the program's output from `output`, and when the program ends within `watch` it writes to
// `report` its exit code and `execError`, the errno of a failed exec or 0 (two ints as they lie
// in memory), then the end of its output. Otherwise it closes `report` without a word. Either
// way it goes on reading the output to its end, so that the program can always write it, and
// then reaps the program.
[[noreturn]] void Relay(pid_t program, int output, int report, int execError, long long watch) {
    char tail[kMostOutputReported];
    size_t length = 0;
    bool open = true;
    const long long deadline = NowMilliseconds() + watch;
    for (;;) {
        int status = 0;
        if (::waitpid(program, &status, WNOHANG) == program) {
            while (open && ReadTail(output, tail, length)) {
                pollfd more{output, POLLIN, 0};
                if (::poll(&more, 1, 0) <= 0) break;
            }
            const int head[2] = {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                                 execError};
            (void)!::write(report, head, sizeof head);
            (void)!::write(report, tail, length);
            break;
        }
        const long long left = deadline - NowMilliseconds();
        if (left <= 0) break;
        pollfd wait{output, POLLIN, 0};
        ::poll(&wait, open ? 1 : 0, static_cast<int>(std::min<long long>(left, 20)));
        if (open && (wait.revents & (POLLIN | POLLHUP))) open = ReadTail(output, tail, length);
    }
    ::close(report);
    ::fcntl(output, F_SETFL, 0);
    while (open) open = ReadTail(output, tail, length);
    int status = 0;
    while (::waitpid(program, &status, 0) < 0 && errno == EINTR) {
    }
    ::_exit(0);
}

// The report of a relay, read as it comes. `alive` is a pipe that only the relay holds open:
// it closes when the relay ends, once it has reaped the program.
class RelayedProgram : public StartedProgram {
  public:
    RelayedProgram(int report, int alive, std::string program)
        : report_(report), alive_(alive), program_(std::move(program)) {}
    ~RelayedProgram() override {
        if (report_ >= 0) ::close(report_);
        if (alive_ >= 0) ::close(alive_);
    }

    bool Ended() override {
        if (alive_ < 0) return true;
        pollfd closed{alive_, POLLIN, 0};
        if (::poll(&closed, 1, 0) <= 0) return false;
        ::close(alive_);
        alive_ = -1;
        return true;
    }

    StartOutcome Poll() override {
        if (outcome_.known) return outcome_;
        std::string got;
        const bool open = ReadAvailable(report_, got);
        received_ += got;
        if (open) return outcome_;  // at its end ReadAvailable has closed the pipe
        outcome_.known = true;
        int head[2] = {0, 0};
        if (received_.size() < sizeof head) return outcome_;  // it outlived the watch
        std::memcpy(head, received_.data(), sizeof head);
        outcome_.ended = true;
        outcome_.exitCode = head[0];
        outcome_.output = received_.substr(sizeof head);
        if (head[1] != 0) outcome_.failure = program_ + ": " + std::strerror(head[1]);
        return outcome_;
    }

  private:
    int report_;  // -1 once read to its end
    int alive_;   // -1 once the relay has ended
    std::string program_;
    std::string received_;
    StartOutcome outcome_;
};

}  // namespace

std::unique_ptr<StartedProgram> StartDetached(const std::string& commandLine,
                                              std::chrono::milliseconds watch) {
    std::vector<std::string> arguments = SplitProgramAndArguments(commandLine, IsProgram);
    if (arguments.empty() || arguments[0].empty()) return nullptr;
    const std::string name = arguments[0];
    ExecPlan plan = PlanExec(std::move(arguments));
    if (!plan.ok) return FailedStart(name + ": no program of this name is found on PATH");
    const ArgumentArea area = ReadArgumentArea();
    int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    int output[2] = {-1, -1}, report[2] = {-1, -1}, alive[2] = {-1, -1};
    auto closeAll = [&] {
        for (int fd : {devNull, output[0], output[1], report[0], report[1], alive[0], alive[1]})
            if (fd >= 0) ::close(fd);
    };
    if (devNull < 0 || ::pipe2(output, O_CLOEXEC) != 0 || ::pipe2(report, O_CLOEXEC) != 0 ||
        ::pipe2(alive, O_CLOEXEC) != 0) {
        const int error = errno;
        closeAll();
        return FailedStart(plan.program + ": " + std::strerror(error));
    }

    // Two forks: the middle process starts a new session, forks the relay and ends at once, so
    // that the relay and the program belong to no terminal and are never our zombies.
    pid_t middle = ::fork();
    if (middle == 0) {
        ::setsid();
        if (::fork() != 0) ::_exit(0);
        // The relay keeps only its pipes: no lock or other file of ours stays open in it.
        ResetSignals();
        ::signal(SIGPIPE, SIG_IGN);  // the report may no longer be read
        int keep[] = {devNull, output[0], output[1], report[1], alive[1]};
        std::sort(std::begin(keep), std::end(keep));
        int from = 3;
        for (int fd : keep) {
            CloseRange(from, fd - 1);
            from = fd + 1;
        }
        CloseRange(from, INT_MAX);
        // Tells the relay why exec failed; it closes by itself when exec succeeds.
        int execFailed[2] = {-1, -1};
        if (::pipe2(execFailed, O_CLOEXEC) != 0) ::_exit(0);
        pid_t program = ::fork();
        if (program == 0) {
            ::dup2(devNull, 0);
            ::dup2(output[1], 1);
            ::dup2(output[1], 2);
            // Default signal handling and no descriptor above 2 but the one closed by exec.
            // The program outlives the relay that reads its output: a write then fails
            // instead of ending it.
            ResetSignals();
            ::signal(SIGPIPE, SIG_IGN);
            CloseRange(3, execFailed[1] - 1);
            CloseRange(execFailed[1] + 1, INT_MAX);
            ::execv(plan.program.c_str(), plan.argv.data());
            const int error = errno;
            (void)!::write(execFailed[1], &error, sizeof error);
            ::_exit(127);
        }
        for (int fd : {execFailed[1], output[1], devNull}) ::close(fd);
        if (program < 0) ::_exit(0);
        int execError = 0;
        while (::read(execFailed[0], &execError, sizeof execError) < 0 && errno == EINTR) {
        }
        ::close(execFailed[0]);
        NameRelay(area);
        ::fcntl(output[0], F_SETFL, O_NONBLOCK);
        Relay(program, output[0], report[1], execError, watch.count());
    }
    const int reading = report[0], watching = alive[0];
    report[0] = alive[0] = -1;
    closeAll();
    if (middle < 0) {
        const int error = errno;
        ::close(reading);
        ::close(watching);
        return FailedStart(plan.program + ": " + std::strerror(error));
    }
    WaitForChild(middle);
    ::fcntl(reading, F_SETFL, O_NONBLOCK);
    return std::make_unique<RelayedProgram>(reading, watching, plan.program);
}

ProgramRun RunProgram(const std::vector<std::string>& arguments, std::chrono::milliseconds limit,
                      const std::function<bool()>& stopWaiting) {
    ProgramRun run;
    ExecPlan plan = PlanExec(arguments);
    if (!plan.ok) return run;

    int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    int out[2] = {-1, -1}, err[2] = {-1, -1}, status[2] = {-1, -1};
    auto closeAll = [&] {
        for (int fd : {devNull, out[0], out[1], err[0], err[1], status[0], status[1]})
            if (fd >= 0) ::close(fd);
    };
    if (devNull < 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0 ||
        ::pipe2(status, O_CLOEXEC) != 0) {
        closeAll();
        return run;
    }

    pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        ::dup2(devNull, 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        int statusFd = status[1];
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        for (int sig = 1; sig < NSIG; ++sig) signal(sig, SIG_DFL);
        ::execv(plan.program.c_str(), plan.argv.data());
        // Tell the parent why exec failed; the pipe closes by itself on success.
        int code = errno;
        (void)!::write(statusFd, &code, sizeof code);
        ::_exit(127);
    }
    for (int* fd : {&devNull, &out[1], &err[1], &status[1]}) {
        ::close(*fd);
        *fd = -1;
    }
    if (pid < 0) {
        closeAll();
        return run;
    }
    ::setpgid(pid, pid);

    int execError = 0;
    ssize_t got;
    do {
        got = ::read(status[0], &execError, sizeof execError);
    } while (got < 0 && errno == EINTR);
    ::close(status[0]);
    status[0] = -1;
    run.started = got == 0;

    ::fcntl(out[0], F_SETFL, O_NONBLOCK);
    ::fcntl(err[0], F_SETFL, O_NONBLOCK);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool exited = false;
    int waitStatus = 0;
    for (;;) {
        if (!exited) {
            pid_t r = ::waitpid(pid, &waitStatus, WNOHANG);
            exited = r == pid || (r < 0 && errno != EINTR);
        }
        if (exited) {
            // The program ended: take what its pipes still hold, without waiting for
            // programs it may have left running with them.
            if (out[0] >= 0) ReadAvailable(out[0], run.output);
            if (err[0] >= 0) ReadAvailable(err[0], run.errors);
            break;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || (stopWaiting && stopWaiting())) break;
        pollfd fds[2];
        nfds_t count = 0;
        if (out[0] >= 0) fds[count++] = {out[0], POLLIN, 0};
        if (err[0] >= 0) fds[count++] = {err[0], POLLIN, 0};
        int wait = static_cast<int>(std::min<long long>(left.count(), 20));
        ::poll(count ? fds : nullptr, count, wait);
        if (out[0] >= 0) ReadAvailable(out[0], run.output);
        if (err[0] >= 0) ReadAvailable(err[0], run.errors);
    }
    if (!exited) {
        ::kill(-pid, SIGKILL);
        ::kill(pid, SIGKILL);
        WaitForChild(pid);
    } else {
        run.finished = run.started;
        if (WIFEXITED(waitStatus)) run.exitCode = WEXITSTATUS(waitStatus);
    }
    closeAll();
    return run;
}

bool ActivateWindowByTitleAndSendEnter(const std::string& title) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) return false;
    std::string xdotool = FindProgramOnPath("xdotool");
    if (xdotool.empty()) return false;
    constexpr std::chrono::milliseconds kLimit{3000};
    constexpr size_t kMostWindows = 64;

    // xdotool's search takes a regular expression and ignores case; the anchored pattern
    // narrows the list, and ChooseWindow decides.
    ProgramRun search =
        RunProgram({xdotool, "search", "--name", "^" + EscapeRegexText(title)}, kLimit);
    if (!search.finished || search.exitCode != 0) return false;
    std::vector<WindowEntry> windows;
    size_t start = 0;
    while (start < search.output.size() && windows.size() < kMostWindows) {
        size_t end = search.output.find('\n', start);
        if (end == std::string::npos) end = search.output.size();
        std::string id = search.output.substr(start, end - start);
        start = end + 1;
        if (!AllDigits(id.c_str())) continue;
        ProgramRun name = RunProgram({xdotool, "getwindowname", id}, kLimit);
        if (!name.finished || name.exitCode != 0) continue;
        if (!name.output.empty() && name.output.back() == '\n') name.output.pop_back();
        windows.push_back({id, name.output});
    }
    std::optional<size_t> chosen = ChooseWindow(windows, title);
    if (!chosen) return false;
    const std::string& id = windows[*chosen].id;
    ProgramRun activate = RunProgram({xdotool, "windowactivate", "--sync", id}, kLimit);
    bool active = activate.finished && activate.exitCode == 0;
    if (!active) {
        // Without a window manager that supports activation, raise and focus it directly.
        RunProgram({xdotool, "windowraise", id}, kLimit);
        ProgramRun focus = RunProgram({xdotool, "windowfocus", "--sync", id}, kLimit);
        active = focus.finished && focus.exitCode == 0;
    }
    // The window exists either way; Enter goes only to a window that really came forward,
    // never to whatever else has the focus.
    if (active) RunProgram({xdotool, "key", "--clearmodifiers", "Return"}, kLimit);
    return true;
}

bool PlatformServices::IsRunning(const std::string& name) { return IsProcessRunning(name); }

std::unique_ptr<StartedProgram> PlatformServices::StartCommandLine(const std::string& commandLine,
                                                                   ShowState) {
    // Linux has no start-up window state to hand over; the state is only a hint.
    return StartDetached(commandLine);
}

ProgramRun PlatformServices::RunCommandLine(const std::string& commandLine, ShowState,
                                            std::chrono::milliseconds limit,
                                            const std::function<bool()>& stopWaiting) {
    return RunProgram(SplitProgramAndArguments(commandLine, IsProgram), limit, stopWaiting);
}

bool PlatformServices::ActivateWindowAndSendEnter(const std::string& title) {
    return ActivateWindowByTitleAndSendEnter(title);
}

}  // namespace vorlisk
