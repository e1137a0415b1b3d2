#pragma once
// The emulator path dialog: one row per emulator with its logo, name, executable path and
// a button to choose the executable. Created hidden at start-up and kept for the whole run.

#include <QDialog>
#include <memory>
#include <string>

#include "launch/emulatorpaths.h"

class QLineEdit;
class QLabel;
class QPushButton;

namespace Ui {
class formEmulatorPath;
}

namespace vorlisk {

class UserInterface;
class formGameInventory;

class formEmulatorPath : public QDialog {
    Q_OBJECT
  public:
    formEmulatorPath(formGameInventory& owner, UserInterface& ui);
    ~formEmulatorPath() override;

    QLineEdit* txtPath(int index) const;
    QLabel* lblPath(int index) const;
    QLabel* imgEmu(int index) const;
    QPushButton* btnBrowse(int index) const;

    // The four paths, as the fields hold them.
    std::string Path(int index) const;

    void Form_Load();
    void btnBrowse_Click(int index);
    // Writes emupath.txt and hides the dialog; the dialog itself is never destroyed. Paths
    // that cannot be written are kept for the run, and the user is told.
    void Form_QueryUnload();
    // Writes the fields to emupath.txt, showing nothing.
    EmulatorPathFile::WriteResult SavePaths() const;
    // What a write that did not save the paths tells the user; empty after a good one.
    QString NotSavedText(const EmulatorPathFile::WriteResult& written) const;

    // emupath.txt in the program's folder, which start-up reads into the fields.
    EmulatorPathFile& PathFile() { return pathFile_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    formGameInventory& owner_;
    UserInterface& ui_;
    std::unique_ptr<Ui::formEmulatorPath> form_;
    EmulatorPathFile pathFile_;
    bool heldBackTold_ = false;
};

}  // namespace vorlisk
