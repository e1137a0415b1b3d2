#include "launch/ui/formEmulatorPath.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/ui/formGameInventory.h"
#include "app/ui/text.h"
#include "app/ui/userinterface.h"
#include "ui_formEmulatorPath.h"

namespace vorlisk {

namespace {
#ifdef _WIN32
const char* const kEmulatorFilter = "Emulator Executables|*.exe;*.com";
#else
// Programs on Linux carry no extension: the files that may run come first, then all files.
const char* const kEmulatorFilter = "Programs|*|All files (*.*)|*.*";
#endif

// Where the chooser opens: at the current path on Windows; on Linux in its folder, or where
// programs are installed when there is no path yet.
QString StartIn(const QString& path) {
#ifdef _WIN32
    return path;
#else
    if (!path.isEmpty()) return QFileInfo(path).absolutePath();
    return QFileInfo(QStringLiteral("/usr/games")).isDir() ? QStringLiteral("/usr/games")
                                                           : QStringLiteral("/usr/bin");
#endif
}
}  // namespace

formEmulatorPath::formEmulatorPath(formGameInventory& owner, UserInterface& ui)
    : QDialog(&owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      owner_(owner),
      ui_(ui),
      form_(std::make_unique<Ui::formEmulatorPath>()),
      pathFile_(owner.AppPath() + "emupath.txt") {
    form_->setupUi(this);
    setFixedSize(size());
    for (int i = 0; i < 4; ++i)
        connect(btnBrowse(i), &QPushButton::clicked, this, [this, i] { btnBrowse_Click(i); });
    Form_Load();
}

formEmulatorPath::~formEmulatorPath() = default;

QLineEdit* formEmulatorPath::txtPath(int index) const {
    QLineEdit* fields[] = {form_->txtPath_0, form_->txtPath_1, form_->txtPath_2, form_->txtPath_3};
    return fields[index];
}

QLabel* formEmulatorPath::lblPath(int index) const {
    QLabel* labels[] = {form_->lblPath_0, form_->lblPath_1, form_->lblPath_2, form_->lblPath_3};
    return labels[index];
}

QLabel* formEmulatorPath::imgEmu(int index) const {
    QLabel* logos[] = {form_->imgEmu_0, form_->imgEmu_1, form_->imgEmu_2, form_->imgEmu_3};
    return logos[index];
}

QPushButton* formEmulatorPath::btnBrowse(int index) const {
    QPushButton* buttons[] = {form_->btnBrowse_0, form_->btnBrowse_1, form_->btnBrowse_2,
                              form_->btnBrowse_3};
    return buttons[index];
}

std::string formEmulatorPath::Path(int index) const {
    if (index < 0 || index > 3) return {};
    return FieldBytes(txtPath(index), TextEncoding::Utf8);
}

void formEmulatorPath::Form_Load() {
    for (int i = 0; i < 4; ++i) imgEmu(i)->setPixmap(owner_.imgEmu(i)->pixmap());
}

void formEmulatorPath::btnBrowse_Click(int index) {
    QString title = QStringLiteral("Select path for ") + lblPath(index)->text();
    QString path = owner_.OpenDialog(this, kEmulatorFilter, title, StartIn(txtPath(index)->text()));
    if (!path.isEmpty()) SetBytes(txtPath(index), PathBytes(path));
}

EmulatorPathFile::WriteResult formEmulatorPath::SavePaths() const {
    std::vector<std::string> lines;
    for (int i = 0; i < 4; ++i) lines.push_back(Path(i));
    return pathFile_.Write(lines);
}

QString formEmulatorPath::NotSavedText(const EmulatorPathFile::WriteResult& written) const {
    QString text;
    if (written.status == EmulatorPathFile::WriteStatus::Failed)
        text = QStringLiteral("The emulator paths could not be saved to %1 (%2).");
    else if (written.status == EmulatorPathFile::WriteStatus::HeldBack)
        text = QStringLiteral(
            "%1 could not be read when Vorlisk started (%2), so the emulator paths are not "
            "saved to it: the paths it holds would be lost.");
    return text.isEmpty() ? text : text.arg(ToQt(pathFile_.Path()), ToQt(written.reason));
}

void formEmulatorPath::Form_QueryUnload() {
    EmulatorPathFile::WriteResult written = SavePaths();
    hide();
    const bool heldBack = written.status == EmulatorPathFile::WriteStatus::HeldBack;
    QString text = NotSavedText(written);
    if (text.isEmpty() || (heldBack && heldBackTold_)) return;
    heldBackTold_ = heldBackTold_ || heldBack;
    ui_.ShowMessage(&owner_,
                    text + QStringLiteral("\r\n\r\nThe paths are kept until Vorlisk ends."),
                    owner_.windowTitle(), MessageIcon::Exclamation);
}

void formEmulatorPath::closeEvent(QCloseEvent* event) {
    event->ignore();
    Form_QueryUnload();
}

void formEmulatorPath::reject() { Form_QueryUnload(); }

}  // namespace vorlisk
