// Finding a game by part of its name: Ctrl+F asks for the text, F3 finds the next game.

#include <QKeyEvent>
#include <QListView>

#include "app/find.h"
#include "app/ui/formGameInventory.h"
#include "app/ui/text.h"
#include "app/ui/userinterface.h"

namespace vorlisk {

namespace {
constexpr int kKeyF = 70;
constexpr int kKeyF3 = 114;
constexpr int kShift = 1;
constexpr int kCtrl = 2;
constexpr int kAlt = 4;

// The key of the F position as the keyboard reports it, whatever the layout: the virtual key
// 'F' on Windows, the keycode of the key AC04 (evdev 33 + 8) on X11 and Wayland.
bool AtThePositionOfF(const QKeyEvent& key) {
#ifdef _WIN32
    return key.nativeVirtualKey() == 0x46;
#else
    return key.nativeScanCode() == 41;
#endif
}

// The F key: its letter on a layout that types Latin letters, its position on one that types
// none there (Cyrillic, Greek, ...), so that Ctrl+F finds on every layout; on Dvorak, where
// the F position types U, only the key labelled F finds.
bool IsKeyF(const QKeyEvent& key) {
    if (key.key() == Qt::Key_F) return true;
    const bool latinLetter = key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z;
    return !latinLetter && AtThePositionOfF(key);
}
}  // namespace

void formGameInventory::Form_KeyDown(int KeyCode, int Shift) {
    if (KeyCode == kKeyF && Shift == kCtrl)
        FindGame();
    else if (KeyCode == kKeyF3)
        FindNext();
}

void formGameInventory::FindGame() {
    QString answer =
        ui_.InputBox(this, ToQt(text_.strFindPrompt), ToQt(text_.strFindTitle), searchText_);
    if (answer.isEmpty()) return;
    lstName()->selectionModel()->clear();
    searchText_ = answer;
    FindNext();
}

void formGameInventory::FindNext() {
    if (searchText_.isEmpty()) {
        FindGame();
        return;
    }
    const GameLists& lists = inventory_.Lists();
    auto nameAt = [&lists](int i) -> const std::string& { return lists.Name(i); };
    // Names written on Windows hold the text in Windows-1252: look for both spellings.
    const int found = FindNextName(lists.Count(), nameAt, SelectedGame(), FromQt(searchText_),
                                   FromQt(searchText_, TextEncoding::Windows1252));
    if (found >= 0) {
        SelectGame(found);
        return;
    }
    ui_.ShowMessage(this, QLatin1Char('\'') + searchText_ + ToQt(text_.strNotFound),
                    QStringLiteral("Vorlisk"), MessageIcon::Information);
    lstName()->selectionModel()->clear();
}

bool formGameInventory::HandleKeyPress(QEvent* event) {
    // The window's own key events: each key press arrives here once, before any control
    // sees it, whatever a box opened on its way moves the focus to. The key goes on to the
    // control with the focus.
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    int keyCode = key->key() == Qt::Key_F3 ? kKeyF3 : IsKeyF(*key) ? kKeyF : 0;
    if (keyCode == 0) return false;
    Qt::KeyboardModifiers held = key->modifiers();
    int shift = (held & Qt::ShiftModifier ? kShift : 0) | (held & Qt::ControlModifier ? kCtrl : 0) |
                (held & Qt::AltModifier ? kAlt : 0);
    Form_KeyDown(keyCode, shift);
    return true;
}

}  // namespace vorlisk
