#pragma once
// The command lines that ask DAEMON Tools (on Linux: Vorlisk's `daemon` helper) to mount a
// disc image on its device 0.

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vorlisk {

// ` -mount 0,"<imagePath>"`: the arguments after the program. The path is passed whole, in
// double quotes; a double quote inside it (possible in a Linux file name) is escaped so that
// the path still arrives as one argument.
std::string DaemonMountArguments(const std::string& imagePath);

// Where DAEMON Tools is looked for, in order: pairs of (file tested for existence, program
// part of the command line). `appPath` is the data folder and `programFolder` the folder of
// the executable, each ending in a separator; `pathVariable` is the search path (PATH). The
// last two are used on Linux only.
std::vector<std::pair<std::string, std::string>> DaemonCandidates(const std::string& appPath,
                                                                  const std::string& programFolder,
                                                                  const std::string& pathVariable);

// The program part of the first candidate whose file exists, or empty when none does. Uses
// the PATH of this process.
std::string FindDaemonCommand(const std::string& appPath, const std::string& programFolder,
                              const std::function<bool(const std::string&)>& fileExists);

// The whole mount command of the Play and Get buttons for `imagePath`, or empty when DAEMON
// Tools is not found.
std::string PlayMountCommand(const std::string& appPath, const std::string& programFolder,
                             const std::string& imagePath,
                             const std::function<bool(const std::string&)>& fileExists);

}  // namespace vorlisk
