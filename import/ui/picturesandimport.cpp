// The pictures of a game and the import of every disc image of a folder.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListView>

#include "app/ui/backgroundwork.h"
#include "app/ui/formGameInventory.h"
#include "app/ui/text.h"
#include "app/ui/userinterface.h"
#include "app/ui/widgets.h"
#include "import/folderimport.h"
#include "import/ui/coverfolders.h"
#include "inventory/ui/gamelistmodel.h"

namespace vorlisk {

namespace {
const char* const kPictureFilter = "All Pictures|*.gif;*.jpg;*.bmp;*.ico|All files (*.*)|*.*";
// How many of the files that an import could not read its message names.
constexpr size_t kSkippedNamed = 5;
}  // namespace

void formGameInventory::imgGame_Click(int Index) {
    if (cmbGenre()->isEnabled()) return;  // browsing: a click chooses nothing
    PictureBox* box = imgGame(Index);
    QString path = OpenDialog(this, kPictureFilter, ToQt(text_.strSelectPicture), ToQt(box->tag));
    if (path.isEmpty()) return;
    box->tag = PathBytes(path);
    ShowPictures();
    MarkEdited();
}

void formGameInventory::ShowPictures() {
    // The name as a file named after it is spelled, whatever encoding the record holds it in.
    const CoverKeys keys{FieldBytes(txtID(), recordEncoding_), ImagePath(),
                         PathBytes(txtName()->text())};
    for (int i = 0; i < 2; ++i) {
        PictureBox* box = imgGame(i);
        // A chosen picture that cannot be loaded gives way, as an empty field does.
        if (box->tag.empty() || !box->LoadPicture(box->tag))
            box->LoadPicture(covers_ ? covers_->Find(i, keys) : std::string());
    }
    ShowEmulatorLogo();
}

void formGameInventory::ShowEmulatorLogo() {
    PictureBox* box = !imgGame(0)->ShowsPicture()   ? imgGame(0)
                      : !imgGame(1)->ShowsPicture() ? imgGame(1)
                                                    : nullptr;
    if (!box) return;
    box->clear();
    if (QLabel* logo = imgEmu(cmbPlay()->currentIndex() - 1)) box->setPixmap(logo->pixmap());
}

QString formGameInventory::BrowseFolder(const QString& Msg) {
    QString folder = ui_.ChooseFolder(this, Msg);
    if (folder.isEmpty()) return folder;
    folder = QDir::toNativeSeparators(folder);
    if (!folder.endsWith(QDir::separator())) folder += QDir::separator();
    return folder;
}

void formGameInventory::btnAddISO_Click() {
    QString folder = BrowseFolder(ToQt(text_.strSelectFolder));
    if (folder.isEmpty()) return;
    if (WidthTwips() == kNarrowWidthTwips) btnInfo_Click();
    AddImages(PathBytes(folder));
}

void formGameInventory::AddImages(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> games;
    std::vector<std::string> skipped;
    const QString label = ToQt(text_.strReadingImages);
    bool read = RunInBackground(
        [&label](size_t done, size_t total) { return label.arg(done).arg(total); },
        [&](WorkProgress& progress) {
            games = folderReader_(
                folder,
                [&progress](size_t done, size_t total) { return progress.Tell(done, total); },
                &skipped);
        });
    if (!read) return;
    if (!games.empty()) {
        inventory_.inventoryChanged = true;
        ChangeListsKeepingSelection([&] { inventory_.Lists().AddGames(std::move(games)); });
    }
    if (skipped.empty()) return;
    QStringList named;
    for (size_t i = 0; i < skipped.size() && i < kSkippedNamed; ++i) named << ToQt(skipped[i]);
    if (skipped.size() > kSkippedNamed) named << QStringLiteral("...");
    ui_.ShowMessage(
        this,
        ToQt(text_.strSkippedImages).arg(skipped.size()).arg(named.join(QStringLiteral(", "))),
        windowTitle(), MessageIcon::Exclamation);
}

void formGameInventory::ChangeListsKeepingSelection(const std::function<void()>& change) {
    int selected = SelectedGame();
    int link = selected >= 0 ? inventory_.Lists().Link(selected) : -1;
    model_->BeginChange();
    change();
    model_->EndChange();
    if (link < 0) return;
    const GameLists& lists = inventory_.Lists();
    for (int row = 0; row < lists.Count(); ++row)
        if (lists.Link(row) == link) {
            // The same game stays selected; its record is already shown.
            QSignalBlocker blocker(lstName()->selectionModel());
            lstName()->selectionModel()->setCurrentIndex(model_->index(row),
                                                         QItemSelectionModel::ClearAndSelect);
            break;
        }
}

}  // namespace vorlisk
