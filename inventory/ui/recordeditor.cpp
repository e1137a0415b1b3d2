// The catalogue side of the main window: the genre filter, loading and saving the inventory,
// and the record editor of the information panel.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/ui/formGameInventory.h"
#include "app/ui/text.h"
#include "app/ui/userinterface.h"
#include "app/ui/widgets.h"
#include "inventory/gamerecord.h"
#include "inventory/ui/gamelistmodel.h"
#include "system/files.h"
#include "system/textencoding.h"

namespace vorlisk {

namespace {
const QColor kEditedColour(0, 255, 0);  // 65280
}

// ---- genre filter and inventory file ----

void formGameInventory::cmbGenre_Click() {
    int entry = cmbGenre()->currentIndex();
    if (entry < 0) return;
    LoadInventory(entry == 0 ? std::string() : EntryBytes(cmbGenre(), entry));
    if (entry == cmbGenre()->currentIndex()) loadedGenreEntry_ = entry;
}

void formGameInventory::LoadInventory(const std::string& genre) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_->BeginChange();
    InventoryFile::LoadResult result = inventory_.LoadInventory(genre);
    model_->EndChange();
    QApplication::restoreOverrideCursor();

    if (result.status == InventoryFile::LoadStatus::NotLoaded) {
        WarnSaveFailed(result.save);
        // The unsaved games stay listed; the filter shows what the list holds.
        QSignalBlocker blocker(cmbGenre());
        cmbGenre()->setCurrentIndex(loadedGenreEntry_);
        return;
    }
    if (result.status == InventoryFile::LoadStatus::Unreadable && !unreadableWarned_) {
        unreadableWarned_ = true;
        ui_.ShowMessage(this,
                        QStringLiteral("%1 could not be read to its end (%2).\r\n\r\n"
                                       "Vorlisk lists what it could read and will not write to "
                                       "this file until it is started again, so that no game "
                                       "in it is lost. Changes made now will not be saved.")
                            .arg(ToQt(inventory_.Path()), ToQt(result.readFailure)),
                        windowTitle(), MessageIcon::Exclamation);
    }
}

void formGameInventory::WarnSaveFailed(const InventoryFile::SaveStatus& status) {
    ui_.ShowMessage(this,
                    QStringLiteral("The catalogue could not be saved to %1 (%2).\r\n\r\n"
                                   "The file was left as it was; your changes are still in the "
                                   "list.")
                        .arg(ToQt(inventory_.Path()), ToQt(status.reason)),
                    windowTitle(), MessageIcon::Exclamation);
}

// ---- record editor ----

QColor formGameInventory::AddButtonColour() const {
    return btnAdd()->palette().color(QPalette::Button);
}

void formGameInventory::SetAddButtonColour(const QColor& colour) {
    QPalette palette = btnAdd()->palette();
    palette.setColor(QPalette::Button, colour);
    btnAdd()->setPalette(palette);
}

void formGameInventory::MarkEdited() { SetAddButtonColour(kEditedColour); }

void formGameInventory::SelectEntryByText(QComboBox* box, const std::string& text) {
    int entry = -1;
    for (int i = 0; i < box->count() && entry < 0; ++i)
        if (EntryBytes(box, i) == text) entry = i;
    // A text that is no entry (a genre of another genre list, say) is still shown, and
    // stored again by Add/Update, rather than lost.
    box->setPlaceholderText(entry < 0 ? ToQt(text) : QString());
    RememberBytes(box, entry < 0 ? text : std::string(), QString());
    SelectEntry(box, entry);
}

QString formGameInventory::ShownText(const QComboBox* box) {
    return box->currentIndex() >= 0 ? box->currentText() : box->placeholderText();
}

std::string formGameInventory::ShownBytes(const QComboBox* box) {
    return box->currentIndex() >= 0 ? EntryBytes(box, box->currentIndex()) : GivenBytes(box);
}

void formGameInventory::lstName_Click() {
    int selected = SelectedGame();
    if (selected < 0) return;
    const GameLists& lists = inventory_.Lists();
    // Edited text goes back in the encoding of the record it belongs to.
    recordEncoding_ =
        EncodingOf(lists.Name(selected) + '\t' + lists.RecordOf(selected), TextEncoding::Utf8);
    ShowBytes(txtName(), lists.Name(selected));
    ShowGameRecord(lists.RecordOf(selected));
}

