#pragma once
// The game ID of a disc image file, read from the image itself without mounting it: the
// first line of SYSTEM.CNF in the root folder of the image's ISO 9660 file system, cut by
// the same rule as that of a disc in a drive (GameIdFromBootLine).

#include <string>

namespace vorlisk {

class FolderListing;

// The game ID of the image at `imagePath`, or empty when it cannot be read.
// - A cue sheet (.cue) stands for the data file of its first data track: its FILE path,
//   taken relative to the sheet's folder (Windows separators accepted), else the bare file
//   name beside the sheet; the case of the file name's letters is ignored.
// - A CloneCD sheet (.ccd) stands for the .img beside it (name's case ignored).
// - A BlindWrite image (.bwt) gives no ID.
// - Any other file is looked at: 2048-byte sectors (.iso), or raw 2352-byte sectors of
//   mode 1 or mode 2 form 1 (.bin, .img), whatever its name says.
// Only the volume descriptor, the root folder (up to kRootSectorLimit sectors) and the head
// of SYSTEM.CNF (up to kBootLineLimit bytes) are read, and each only when it lies wholly
// inside the file; a damaged image gives no ID. `listing`, a listing of a folder, is looked
// through for names of another case in that folder instead of listing it again.
inline constexpr unsigned kRootSectorLimit = 64;
std::string ImageGameId(const std::string& imagePath, const FolderListing* listing = nullptr);

}  // namespace vorlisk
