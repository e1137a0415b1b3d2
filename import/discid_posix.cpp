#include <optional>

#include "import/discid.h"
#include "import/folderimport.h"
#include "system/files.h"

namespace vorlisk {

std::string FindFileIgnoringCase(const std::string& folder, const std::string& name,
                                 const FolderListing* listing) {
    const std::string exact = folder + name;
    if (FileExists(exact)) return exact;
    // Linux names are case-sensitive: look through the folder for another spelling.
    std::optional<FolderListing> own;
    if (!listing || listing->Folder() != folder)
        listing = &own.emplace(folder, ListPlainFiles(folder));
    for (const std::string& listed : listing->NamesLike(name))
        if (FileExists(folder + listed)) return folder + listed;
    return {};
}

}  // namespace vorlisk
