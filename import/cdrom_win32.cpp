// The CD-ROM drives of Windows: the drive letters whose type is CD-ROM.

#include <windows.h>

#include "system/services.h"

namespace vorlisk {

std::vector<std::string> PlatformServices::CdromRoots() {
    // Z: down to C:, 24 letters; A: and B: are never asked.
    std::vector<std::string> roots;
    for (char letter = 'Z'; letter >= 'C'; --letter) {
        const std::string root = std::string(1, letter) + ":\\";
        if (::GetDriveTypeA(root.c_str()) == DRIVE_CDROM) roots.push_back(root);
    }
    return roots;
}

}  // namespace vorlisk
