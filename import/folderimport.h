#pragma once
// Folder import: every disc image of a chosen folder becomes a game.

#include <string>
#include <utility>
#include <vector>

namespace vorlisk {

// The image types, in the order they are imported.
inline const std::vector<std::string> kImageTypes = {"CUE", "ISO", "BWT", "CCD"};

// Names of the plain files directly in `folder`, in the order the folder listing gives
// them. Left out: folders, devices and links that do not lead to a plain file; hidden files
// (on POSIX names beginning with "."; on Windows the hidden and system attributes). With an
// `extension`, the listing may be narrowed to names ending in "." + extension (case ignored)
// but need not be: callers match the names themselves. Empty when the folder cannot be read.
std::vector<std::string> ListPlainFiles(const std::string& folder, const std::string& extension);

// True when `fileName` ends in "." + `imageType`, case ignored, with at least one character
// before the dot: the names a Windows pattern "*.<type>" finds by their long names.
bool IsImageFileName(const std::string& fileName, const std::string& imageType);

// Names of the plain files directly in `folder` (ending in a separator) of the image type
// `imageType` (such as "ISO"), case ignored, in listing order. The names keep their case.
std::vector<std::string> ListImageFiles(const std::string& folder, const std::string& imageType);

// The game's name made from an image file name: the name without its last 4 characters
// (the dot and the type), every "_" turned into a blank and every TAB into a blank (a TAB
// would split the catalogue line). A name shorter than 4 characters gives the empty name.
std::string GameNameFromImageFile(const std::string& fileName);

// The game record of the image `fileName` in `folder`: empty ID, genre OTHER, image flag 1,
// the image path `folder` + `fileName`, no pictures, emulator VGS, and the game's name as
// description, untrimmed. A TAB in the path becomes a blank so the fields stay in place. A
// separator is put between `folder` and `fileName` when `folder` lacks one.
std::string ImageRecord(const std::string& folder, const std::string& fileName);

// The games the folder import adds for the files of one image type in `folder`:
// (name, record) pairs in listing order.
std::vector<std::pair<std::string, std::string>> ImagesOfType(const std::string& folder,
                                                              const std::string& imageType);

// The games the folder import adds for `folder`, from one listing of it: those of each of
// kImageTypes in turn, as ImagesOfType gives them, one type after the other.
std::vector<std::pair<std::string, std::string>> FolderImages(const std::string& folder);

}  // namespace vorlisk
