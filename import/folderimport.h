#pragma once
// Folder import: every disc image of a chosen folder becomes a game.

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vorlisk {

class FolderListing;

// The image types, in the order they are imported.
inline const std::vector<std::string> kImageTypes = {"CUE", "ISO", "BWT", "CCD",
                                                    "CHD", "PBP", "M3U"};

// Names of the plain files directly in `folder`, in the order the folder listing gives
// them. Left out: folders, devices and links that do not lead to a plain file; hidden files
// (on POSIX names beginning with "."; on Windows the hidden and system attributes). Empty when
// the folder cannot be read.
std::vector<std::string> ListPlainFiles(const std::string& folder);

// True when `fileName` ends in "." + `imageType`, case ignored, with at least one character
// before the dot: the names a Windows pattern "*.<type>" finds by their long names.
bool IsImageFileName(const std::string& fileName, const std::string& imageType);

// The game's name made from an image file name: the name without its last 4 characters
// (the dot and the type), every "_" turned into a blank and every TAB into a blank (a TAB
// would split the catalogue line). A name shorter than 4 characters gives the empty name.
std::string GameNameFromImageFile(const std::string& fileName);

// The game record of the image `fileName` in `folder`: the ID read from the image (empty when
// none can be read), genre OTHER, image flag 1, the image path `folder` + `fileName`, no
// pictures, emulator VGS, and the game's name as description, untrimmed. A TAB in the ID or
// the path becomes a blank so the fields stay in place. A separator is put between `folder`
// and `fileName` when `folder` lacks one. `listing`, a listing of the folder, spares the
// reading of the ID a listing of its own.
std::string ImageRecord(const std::string& folder, const std::string& fileName,
                        const FolderListing* listing = nullptr);

// Told how far a folder import is: `done` of `total` images read (total is known once the
// folder is listed). Answering false stops the import before the next image.
using ImportProgress = std::function<bool(size_t done, size_t total)>;

// The games the folder import adds for `folder`, from one listing of it: (name, record) pairs
// of the images of each of kImageTypes in turn, each type's in listing order. A playlist stands
// for the discs it lists: a disc image of the folder that a playlist of the folder lists is no game
// of its own. An image that cannot be read at all (ReadImageGameId) is left out, and its name
// added to `skipped` when given. `progress`, when given, is told after the listing and after
// each image; when it stops the import the answer is empty, as if the folder held no image.
std::vector<std::pair<std::string, std::string>> FolderImages(
    const std::string& folder, const ImportProgress& progress = {},
    std::vector<std::string>* skipped = nullptr);

}  // namespace vorlisk
