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
// - A package of a disc for the PSP (.pbp) names the disc's ID itself (PbpGameId).
// - A CHD file (.chd) is read as a CD image compressed into it (ChdDisc), its first data track
//   standing for the disc; one that ChdDisc cannot read cannot be read at all.
// - A playlist (.m3u) gives the ID of the first disc it lists whose ID can be read. Playlists
//   are not followed: one that lists itself or another playlist gives no ID.
// - Any other file is looked at: 2048-byte sectors (.iso), or raw 2352-byte sectors of
//   mode 1 or mode 2 form 1 (.bin, .img), whatever its name says.
// Only the volume descriptor, the root folder (up to kRootSectorLimit sectors) and the head
// of SYSTEM.CNF (up to kBootLineLimit bytes) are read, and each only when it lies wholly
// inside the file; a damaged image gives no ID. `listing`, a listing of a folder, is looked
// through for names of another case in that folder instead of listing it again.
inline constexpr unsigned kRootSectorLimit = 64;
std::string ImageGameId(const std::string& imagePath, const FolderListing* listing = nullptr);

// What reading an image for its game ID found.
struct ImageReading {
    std::string id;           // empty when none could be read
    bool unreadable = false;  // the file is of no form that can be read (a damaged header, a
                              // version of its format that is not read); an image that simply
                              // names no game is readable
};
// The same reading as ImageGameId, telling also whether the file could be read at all.
ImageReading ReadImageGameId(const std::string& imagePath, const FolderListing* listing = nullptr);

}  // namespace vorlisk
