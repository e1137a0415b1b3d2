#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "import/folderimport.h"

namespace vorlisk {

std::vector<std::string> ListPlainFiles(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return names;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (name[0] == '.') continue;  // hidden, and the entries . and ..
        bool plain = false;
        if (entry->d_type == DT_REG) {
            plain = true;
        } else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            // Follow a link: one that leads to a plain file counts as that file.
            struct stat info {};
            plain = dirFd >= 0 && ::fstatat(dirFd, name, &info, 0) == 0 && S_ISREG(info.st_mode);
        }
        if (plain) names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

}  // namespace vorlisk
