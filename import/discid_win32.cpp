#include "import/discid.h"
#include "system/files.h"

namespace vorlisk {

std::string FindFileIgnoringCase(const std::string& folder, const std::string& name,
                                 const FolderListing*) {
    // Windows file names ignore case already.
    return FileExists(folder + name) ? folder + name : std::string();
}

}  // namespace vorlisk
