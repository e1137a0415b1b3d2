#include "launch/playcommand.h"

#include <algorithm>
#include <cstdlib>

#include "system/asciicase.h"
#include "system/commandline.h"
#include "system/folders.h"
#include "system/processes.h"

namespace vorlisk {

std::string DaemonMountArguments(const std::string& imagePath) {
    return " -mount 0,\"" + EscapeInsideQuotes(imagePath) + "\"";
}

bool MountProgramTakes(const std::string& imagePath) {
    for (const char* kind : {".chd", ".pbp", ".m3u"})
        if (EndsWithIgnoringCase(imagePath, kind)) return false;
    return true;
}

namespace {
// Today's DAEMON Tools Lite: its command-line program, below a Program Files folder.
constexpr const char* kLiteProgram = "DAEMON Tools Lite\\DTCommandLine.exe";
}  // namespace

#ifdef _WIN32

std::vector<std::pair<std::string, std::string>> DaemonCandidates(const std::string& appPath,
                                                                  const std::string&,
                                                                  const std::string&) {
    // The drive of the program's own folder, such as "C:".
    const std::string drive = appPath.substr(0, 2);
    std::vector<std::pair<std::string, std::string>> candidates = {
        {"daemon.exe", "daemon"},
        {drive + "\\progra~1\\d-tools\\daemon.exe", drive + "\\progra~1\\d-tools\\daemon"},
        {drive + "\\archiv~1\\d-tools\\daemon.exe", drive + "\\archiv~1\\d-tools\\daemon"}};
    const std::vector<std::string> programFiles = ProgramFilesFolders();
    for (const std::string& folder : programFiles)
        candidates.push_back({folder + "d-tools\\daemon.exe", folder + "d-tools\\daemon.exe"});
    for (const std::string& folder : programFiles)
        candidates.push_back({folder + kLiteProgram, folder + kLiteProgram});
    return candidates;
}

#else

std::vector<std::pair<std::string, std::string>> DaemonCandidates(const std::string& appPath,
                                                                  const std::string& programFolder,
                                                                  const std::string& pathVariable) {
    std::vector<std::pair<std::string, std::string>> candidates;
    auto add = [&candidates](const std::string& path) { candidates.push_back({path, path}); };
    // The working folder is wherever the program was started from (a download folder, say):
    // a program named daemon there is never taken. A helper of the user's own in the data folder
    // comes before the one shipped beside the program or installed with it, which come before any
    // program of that name on PATH.
    add(appPath + "d-tools/daemon");
    if (programFolder != appPath) add(programFolder + "d-tools/daemon");
    add(InstallPrefix(programFolder) + "libexec/vorlisk/daemon");
    if (pathVariable.empty()) return candidates;
    for (const std::string& folder : SearchPathFolders(pathVariable)) add(folder + "daemon");
    return candidates;
}

#endif

std::string FindDaemonCommand(const std::string& appPath, const std::string& programFolder,
                              const std::function<bool(const std::string&)>& fileExists) {
    const char* path = std::getenv("PATH");
    for (const auto& [file, program] : DaemonCandidates(appPath, programFolder, path ? path : ""))
        if (fileExists(file)) return program;
    return {};
}

std::string PlayMountCommand(const std::string& appPath, const std::string& programFolder,
                             const std::string& imagePath,
                             const std::function<bool(const std::string&)>& fileExists) {
    if (!MountProgramTakes(imagePath)) return {};
    std::string program = FindDaemonCommand(appPath, programFolder, fileExists);
    if (program.empty()) return {};
    // The program part goes unquoted, as on Windows, unless a blank in its folder's name
    // (Program Files) would split it.
    if (EndsWithIgnoringCase(program, kLiteProgram))
        return QuoteArgument(program) + " --mount --path \"" + EscapeInsideQuotes(imagePath) + "\"";
    return QuoteArgument(program) + DaemonMountArguments(imagePath);
}

std::vector<std::string> DrivesAfterMount(std::vector<std::string> cdromRoots,
                                          const std::string& mountOutput) {
    std::string own = mountOutput;
    while (!own.empty() && (own.back() == '\n' || own.back() == '\r')) own.pop_back();
    own.erase(0, own.rfind('\n') + 1);  // npos + 1 is 0: a single line stays whole
    if (own.empty()) return cdromRoots;
    if (own.back() != '/') own += '/';
    auto found = std::find(cdromRoots.begin(), cdromRoots.end(), own);
    if (found != cdromRoots.end()) std::rotate(cdromRoots.begin(), found, found + 1);
    return cdromRoots;
}

}  // namespace vorlisk
