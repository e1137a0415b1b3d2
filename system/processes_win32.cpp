// Running programs on Windows: the process list of the tool-help snapshot, starting a
// command line with CreateProcessW, and bringing a top-level window forward by its title.

#include <windows.h>
// tlhelp32.h needs the types of windows.h first.
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <vector>

#include "system/commandline.h"
#include "system/files.h"
#include "system/processes.h"
#include "system/services.h"
#include "system/widetext.h"

namespace vorlisk {

namespace {

// Starts `commandLine` as a new process showing its first window in `showWindow`, its standard
// output and error written to `output` when that is an inheritable handle. A program given by its
// full path starts in its own folder, where emulators look for their BIOS, plugins and settings.
// False when it cannot be started; otherwise the caller closes the two handles of `process`.
bool CreateWithShowState(const std::string& commandLine, WORD showWindow,
                         PROCESS_INFORMATION& process, HANDLE output = nullptr) {
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::wstring line = WideText(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    if (output) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    const std::wstring folder = WideText(WindowsProgramFolder(commandLine, FileExists));
    return ::CreateProcessW(nullptr, line.data(), nullptr, nullptr, output ? TRUE : FALSE, 0,
                            nullptr, folder.empty() ? nullptr : folder.c_str(), &startup,
                            &process) != FALSE;
}

// A started program whose process and output pipe are read as Poll is called, until the watch
// is over.
class PipedProgram : public StartedProgram {
  public:
    PipedProgram(HANDLE process, HANDLE output, std::chrono::milliseconds watch)
        : process_(process), output_(output), deadline_(std::chrono::steady_clock::now() + watch) {}
    ~PipedProgram() override {
        ::CloseHandle(process_);
        ::CloseHandle(output_);
    }

    bool Ended() override { return ::WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }

    StartOutcome Poll() override {
        if (outcome_.known) return outcome_;
        ReadOutput();
        DWORD exitCode = 0;
        if (::WaitForSingleObject(process_, 0) == WAIT_OBJECT_0 &&
            ::GetExitCodeProcess(process_, &exitCode)) {
            ReadOutput();
            outcome_ = {.known = true,
                        .ended = true,
                        .exitCode = static_cast<int>(exitCode),
                        .output = outputText_};
        } else if (std::chrono::steady_clock::now() >= deadline_) {
            outcome_.known = true;
        }
        return outcome_;
    }

  private:
    // Reads what the pipe holds, keeping the last 4 KiB.
    void ReadOutput() {
        DWORD available = 0;
        char buffer[1024];
        while (::PeekNamedPipe(output_, nullptr, 0, nullptr, &available, nullptr) &&
               available > 0) {
            DWORD got = 0;
            if (!::ReadFile(output_, buffer, sizeof buffer, &got, nullptr) || got == 0) return;
            outputText_.append(buffer, got);
            if (outputText_.size() > 4096) outputText_.erase(0, outputText_.size() - 4096);
        }
    }

    HANDLE process_;
    HANDLE output_;
    std::chrono::steady_clock::time_point deadline_;
    std::string outputText_;
    StartOutcome outcome_;
};

// Starts `commandLine` with its output on a pipe that the returned program reads. Nothing for
// an empty line; a failed start tells why.
std::unique_ptr<StartedProgram> StartWithShowState(const std::string& commandLine, WORD showWindow,
                                                   std::chrono::milliseconds watch) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE reading = nullptr, writing = nullptr;
    if (commandLine.find_first_not_of(" \t") == std::string::npos) return nullptr;
    if (!::CreatePipe(&reading, &writing, &inherited, 64 * 1024))
        return FailedStart(commandLine + ": " + LastErrorText());
    ::SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0);
    PROCESS_INFORMATION process{};
    const bool started = CreateWithShowState(commandLine, showWindow, process, writing);
    const std::string failure = started ? std::string() : LastErrorText();
    ::CloseHandle(writing);
    if (!started) {
        ::CloseHandle(reading);
        return FailedStart(commandLine + ": " + failure);
    }
    ::CloseHandle(process.hThread);
    return std::make_unique<PipedProgram>(process.hProcess, reading, watch);
}

struct WindowList {
    std::vector<HWND> handles;
    std::vector<WindowEntry> entries;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto* list = reinterpret_cast<WindowList*>(context);
    wchar_t title[512];
    int length = ::GetWindowTextW(window, title, 512);
    if (length > 0) {
        list->entries.push_back({std::to_string(list->handles.size()),
                                 Utf8Text(std::wstring_view(title, static_cast<size_t>(length)))});
        list->handles.push_back(window);
    }
    return TRUE;
}

}  // namespace

