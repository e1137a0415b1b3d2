// The disc side of the main window: the image-path row with its chooser, and the Get
// button that reads the game ID of the record's image or of the disc in a drive.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>

#include "app/ui/formGameInventory.h"
#include "app/ui/text.h"
#include "app/ui/userinterface.h"
#include "import/discid.h"
#include "import/filefilter.h"
#include "import/imagegameid.h"
#include "launch/playcommand.h"
#include "system/files.h"
#include "system/folders.h"
#include "system/services.h"

namespace vorlisk {

namespace {
// Raw .bin and .img tracks are offered too: their game IDs are read, and the helper mounts them.
// CHD files, PSP packages and playlists are read and handed to the emulator unmounted.
const char* const kImageFilter =
    "ISO Images|*.iso;*.cue;*.ccd;*.bwt;*.bin;*.img;*.chd;*.pbp;*.m3u|All files (*.*)|*.*";
}

QString formGameInventory::OpenDialog(QWidget* Form1, const std::string& Filter,
                                      const QString& Title, const QString& InitDir) {
    QStringList filters;
    for (const std::string& filter : ChooserNameFilters(Filter)) filters << ToQt(filter);
    return ui_.ChooseFile(Form1, filters, Title, InitDir);
}

void formGameInventory::btnBrowse_Click() {
    QString path = OpenDialog(this, kImageFilter, ToQt(text_.strSelectImage), txtISO()->text());
    if (path.isEmpty()) return;
    SetBytes(txtISO(), PathBytes(path));
    btnPlay()->setEnabled(true);
}

void formGameInventory::chkISO_Click() {
    bool ticked = chkISO()->checkState() != Qt::Unchecked;
    btnBrowse()->setEnabled(ticked);
    txtISO()->setEnabled(ticked);
    QPalette palette = txtISO()->palette();
    QPalette standard = QApplication::palette(txtISO());
    palette.setColor(QPalette::Base, standard.color(ticked ? QPalette::Base : QPalette::Button));
    txtISO()->setPalette(palette);
}

void formGameInventory::txtISO_GotFocus(Qt::FocusReason reason) {
    // Focus coming back because the window became active again (as when a chooser closes)
    // is no arrival: a cancelled chooser does not open again by itself.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    if (txtISO()->text().isEmpty())
        QMetaObject::invokeMethod(this, &formGameInventory::btnBrowse_Click, Qt::QueuedConnection);
}

std::string formGameInventory::GetDiscGameId(const std::string& mountOutput) {
    return vorlisk::GetDiscGameId(DrivesAfterMount(system_.CdromRoots(), mountOutput));
}

void formGameInventory::btnGet_Click() {
    std::string imagePath = ImagePath();
    // An image whose own file system names the game needs no mount and no waiting.
    if (std::string id = ImageGameId(imagePath); !id.empty()) {
        TakeGameId(id);
        return;
    }
    // After a failed or cancelled mount the drives may still hold the disc before: it is not
    // read.
    std::string mountOutput;
    if (FileExists(imagePath)) {
        const MountOutcome mounted = MountImage(imagePath, mountOutput);
        if (mounted == MountOutcome::Failed || mounted == MountOutcome::Cancelled) return;
    }
    std::string id = GetDiscGameId(mountOutput);
    if (!id.empty()) TakeGameId(id);
}

void formGameInventory::TakeGameId(const std::string& id) {
    SetBytes(txtID(), id);
    const std::string gamesTxt = ShippedFile(appPath_, system_.ProgramFolder(), "games.txt");
    std::string failure;
    std::string name = LookupGameName(gamesTxt, id, &failure);
    if (!failure.empty()) SayUnreadable(gamesTxt, failure);
    if (name.empty()) return;
    SetBytes(txtName(), name);
    cmbGameGenRe()->setFocus();
}

}  // namespace vorlisk
