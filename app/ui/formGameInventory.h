#pragma once
// The main window: the game list with its genre filter, the two pictures, and the
// information panel with the record editor. Its controls are the program's working state.

#include <QColor>
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "app/interfacetext.h"
#include "import/folderimport.h"
#include "inventory/inventoryfile.h"
#include "system/textencoding.h"

class QComboBox;
class QPushButton;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QCheckBox;
class QLabel;

namespace Ui {
class formGameInventory;
}

namespace vorlisk {

class SystemServices;
class UserInterface;
class GameListModel;
class PictureBox;
class ClickableLabel;
class formEmulatorPath;
class StartWatch;
class BackgroundWork;
class CoverFolders;
class PlayClock;
struct WorkProgress;

class formGameInventory : public QDialog {
    Q_OBJECT
  public:
    formGameInventory(SystemServices& system, UserInterface& ui, QWidget* parent = nullptr);
    ~formGameInventory() override;

    // Start-up. False when the program must end at once (another copy runs on the data
    // folder, which AppPath then names).
    bool Form_Load();

    // ---- controls ----
    QComboBox* cmbGenre() const;
    QListView* lstName() const;
    PictureBox* imgGame(int index) const;
    QLabel* imgEmu(int index) const;
    ClickableLabel* lblCredits() const;
    QPushButton* btnPaths() const;
    QPushButton* btnAddISO() const;
    QPushButton* btnPlay() const;
    QPushButton* btnInfo() const;
    QPushButton* btnClose() const;
    QLineEdit* txtName() const;
    QLineEdit* txtID() const;
    QPushButton* btnGet() const;
    QComboBox* cmbGameGenRe() const;
    QPlainTextEdit* txtDescription() const;
    QCheckBox* chkISO() const;
    QLineEdit* txtISO() const;
    QPushButton* btnBrowse() const;
    QComboBox* cmbPlay() const;
    QPushButton* btnAdd() const;
    QPushButton* btnDelete() const;
    QPushButton* btnClear() const;
    QLabel* label(const char* name) const;
    QLabel* lblPlayed() const;
    formEmulatorPath* PathDialog() const { return pathDialog_.get(); }

    // ---- state ----
    const std::string& AppPath() const { return appPath_; }
    const InterfaceText& Texts() const { return text_; }
    InventoryFile& Inventory() { return inventory_; }
    bool inventoryChanged() const { return inventory_.inventoryChanged; }
    const QString& searchText() const { return searchText_; }

    // The window's outer width in twips (15 per pixel, the frame included).
    int WidthTwips() const;
    static constexpr int kNarrowWidthTwips = 4875;
    static constexpr int kWideWidthTwips = 8715;
    // Row of the selected game in lstName, or -1.
    int SelectedGame() const;
    // Selects the game at `row` (-1: none), running lstName_Click as a click would.
    void SelectGame(int row);
    // Selects entry `index` of a combo box, running its handler even when the entry was
    // already selected.
    static void SelectEntry(QComboBox* box, int index);
    // Selects the entry of `box` whose bytes are `text`, running its handler; when there is
    // none, no entry is selected and the box shows `text` greyed.
    static void SelectEntryByText(QComboBox* box, const std::string& text);
    // The text the box shows: its entry's, or the greyed text of SelectEntryByText.
    static QString ShownText(const QComboBox* box);
    // The bytes of what the box shows.
    static std::string ShownBytes(const QComboBox* box);
    // The image path of the editor, as bytes.
    std::string ImagePath() const;
    // The record the editor holds, as Add/Update stores it.
    std::string EditorRecord() const;

    // ---- handlers ----
    void btnClose_Click();
    // Saves what Close saves, and the paths of an open path dialog, for the desktop session
    // is ending: asks nothing and shows nothing, for nobody may be there to answer. What
    // cannot be saved is told on standard error, and a save that fails leaves the old file as
    // it was. False when something was not saved.
    bool SaveAtSessionEnd();
    void btnInfo_Click();
    void lblCredits_Click();
    void cmbGenre_Click();
    void LoadInventory(const std::string& genre);

    void lstName_Click();
    void ShowGameRecord(const std::string& record);
    void SaveGameRecord();
    void btnDelete_Click();
    void btnClear_Click();
    void MarkEdited();
    // The back colour of btnAdd: green while the editor holds unsaved edits.
    QColor AddButtonColour() const;

    void chkISO_Click();
    void btnBrowse_Click();
    void txtISO_GotFocus(Qt::FocusReason reason);
    // The chosen file, or the empty text. `Filter` is the "|"-separated filter text.
    QString OpenDialog(QWidget* Form1, const std::string& Filter, const QString& Title,
                       const QString& InitDir);
    void btnGet_Click();
    // The ID of the disc in a drive; right after a mount, `mountOutput` (what the helper
    // printed) puts the helper's own mount point first.
    std::string GetDiscGameId(const std::string& mountOutput = std::string());
    // Puts `id` into txtID and, when games.txt knows it, the game's name into txtName and
    // the focus on the genre.
    void TakeGameId(const std::string& id);

