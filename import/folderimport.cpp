#include "import/folderimport.h"

#include "inventory/gamerecord.h"
#include "system/asciicase.h"

namespace vorlisk {

namespace {

bool EndsWithSeparator(const std::string& folder) {
#ifdef _WIN32
    return !folder.empty() && (folder.back() == '\\' || folder.back() == '/');
#else
    return !folder.empty() && folder.back() == '/';
#endif
}

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

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

std::vector<std::string> ListImageFiles(const std::string& folder, const std::string& imageType) {
    std::vector<std::string> images;
    if (imageType.empty()) return images;
    for (std::string& name : ListPlainFiles(folder, imageType))
        if (IsImageFileName(name, imageType)) images.push_back(std::move(name));
    return images;
}

std::string GameNameFromImageFile(const std::string& fileName) {
    if (fileName.size() < 4) return {};
    return CleanName(ReplaceText(fileName.substr(0, fileName.size() - 4), "_", " "));
}

std::string ImageRecord(const std::string& folder, const std::string& fileName) {
    std::string path = folder;
    if (!path.empty() && !EndsWithSeparator(path)) path.push_back(kSeparator);
    path += fileName;

    std::string record;
    record += '\t';       // no ID
    record += "OTHER\t";  // genre
    record += "1\t";      // image flag
    record += CleanName(path);
    record += "\t\t\t";                         // no pictures
    record += "VGS\t";                          // emulator
    record += GameNameFromImageFile(fileName);  // description: the name as it is
    return record;
}

namespace {

// The games for the files among `files` (a listing of `folder`) of each of `imageTypes`,
// type by type, each type's files in listing order.
std::vector<std::pair<std::string, std::string>> ImagesAmong(
    const std::string& folder, const std::vector<std::string>& files,
    const std::vector<std::string>& imageTypes) {
    std::vector<std::pair<std::string, std::string>> games;
    for (const std::string& imageType : imageTypes)
        for (const std::string& file : files)
            if (IsImageFileName(file, imageType))
                games.emplace_back(GameNameFromImageFile(file), ImageRecord(folder, file));
    return games;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> ImagesOfType(const std::string& folder,
                                                              const std::string& imageType) {
    return ImagesAmong(folder, ListImageFiles(folder, imageType), {imageType});
}

std::vector<std::pair<std::string, std::string>> FolderImages(const std::string& folder) {
    return ImagesAmong(folder, ListPlainFiles(folder, ""), kImageTypes);
}

}  // namespace vorlisk
