#include "import/cdrom.h"
#include "system/services.h"

namespace vorlisk {

std::vector<std::string> PlatformServices::CdromRoots() {
    return CdromRootsFromMountsTable("/proc/self/mounts");
}

}  // namespace vorlisk