void formGameInventory::ShowGameRecord(const std::string& record) {
    const RecordFields f = SplitRecord(record);
    ShowBytes(txtID(), f[kId]);
    SelectEntryByText(cmbGameGenRe(), f[kGenre]);
    std::optional<int> flag = ParseImageFlag(f[kImageFlag]);
    if (flag && *flag >= 0 && *flag <= 2)
        chkISO()->setCheckState(*flag == 0   ? Qt::Unchecked
                                : *flag == 1 ? Qt::Checked
                                             : Qt::PartiallyChecked);
    RememberBytes(chkISO(), f[kImageFlag], QString::number(chkISO()->checkState()));
    ShowBytes(txtISO(), f[kImagePath]);
    imgGame(0)->tag = f[kFirstPicture];
    imgGame(1)->tag = f[kSecondPicture];
    for (int i = 0; i < 2; ++i) RememberBytes(imgGame(i), imgGame(i)->tag, QString());
    ShowPictures();
    SelectEntryByText(cmbPlay(), f[kEmulator]);
    ShowDescription(txtDescription(), f[kDescription]);

    int selected = SelectedGame();
    QString name = selected >= 0 ? ToQt(inventory_.Lists().Name(selected)) : QString();
    lstName()->setToolTip(txtID()->text() + QLatin1Char(' ') + name);
    imgGame(0)->setToolTip(txtDescription()->toPlainText());
    imgGame(1)->setToolTip(txtISO()->text());
    ShowPlayTime();

    bool imageExists = FileExists(ImagePath());
    bool discMatches = GetDiscGameId() == FieldBytes(txtID(), recordEncoding_);
    btnPlay()->setEnabled(imageExists || discMatches);
    SetAddButtonColour(QApplication::palette(btnAdd()).color(QPalette::Button));
}

std::string formGameInventory::ImagePath() const { return FieldBytes(txtISO(), recordEncoding_); }

std::string formGameInventory::EditorRecord() const {
    // A field left as it was shown is stored as the very bytes it was read from; an edited
    // one is cleaned up as every edit is.
    auto text = [this](RecordField field, const QLineEdit* control) {
        return IsEdited(control) ? StoredField(field, FieldBytes(control, recordEncoding_))
                                 : GivenBytes(control);
    };
    auto picture = [](RecordField field, const PictureBox* box) {
        return box->tag == GivenBytes(box) ? box->tag : StoredField(field, box->tag);
    };
    RecordFields f;
    f[kId] = text(kId, txtID());
    f[kGenre] = StoredField(kGenre, ShownBytes(cmbGameGenRe()));
    Qt::CheckState flag = chkISO()->checkState();
    f[kImageFlag] = DiffersFromShown(chkISO(), QString::number(flag))
                        ? std::to_string(flag == Qt::Unchecked ? 0
                                         : flag == Qt::Checked ? 1
                                                               : 2)
                        : GivenBytes(chkISO());
    f[kImagePath] = text(kImagePath, txtISO());
    f[kFirstPicture] = picture(kFirstPicture, imgGame(0));
    f[kSecondPicture] = picture(kSecondPicture, imgGame(1));
    f[kEmulator] = StoredField(kEmulator, ShownBytes(cmbPlay()));
    f[kDescription] =
        IsEdited(txtDescription())
            ? StoredField(kDescription, EditedDescription(txtDescription(), recordEncoding_))
            : GivenBytes(txtDescription());
    return JoinRecord(f);
}

void formGameInventory::SaveGameRecord() {
    inventory_.inventoryChanged = true;
    std::string record = EditorRecord();
    std::string name = FieldBytes(txtName(), recordEncoding_);

    int selected = SelectedGame();
    GameLists& lists = inventory_.Lists();
    if (selected >= 0 && lists.Name(selected) == name) {
        lists.SetRecord(lists.Link(selected), std::move(record));
    } else if (!TrimBlanks(name).empty()) {
        model_->BeginChange();
        int added = lists.AddGame(CleanName(std::move(name)), std::move(record));
        model_->EndChange();
        SelectGame(added);
    }
    SetAddButtonColour(QApplication::palette(btnAdd()).color(QPalette::Button));
}

void formGameInventory::btnDelete_Click() {
    int selected = SelectedGame();
    if (selected >= 0) {
        // No other game gets selected in its place: the editor keeps the removed game.
        QSignalBlocker blocker(lstName()->selectionModel());
        model_->RemoveGame(selected);
        lstName()->selectionModel()->clear();
        lstName()->viewport()->update();
    }
    inventory_.inventoryChanged = true;
}

void formGameInventory::btnClear_Click() {
    SetBytes(txtName(), {});
    SetBytes(txtID(), {});
    SelectEntryByText(cmbGameGenRe(), {});
    chkISO()->setCheckState(Qt::Unchecked);
    RememberBytes(chkISO(), {}, QString());  // stored as the box says: 0
    SetBytes(txtISO(), {});
    SelectEntryByText(cmbPlay(), {});
    for (int i = 0; i < 2; ++i) {
        imgGame(i)->tag.clear();
        imgGame(i)->LoadPicture({});
    }
    txtDescription()->clear();
    lblPlayed()->clear();
    btnPlay()->setEnabled(false);
    txtName()->setFocus();
}

}  // namespace vorlisk
