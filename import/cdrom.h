#pragma once
// The CD-ROM drives of a POSIX system: the mounted disc file systems.

#include <string>
#include <vector>

namespace vorlisk {

// The mount points of the disc file systems listed in a mounts table of the form of
// /proc/self/mounts (device, mount point, type, options, ... separated by blanks; octal
// escapes such as \040 for a blank). A disc file system has the type iso9660, udf or
// fuse.fuseiso, or a device beginning with /dev/sr or /dev/cdrom. Each mount point ends in
// "/"; they come in descending byte order without duplicates (the analogue of the drive
// letters Z down to C). Empty when the table cannot be read.
std::vector<std::string> CdromRootsFromMountsTable(const std::string& mountsTablePath);

// One field of a mounts table with its octal escapes (\ and three octal digits) decoded.
std::string DecodeMountsField(const std::string& field);

}  // namespace vorlisk
