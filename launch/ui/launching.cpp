// The launch side of the main window: the emulator choice, the path dialog button, and
// playing a game (mount its image, then start its emulator or carry out the launch script).

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/ui/formGameInventory.h"
#include "app/ui/text.h"
#include "app/ui/userinterface.h"
#include "app/ui/widgets.h"
#include "launch/mountscript.h"
#include "launch/playcommand.h"
#include "launch/ui/formEmulatorPath.h"
#include "system/files.h"
#include "system/services.h"

namespace vorlisk {

void formGameInventory::cmbPlay_Click() {
    if (!pathDialog_) return;
    int entry = cmbPlay()->currentIndex();
    // The emulator's logo goes into the first picture box that holds no picture of the game.
    PictureBox* box = imgGame(0)->tag.isEmpty()   ? imgGame(0)
                      : imgGame(1)->tag.isEmpty() ? imgGame(1)
                                                  : nullptr;
    if (box) {
        box->clear();
        if (QLabel* logo = imgEmu(entry - 1)) box->setPixmap(logo->pixmap());
    }
    if (entry >= 1 && entry <= 4 && !FileExists(pathDialog_->Path(entry - 1))) btnPaths_Click();
    MarkEdited();
}

void formGameInventory::btnPaths_Click() {
    pathDialog_->setWindowTitle(ToQt(text_.strPathSetupTitle));
    pathDialog_->show();
    pathDialog_->raise();
    pathDialog_->activateWindow();
}

void formGameInventory::btnPlay_Click() {
    if (!btnPlay()->isEnabled()) return;
    std::string imagePath = FromQt(txtISO()->text());
    if (FileExists(imagePath)) {
        std::string mount =
            PlayMountCommand(appPath_, system_.ProgramFolder(), imagePath, vorlisk::FileExists);
        if (!mount.empty()) system_.StartCommandLine(mount, ShowState::Minimized);
        RunMountScript(imagePath);
        return;
    }
    if (imagePath.empty()) return;
    ui_.ShowMessage(this, ToQt(text_.strFilePrefix) + txtISO()->text() + ToQt(text_.strNotFound),
                    windowTitle(), MessageIcon::Information);
}

void formGameInventory::RunMountScript(const std::string& imagePath) {
    std::array<std::string, 4> paths;
    for (int i = 0; i < 4; ++i) paths[static_cast<size_t>(i)] = pathDialog_->Path(i);
    ServicesMountScriptHost host(
        system_, [this] { return GetDiscGameId(); },
        [this](const std::string& question) {
            return ui_.AskYesNo(this, ToQt(question), QStringLiteral("Vorlisk"));
        });
    vorlisk::RunMountScript(imagePath, cmbPlay()->currentIndex(), paths, host);
}

void formGameInventory::lstName_DblClick() { btnPlay_Click(); }

void formGameInventory::imgGame_DblClick(int) {
    if (cmbGenre()->isEnabled()) btnPlay_Click();
}

}  // namespace vorlisk