bool IsProcessRunning(const std::string& myName) {
    // Windows names its programs with their extension: a name without any "." is looked
    // for as that name followed by ".exe" (the empty name so becomes ".exe").
    const std::string name = myName.find('.') == std::string::npos ? myName + ".exe" : myName;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    bool found = false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    // Every entry is looked at, as the snapshot is read to its end.
    for (BOOL read = ::Process32First(snapshot, &entry); read;
         read = ::Process32Next(snapshot, &entry)) {
        const size_t length = ::strnlen(entry.szExeFile, sizeof entry.szExeFile);
        if (ProcessNameMatches(std::string(entry.szExeFile, length), name)) found = true;
    }
    ::CloseHandle(snapshot);
    return found;
}

std::unique_ptr<StartedProgram> StartDetached(const std::string& commandLine,
                                              std::chrono::milliseconds watch) {
    return StartWithShowState(commandLine, SW_SHOWNORMAL, watch);
}

bool IsProgramFile(const std::string& path) { return FileExists(path); }

bool ActivateWindowByTitleAndSendEnter(const std::string& title) {
    WindowList list;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&list));
    std::optional<size_t> chosen = ChooseWindow(list.entries, title);
    if (!chosen) return false;
    const HWND window = list.handles[*chosen];
    // The window exists either way; Enter goes only to a window that really came forward,
    // never to whatever else has the focus (such as this program's own Play button).
    if (!::SetForegroundWindow(window) || ::GetForegroundWindow() != window) return true;
    // Enter, pressed and released; nothing waits for it to be handled.
    INPUT keys[2]{};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_RETURN;
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, keys, sizeof(INPUT));
    return true;
}

bool PlatformServices::IsRunning(const std::string& name) { return IsProcessRunning(name); }

std::unique_ptr<StartedProgram> PlatformServices::StartCommandLine(const std::string& commandLine,
                                                                   ShowState state) {
    return StartWithShowState(commandLine, static_cast<WORD>(state), kStartWatch);
}

ProgramRun PlatformServices::RunCommandLine(const std::string& commandLine, ShowState state,
                                            std::chrono::milliseconds limit,
                                            const std::function<bool()>& stopWaiting) {
    ProgramRun run;
    PROCESS_INFORMATION process{};
    if (!CreateWithShowState(commandLine, static_cast<WORD>(state), process)) return run;
    run.started = true;
    // Waited for in short slices, so that the waiting can stop before the limit.
    constexpr long long kSliceMs = 20;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    DWORD exitCode = 0;
    for (;;) {
        const long long left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                   deadline - std::chrono::steady_clock::now())
                                   .count();
        const DWORD wait = static_cast<DWORD>(std::clamp<long long>(left, 0, kSliceMs));
        if (::WaitForSingleObject(process.hProcess, wait) == WAIT_OBJECT_0) {
            run.finished = ::GetExitCodeProcess(process.hProcess, &exitCode) != 0;
            break;
        }
        if (left <= kSliceMs || (stopWaiting && stopWaiting())) break;
    }
    if (run.finished)
        run.exitCode = static_cast<int>(exitCode);
    else
        run.stillRunning = true;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return run;
}

bool PlatformServices::ActivateWindowAndSendEnter(const std::string& title) {
    return ActivateWindowByTitleAndSendEnter(title);
}

}  // namespace vorlisk
