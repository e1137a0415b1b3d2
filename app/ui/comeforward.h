#pragma once
// A second start of the program on the same data folder brings the running copy's window to
// the front before it ends, so that the user sees the program answer.

#include <string>

class QWidget;

namespace vorlisk {

// Lets later starts on the data folder `appPath` bring `window` to the front, for as long as
// the window lives.
void ListenForLaterStarts(QWidget& window, const std::string& appPath);

// Asks the copy that runs on the data folder `appPath` to bring its window to the front.
// False when no copy listens there.
bool AskRunningCopyToComeForward(const std::string& appPath);

// Shows `window` restored (not minimised), above the others and active.
void BringToFront(QWidget& window);

}  // namespace vorlisk
