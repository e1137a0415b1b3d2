#pragma once
// A second start of the program on the same data folder brings the running copy's window to
// the front before it ends, so that the user sees the program answer.

#include <string>

class QWidget;

namespace vorlisk {

// The name of the child of the window that listens for later starts.
inline constexpr char kListenerName[] = "laterStarts";

// Lets later starts on the data folder `appPath` bring `window` to the front, for as long as
// the window lives or until StopListeningForLaterStarts.
void ListenForLaterStarts(QWidget& window, const std::string& appPath);

// Later starts find nobody to answer them from now on (the window is closing); true when
// `window` listened.
bool StopListeningForLaterStarts(QWidget& window);

// Asks the copy that runs on the data folder `appPath` to bring its window to the front.
// False when no window came forward: no copy listens there, or it did not answer (it is
// closing, say).
bool AskRunningCopyToComeForward(const std::string& appPath);

// Shows `window` restored (not minimised), above the others and active.
void BringToFront(QWidget& window);

}  // namespace vorlisk
