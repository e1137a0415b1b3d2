#include "import/folderimport.h"

#include <unordered_set>

#include "import/discid.h"
#include "import/imagegameid.h"
#include "import/playlist.h"
#include "inventory/gamerecord.h"
#include "system/asciicase.h"

namespace vorlisk {

namespace {

// `folder` with a separator at its end; the empty folder (the working one) stays empty.
std::string WithSeparator(std::string folder) {
#ifdef _WIN32
    const bool ends = !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
    const char separator = '\\';
#else
    const bool ends = !folder.empty() && folder.back() == '/';
    const char separator = '/';
#endif
    if (!folder.empty() && !ends) folder.push_back(separator);
    return folder;
}

// The record of the image at `path` named `fileName`, whose ID is `id`.
std::string RecordOf(const std::string& path, const std::string& fileName, const std::string& id) {
    std::string record = CleanName(id);
    record += '\t';
    record += "OTHER\t";  // genre
    record += "1\t";      // image flag
    record += CleanName(path);
    record += "\t\t\t";                         // no pictures
    record += "VGS\t";                          // emulator
    record += GameNameFromImageFile(fileName);  // description: the name as it is
    return record;
}

// The names of the files in `listing` that a playlist among them lists.
std::unordered_set<std::string> ListedDiscs(const FolderListing& listing) {
    std::unordered_set<std::string> listed;
    for (const std::string& file : listing.Names()) {
        if (!IsImageFileName(file, "M3U")) continue;
        for (const std::string& disc : PlaylistDiscs(listing.Folder() + file, &listing))
            if (FolderOf(disc) == listing.Folder() && !IsPlaylistName(disc)) {
#ifdef _WIN32
                // Found in the playlist's spelling, which may differ in case from the listing's.
                for (std::string& name : listing.NamesLike(disc.substr(listing.Folder().size())))
                    listed.insert(std::move(name));
#else
                listed.insert(disc.substr(listing.Folder().size()));
#endif
            }
    }
    return listed;
}

}  // namespace

bool IsImageFileName(const std::string& fileName, const std::string& imageType) {
    const size_t suffix = imageType.size() + 1;
    if (imageType.empty() || fileName.size() <= suffix) return false;
    size_t dot = fileName.size() - suffix;
    if (fileName[dot] != '.') return false;
    for (size_t i = 0; i < imageType.size(); ++i)
        if (LowerAscii(fileName[dot + 1 + i]) != LowerAscii(imageType[i])) return false;
    return true;
}

std::string GameNameFromImageFile(const std::string& fileName) {
    if (fileName.size() < 4) return {};
    return CleanName(ReplaceText(fileName.substr(0, fileName.size() - 4), "_", " "));
}

std::string ImageRecord(const std::string& folder, const std::string& fileName,
                        const FolderListing* listing) {
    const std::string path = WithSeparator(folder) + fileName;
    return RecordOf(path, fileName, ImageGameId(path, listing));
}

std::vector<std::pair<std::string, std::string>> FolderImages(const std::string& folder,
                                                              const ImportProgress& progress,
                                                              std::vector<std::string>* skipped) {
    const FolderListing listing(WithSeparator(folder), ListPlainFiles(folder));
    const std::vector<std::string>& files = listing.Names();
    const std::unordered_set<std::string> listed = ListedDiscs(listing);
    std::vector<const std::string*> images;
    for (const std::string& imageType : kImageTypes)
        for (const std::string& file : files)
            if (IsImageFileName(file, imageType) && listed.count(file) == 0)
                images.push_back(&file);
    std::vector<std::pair<std::string, std::string>> games;
    if (progress && !progress(0, images.size())) return games;
    games.reserve(images.size());
    for (size_t done = 0; done < images.size(); ++done) {
        const std::string& file = *images[done];
        const std::string path = listing.Folder() + file;
        ImageReading image = ReadImageGameId(path, &listing);
        if (!image.unreadable)
            games.emplace_back(GameNameFromImageFile(file), RecordOf(path, file, image.id));
        else if (skipped)
            skipped->push_back(file);
        if (progress && !progress(done + 1, images.size())) return {};
    }
    return games;
}

}  // namespace vorlisk