    void cmbPlay_Click();
    void btnPaths_Click();
    void btnPlay_Click();
    // Mounts `imagePath` with the helper that Play finds and waits for the mount command to end
    // while the window paints (a progress box with Cancel after half a second); what the helper
    // printed goes into `mountOutput`. A failed mount is told in a message with its error output.
    // NotMounted: no mount program was found, or none takes the image's kind.
    enum class MountOutcome { Mounted, NotMounted, Failed, Cancelled };
    MountOutcome MountImage(const std::string& imagePath, std::string& mountOutput);
    void lstName_DblClick();
    void imgGame_DblClick(int Index);
    void RunMountScript(const std::string& imagePath, const std::string& mountOutput,
                        bool imageInDrive);

    void imgGame_Click(int Index);
    // Fills the picture boxes for the record in the editor: each with its chosen picture, else
    // the one its folder of pictures holds for the game, and the emulator's logo in the first
    // box that shows neither. Nothing in the record changes.
    void ShowPictures();
    // Puts the logo of the chosen emulator into the first picture box that shows no picture.
    void ShowEmulatorLogo();
    CoverFolders* Covers() const { return covers_; }
    // Shows when the game in the editor was last played and for how long in all.
    void ShowPlayTime();
    PlayClock* Clock() const { return playClock_; }
    void btnAddISO_Click();
    // The chosen folder, ending in one separator, or the empty text.
    QString BrowseFolder(const QString& Msg);
    // Adds the images of every type in `folder`, read once while the window paints (a progress
    // box with Cancel after half a second), in one change of the lists; nothing when cancelled.
    // Then tells how many files could not be read, naming the first few.
    void AddImages(const std::string& folder);
    // What reads a folder's images for AddImages (FolderImages; tests slow it down).
    using FolderReader = std::function<std::vector<std::pair<std::string, std::string>>(
        const std::string& folder, const ImportProgress& progress,
        std::vector<std::string>* skipped)>;
    void SetFolderReader(FolderReader reader) { folderReader_ = std::move(reader); }

    void Form_KeyDown(int KeyCode, int Shift);
    void FindGame();
    void FindNext();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

  private:
    // Runs `work` off the window's thread as BackgroundWork does, its box labelled by `label`.
    // False when it was cancelled.
    bool RunInBackground(const std::function<QString(size_t done, size_t total)>& label,
                         const std::function<void(WorkProgress&)>& work);
    // Moves the window, its size unchanged, into the available area of its screen.
    void KeepOnScreen();
    void ChangeListsKeepingSelection(const std::function<void()>& change);
    bool HandleKeyPress(QEvent* event);
    void ApplyTranslation();
    void ApplyGenreList();
    // Shows the hint in the list while the catalogue holds no game.
    void UpdateEmptyHint();
    // Tells the user, and the log, that the file at `path` could not be read and why.
    void SayUnreadable(const std::string& path, const std::string& reason);
    void SetWidthTwips(int twips);
    void MoveLeftTwips(QWidget* control, int twips);
    void WarnSaveFailed(const InventoryFile::SaveStatus& status);
    void SetAddButtonColour(const QColor& colour);
    void ConnectHandlers();
    void EndProgram();
    // The program's log in the data folder.
    std::string LogPath() const { return appPath_ + "vorlisk.log"; }
    // Saves the catalogue; the reason when it was not saved, else the empty text.
    QString SaveCatalogue();

    SystemServices& system_;
    UserInterface& ui_;
    std::unique_ptr<Ui::formGameInventory> form_;
    std::unique_ptr<formEmulatorPath> pathDialog_;
    StartWatch* startWatch_ = nullptr;  // made with the path dialog
    CoverFolders* covers_ = nullptr;    // made at start-up
    PlayClock* playClock_ = nullptr;    // made at start-up
    InventoryFile inventory_{""};
    GameListModel* model_ = nullptr;
    // The hint in the list of a catalogue without games.
    QLabel* emptyHint_ = nullptr;
    std::string appPath_;
    InterfaceText text_;
    QString searchText_;
    bool unreadableWarned_ = false;
    bool framed_ = false;  // the window has been on the screen in its frame
    int loadedGenreEntry_ = 0;  // the entry of cmbGenre the lists were last loaded for
    // The encoding of the record last shown; edited plain-ASCII fields are stored in it.
    TextEncoding recordEncoding_ = TextEncoding::Utf8;
    FolderReader folderReader_ = [](const std::string& folder, const ImportProgress& progress,
                                    std::vector<std::string>* skipped) {
        return FolderImages(folder, progress, skipped);
    };
    BackgroundWork* work_ = nullptr;  // the long work running now, if any
};

}  // namespace vorlisk
