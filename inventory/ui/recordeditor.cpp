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

namespace vorlisk {

namespace {
const QColor kEditedColour(0, 255, 0);  // 65280
}

// ---- genre filter and inventory file ----

void formGameInventory::cmbGenre_Click() {
    int entry = cmbGenre()->currentIndex();
    if (entry < 0) return;
    LoadInventory(entry == 0 ? std::string() : FromQt(cmbGenre()->currentText()));
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

void formGameInventory::SelectEntryByText(QComboBox* box, const QString& text) {
    int entry = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    // A text that is no entry (a genre of another genre list, say) is still shown, and
    // stored again by Add/Update, rather than lost.
    box->setPlaceholderText(entry < 0 ? text : QString());
    SelectEntry(box, entry);
}

QString formGameInventory::ShownText(const QComboBox* box) {
    return box->currentIndex() >= 0 ? box->currentText() : box->placeholderText();
}

void formGameInventory::lstName_Click() {
    int selected = SelectedGame();
    if (selected < 0) return;
    txtName()->setText(ToQt(inventory_.Lists().Name(selected)));
    ShowGameRecord(inventory_.Lists().RecordOf(selected));
}

void formGameInventory::ShowGameRecord(const std::string& record) {
    ShownRecord shown = ReadRecord(record);
    const GameFields& f = shown.fields;
    txtID()->setText(ToQt(f.id));
    SelectEntryByText(cmbGameGenRe(), ToQt(f.genre));
    std::optional<int> flag = ParseImageFlag(shown.imageFlagText);
    if (flag && *flag >= 0 && *flag <= 2)
        chkISO()->setCheckState(*flag == 0   ? Qt::Unchecked
                                : *flag == 1 ? Qt::Checked
                                             : Qt::PartiallyChecked);
    txtISO()->setText(ToQt(f.imagePath));
    imgGame(0)->tag = ToQt(f.firstPicture);
    imgGame(1)->tag = ToQt(f.secondPicture);
    imgGame(0)->LoadPicture(imgGame(0)->tag);
    imgGame(1)->LoadPicture(imgGame(1)->tag);
    SelectEntryByText(cmbPlay(), ToQt(f.emulator));
    txtDescription()->setPlainText(ToEditorLines(ToQt(f.description)));

    int selected = SelectedGame();
    QString name = selected >= 0 ? ToQt(inventory_.Lists().Name(selected)) : QString();
    lstName()->setToolTip(txtID()->text() + QLatin1Char(' ') + name);
    imgGame(0)->setToolTip(txtDescription()->toPlainText());
    imgGame(1)->setToolTip(txtISO()->text());

    bool imageExists = FileExists(FromQt(txtISO()->text()));
    bool discMatches = GetDiscGameId() == FromQt(txtID()->text());
    btnPlay()->setEnabled(imageExists || discMatches);
    SetAddButtonColour(QApplication::palette(btnAdd()).color(QPalette::Button));
}

void formGameInventory::SaveGameRecord() {
    inventory_.inventoryChanged = true;

    GameFields fields;
    fields.id = FromQt(txtID()->text());
    fields.genre = FromQt(ShownText(cmbGameGenRe()));
    fields.imageFlag = chkISO()->checkState() == Qt::Unchecked ? 0
                       : chkISO()->checkState() == Qt::Checked ? 1
                                                               : 2;
    fields.imagePath = FromQt(txtISO()->text());
    fields.firstPicture = FromQt(imgGame(0)->tag);
    fields.secondPicture = FromQt(imgGame(1)->tag);
    fields.emulator = FromQt(ShownText(cmbPlay()));
    fields.description = FromQt(FromEditorLines(txtDescription()->toPlainText()));
    std::string record = BuildRecord(fields);

    int selected = SelectedGame();
    GameLists& lists = inventory_.Lists();
    if (selected >= 0 && ToQt(lists.Name(selected)) == txtName()->text()) {
        lists.SetRecord(lists.Link(selected), std::move(record));
    } else if (!TrimBlanks(FromQt(txtName()->text())).empty()) {
        model_->BeginChange();
        int added = lists.AddGame(CleanName(FromQt(txtName()->text())), std::move(record));
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
    txtName()->clear();
    txtID()->clear();
    SelectEntryByText(cmbGameGenRe(), QString());
    chkISO()->setCheckState(Qt::Unchecked);
    txtISO()->clear();
    SelectEntryByText(cmbPlay(), QString());
    for (int i = 0; i < 2; ++i) {
        imgGame(i)->tag.clear();
        imgGame(i)->clear();
    }
    txtDescription()->clear();
    btnPlay()->setEnabled(false);
    txtName()->setFocus();
}

}  // namespace vorlisk
