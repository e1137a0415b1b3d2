#pragma once
// The command lines that ask DAEMON Tools (on Linux: Vorlisk's `daemon` helper) to mount a
// disc image on its device 0, and which images a mount program takes at all.

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vorlisk {

// ` -mount 0,"<imagePath>"`: the arguments after the program. The path is passed whole, in
// double quotes; a double quote inside it (possible in a Linux file name) is escaped so that
// the path still arrives as one argument.
std::string DaemonMountArguments(const std::string& imagePath);

// False for the kinds of image that no mount program takes (CHD, PSP-style PBP, and the
// .m3u playlists of several discs): Play hands those to the emulator and never mounts them.
bool MountProgramTakes(const std::string& imagePath);

// Where DAEMON Tools is looked for, in order: pairs of (file tested for existence, program
// part of the command line). `appPath` is the data folder and `programFolder` the folder of
// the executable, each ending in a separator; `pathVariable` is the search path (PATH). The
// last two are used on Linux only. On Windows the old 8.3 names come first, then d-tools\ and
// the folder of today's DAEMON Tools Lite (its DTCommandLine.exe) in the real Program Files
// folders, which a Windows without short names finds only so.
std::vector<std::pair<std::string, std::string>> DaemonCandidates(const std::string& appPath,
                                                                  const std::string& programFolder,
                                                                  const std::string& pathVariable);

// The program part of the first candidate whose file exists, or empty when none does. Uses
// the PATH of this process.
std::string FindDaemonCommand(const std::string& appPath, const std::string& programFolder,
                              const std::function<bool(const std::string&)>& fileExists);

// The whole mount command of the Play and Get buttons for `imagePath`, or empty when DAEMON
// Tools is not found or takes no image of its kind. DAEMON Tools Lite's DTCommandLine.exe
// gets its own form: ` --mount --path "<imagePath>"`.
std::string PlayMountCommand(const std::string& appPath, const std::string& programFolder,
                             const std::string& imagePath,
                             const std::function<bool(const std::string&)>& fileExists);

// The drives to search right after the helper mounted an image: `cdromRoots` in their order,
// but the helper's own mount point first, which it prints as the last line of its standard
// output `mountOutput`, so that the disc of another mount is never taken for the one just
// mounted. A printed folder that is no drive is passed over; without one (DAEMON Tools
// prints none) the drives stay as they are.
std::vector<std::string> DrivesAfterMount(std::vector<std::string> cdromRoots,
                                          const std::string& mountOutput);

}  // namespace vorlisk
