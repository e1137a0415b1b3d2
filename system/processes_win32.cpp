// Running programs on Windows: the process list of the tool-help snapshot, starting a
// command line with CreateProcessA, and bringing a top-level window forward by its title.

#include <windows.h>
// tlhelp32.h needs the types of windows.h first.
#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "system/processes.h"
#include "system/services.h"

namespace vorlisk {

namespace {

// Starts `commandLine` as a new process showing its first window in `showWindow`. False when
// it cannot be started; otherwise the caller closes the two handles of `process`.
bool CreateWithShowState(const std::string& commandLine, WORD showWindow,
                         PROCESS_INFORMATION& process) {
    // CreateProcessA may write into the command line, so it gets a copy of its own.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindow;
    return ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process) != FALSE;
}

// Starts `commandLine` and lets it go: the handles are closed at once and nothing waits for
// it. A start that fails is ignored.
void StartWithShowState(const std::string& commandLine, WORD showWindow) {
    PROCESS_INFORMATION process{};
    if (!CreateWithShowState(commandLine, showWindow, process)) return;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

struct WindowList {
    std::vector<HWND> handles;
    std::vector<WindowEntry> entries;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto* list = reinterpret_cast<WindowList*>(context);
    char title[512];
    int length = ::GetWindowTextA(window, title, sizeof title);
    if (length > 0) {
        list->entries.push_back({std::to_string(list->handles.size()),
                                 std::string(title, static_cast<size_t>(length))});
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

void StartDetached(const std::string& commandLine) {
    StartWithShowState(commandLine, SW_SHOWNORMAL);
}

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

void PlatformServices::StartCommandLine(const std::string& commandLine, ShowState state) {
    StartWithShowState(commandLine, static_cast<WORD>(state));
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
