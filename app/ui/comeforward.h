#pragma once
// A second start of the program on the same data folder brings the running copy's window to
// the front before it ends, so that the user sees the program answer.

#include <chrono>
#include <string>

class QWidget;

namespace vorlisk {

class formGameInventory;
class UserInterface;

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

// Opens `window` on its data folder; false when this start is to end instead. Another copy
// that runs there is asked to come to the front, and this start ends. A copy whose window does
// not come forward is closing, or still starting: this start waits and opens once the folder is
// free. One that keeps the folder for `askAfter` without answering may hang, or listen where
// this start cannot reach it: the user is asked once whether to go on waiting.
bool OpenOnceTheFolderIsFree(formGameInventory& window, UserInterface& ui,
                             std::chrono::milliseconds askAfter);

// Shows `window` restored (not minimised), above the others and active.
void BringToFront(QWidget& window);

}  // namespace vorlisk
