#include <sys/stat.h>

#include <ctime>
#include <unordered_map>
#include <vector>

#include "import/discid.h"
#include "import/folderimport.h"
#include "system/asciicase.h"
#include "system/files.h"

namespace vorlisk {

namespace {

// The plain files of a folder by their names in lower case.
using NamesByLowerCase = std::unordered_map<std::string, std::vector<std::string>>;

// The plain files of `folder`. The last listing is used again while the folder is unchanged,
// so that the data files of a whole folder of sheets are found with one listing. A folder
// changed shortly before it was listed may change again within the same tick of its time
// stamp, unseen: such a listing is not used again.
const NamesByLowerCase& PlainFilesOf(const std::string& folder) {
    struct Listing {
        std::string folder;
        struct stat info {};
        time_t listedAt = 0;
        NamesByLowerCase names;
    };
    constexpr time_t kSettled = 2;  // seconds; coarser time stamps than this are rare
    thread_local Listing last;
    struct stat info {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &info) != 0) info = {};
    const bool unchanged = folder == last.folder && info.st_dev == last.info.st_dev &&
                           info.st_ino == last.info.st_ino &&
                           info.st_mtim.tv_sec == last.info.st_mtim.tv_sec &&
                           info.st_mtim.tv_nsec == last.info.st_mtim.tv_nsec;
    if (!unchanged || last.listedAt - info.st_mtim.tv_sec < kSettled) {
        last = {folder, info, std::time(nullptr), {}};
        for (std::string& name : ListPlainFiles(folder, std::string()))
            last.names[LowerAsciiText(name)].push_back(std::move(name));
    }
    return last.names;
}

}  // namespace

std::string FindFileIgnoringCase(const std::string& folder, const std::string& name) {
    const std::string exact = folder + name;
    if (FileExists(exact)) return exact;
    const NamesByLowerCase& files = PlainFilesOf(folder);
    auto found = files.find(LowerAsciiText(name));
    if (found == files.end()) return {};
    for (const std::string& listed : found->second)
        if (FileExists(folder + listed)) return folder + listed;
    return {};
}

}  // namespace vorlisk
