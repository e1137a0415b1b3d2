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

namespace {

// What the launch script may ask of the program while it runs.
class WindowScriptHost : public MountScriptHost {
  public:
    WindowScriptHost(formGameInventory& window, SystemServices& system, UserInterface& ui)
        : window_(window), system_(system), ui_(ui) {}

    bool FileExists(const std::string& path) override { return vorlisk::FileExists(path); }
    std::string DiscGameId() override { return window_.GetDiscGameId(); }
    bool IsRunning(const std::string& name) override { return system_.IsRunning(name); }
    std::string ShortPathName(const std::string& path) override {
        return system_.ShortPathName(path);
    }
    std::string WindowsDirectory() override { return system_.WindowsDirectory(); }
    bool AskYesNo(const std::string& question) override {
        return ui_.AskYesNo(&window_, ToQt(question), QStringLiteral("Vorlisk"));
    }
    bool ActivateWindowAndSendEnter(const std::string& title) override {
        return system_.ActivateWindowAndSendEnter(title);
    }
    std::string ReadRegistryValue(unsigned long root, const std::string& key,
                                  const std::string& name) override {
        return system_.GetKeyValue(root, key, name);
    }
    void StartCommandLine(const std::string& commandLine, ShowState state) override {
        system_.StartCommandLine(commandLine, state);
    }

  private:
    formGameInventory& window_;
    SystemServices& system_;
    UserInterface& ui_;
};

}  // namespace

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
        std::string daemon = FindDaemonCommand(appPath_, vorlisk::FileExists);
        if (!daemon.empty())
            system_.StartCommandLine(daemon + DaemonMountArguments(imagePath),
                                     ShowState::Minimized);
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
    WindowScriptHost host(*this, system_, ui_);
    vorlisk::RunMountScript(imagePath, cmbPlay()->currentIndex(), paths, host);
}

void formGameInventory::lstName_DblClick() { btnPlay_Click(); }

void formGameInventory::imgGame_DblClick(int) {
    if (cmbGenre()->isEnabled()) btnPlay_Click();
}

}  // namespace vorlisk
