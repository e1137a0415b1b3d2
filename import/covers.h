#pragma once
// Cover pictures found by name in a folder of pictures: the game's ID in its three usual
// spellings, the name of its disc image, or its name as the libretro thumbnail sets write it.

#include <string>
#include <unordered_map>
#include <vector>

namespace vorlisk {

// What a game is known by when its picture is looked for.
struct CoverKeys {
    std::string id;         // the game ID, as the record holds it
    std::string imagePath;  // the disc image's path (an .m3u playlist for a set of discs)
    std::string name;       // the game's name, in the bytes of the file system's names
};

// The file names a game's picture may have, without their extension, in the order they are
// tried. The ID in the forms SLUS-00594, SLUS_005.94 and SLUS00594, whichever of them it was
// written in; the image's file name without its extension; the name with each of &*/:`<>?\|
// as "_". For a playlist the playlist's name comes before the ID.
std::vector<std::string> CoverNames(const CoverKeys& keys);

// The picture files of one folder, by their names with ASCII letters in lower case.
class CoverFolder {
  public:
    CoverFolder() = default;
    // `folder` ends in a separator; `fileNames` are the plain files directly in it.
    CoverFolder(std::string folder, const std::vector<std::string>& fileNames);

    // Lists `folder` (ending in a separator); empty when it cannot be read.
    static CoverFolder List(const std::string& folder);

    // The path of the first picture for `keys`: each name of CoverNames with each of
    // `extensions` (".png", ...) in turn, the case of both ignored. Empty when none is there.
    std::string Find(const CoverKeys& keys, const std::vector<std::string>& extensions) const;

    size_t Size() const { return files_.size(); }

  private:
    std::string folder_;
    std::unordered_map<std::string, std::string> files_;  // lower-cased name -> name
};

}  // namespace vorlisk
