// Windows ends a session through the session manager's request alone, which Qt delivers as
// commitDataRequest; there are no signals to watch.

#include "app/ui/sessionend.h"

namespace vorlisk {

void SessionEnd::WatchSignals() {}

void SessionEnd::ForgetSignals() {}

}  // namespace vorlisk
