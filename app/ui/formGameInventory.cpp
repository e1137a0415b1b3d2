#include "app/ui/formGameInventory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <cstdio>

#include "app/programlog.h"
#include "app/ui/backgroundwork.h"
#include "app/ui/comeforward.h"
#include "app/ui/text.h"
#include "app/ui/userinterface.h"
#include "app/ui/widgets.h"
#include "import/ui/coverfolders.h"
#include "inventory/ui/gamelistmodel.h"
#include "launch/ui/formEmulatorPath.h"
#include "launch/ui/playclock.h"
#include "launch/ui/startwatch.h"
#include "system/files.h"
#include "system/folders.h"
#include "system/services.h"
#include "system/textfile.h"
#include "ui_formGameInventory.h"

namespace vorlisk {

namespace {

constexpr int kTwipsPerPixel = 15;
// Twips between the window's outer width and its client area (the frame).
constexpr int kFrameTwips = 105;
constexpr int kClientHeightTwips = 4935;

const char* const kCredits = "Vorlisk 1.0 \xC2\xA9 2026";
const char* const kLicence = "Free software under the MIT licence (see LICENSE).";

int Pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

}  // namespace

formGameInventory::formGameInventory(SystemServices& system, UserInterface& ui, QWidget* parent)
    : QDialog(parent), system_(system), ui_(ui), form_(std::make_unique<Ui::formGameInventory>()) {
    form_->setupUi(this);
    Qt::WindowFlags flags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint;
#ifdef _WIN32
    // Only the buttons named, and a thin frame: the layout is fixed, so nothing maximises.
    flags |= Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint;
#endif
    setWindowFlags(flags);
    setWindowIcon(QIcon(QStringLiteral(":/resources/vorlisk.png")));
    setSizeGripEnabled(false);
    lblCredits()->setText(QString::fromUtf8(kCredits));
    model_ = new GameListModel(inventory_.Lists(), this);
    lstName()->setModel(model_);
    lstName()->setUniformItemSizes(true);
    lstName()->setSelectionMode(QAbstractItemView::SingleSelection);
    // A border of the style sheet's own: the style's frame loses its right and bottom lines
    // under the scroll areas' contents at 125 % and 150 % scaling.
    for (QFrame* box : {static_cast<QFrame*>(lstName()), static_cast<QFrame*>(txtDescription())})
        box->setStyleSheet(QStringLiteral(
            "QAbstractScrollArea { border: 1px solid palette(mid); background: palette(base); }"
            "QAbstractScrollArea:focus { border-color: palette(highlight); }"));
    emptyHint_ = new QLabel(lstName());
    emptyHint_->setObjectName(QStringLiteral("lblEmptyHint"));
    emptyHint_->setAlignment(Qt::AlignCenter);
    emptyHint_->setWordWrap(true);
    emptyHint_->setEnabled(false);  // greyed, as a hint is
    connect(model_, &QAbstractItemModel::modelReset, this, &formGameInventory::UpdateEmptyHint);
    // The designed client area; the width follows the layout (narrow or wide).
    setFixedSize(Pixels(kWideWidthTwips - kFrameTwips), Pixels(kClientHeightTwips));
    ConnectHandlers();
}

formGameInventory::~formGameInventory() = default;

// ---- controls ----

QComboBox* formGameInventory::cmbGenre() const { return form_->cmbGenre; }
QListView* formGameInventory::lstName() const { return form_->lstName; }
PictureBox* formGameInventory::imgGame(int index) const {
    return index == 0 ? form_->imgGame_0 : form_->imgGame_1;
}
QLabel* formGameInventory::imgEmu(int index) const {
    QLabel* logos[] = {form_->imgEmu_0, form_->imgEmu_1, form_->imgEmu_2, form_->imgEmu_3};
    return index >= 0 && index < 4 ? logos[index] : nullptr;
}
ClickableLabel* formGameInventory::lblCredits() const { return form_->lblCredits; }
QPushButton* formGameInventory::btnPaths() const { return form_->btnPaths; }
QPushButton* formGameInventory::btnAddISO() const { return form_->btnAddISO; }
QPushButton* formGameInventory::btnPlay() const { return form_->btnPlay; }
QPushButton* formGameInventory::btnInfo() const { return form_->btnInfo; }
QPushButton* formGameInventory::btnClose() const { return form_->btnClose; }
QLineEdit* formGameInventory::txtName() const { return form_->txtName; }
QLineEdit* formGameInventory::txtID() const { return form_->txtID; }
QPushButton* formGameInventory::btnGet() const { return form_->btnGet; }
QComboBox* formGameInventory::cmbGameGenRe() const { return form_->cmbGameGenRe; }
QPlainTextEdit* formGameInventory::txtDescription() const { return form_->txtDescription; }
QCheckBox* formGameInventory::chkISO() const { return form_->chkISO; }
QLineEdit* formGameInventory::txtISO() const { return form_->txtISO; }
QPushButton* formGameInventory::btnBrowse() const { return form_->btnBrowse; }
QComboBox* formGameInventory::cmbPlay() const { return form_->cmbPlay; }
QPushButton* formGameInventory::btnAdd() const { return form_->btnAdd; }
QPushButton* formGameInventory::btnDelete() const { return form_->btnDelete; }
QPushButton* formGameInventory::btnClear() const { return form_->btnClear; }
QLabel* formGameInventory::lblPlayed() const { return form_->lblPlayed; }
QLabel* formGameInventory::label(const char* name) const {
    return findChild<QLabel*>(QString::fromLatin1(name));
}

void formGameInventory::ConnectHandlers() {
    connect(btnClose(), &QPushButton::clicked, this, &formGameInventory::btnClose_Click);
    connect(btnInfo(), &QPushButton::clicked, this, &formGameInventory::btnInfo_Click);
    connect(lblCredits(), &ClickableLabel::clicked, this, &formGameInventory::lblCredits_Click);
    connect(cmbGenre(), &QComboBox::currentIndexChanged, this, &formGameInventory::cmbGenre_Click);
    connect(lstName()->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (SelectedGame() >= 0) lstName_Click();
    });
    connect(btnAdd(), &QPushButton::clicked, this, &formGameInventory::SaveGameRecord);
    connect(btnDelete(), &QPushButton::clicked, this, &formGameInventory::btnDelete_Click);
    connect(btnClear(), &QPushButton::clicked, this, &formGameInventory::btnClear_Click);
    connect(txtName(), &QLineEdit::textChanged, this, &formGameInventory::MarkEdited);
    connect(txtID(), &QLineEdit::textChanged, this, &formGameInventory::MarkEdited);
    connect(txtISO(), &QLineEdit::textChanged, this, &formGameInventory::MarkEdited);
    connect(txtDescription(), &QPlainTextEdit::textChanged, this, &formGameInventory::MarkEdited);
    connect(cmbGameGenRe(), &QComboBox::currentIndexChanged, this, &formGameInventory::MarkEdited);
    connect(chkISO(), &QCheckBox::stateChanged, this, &formGameInventory::chkISO_Click);
    connect(btnBrowse(), &QPushButton::clicked, this, &formGameInventory::btnBrowse_Click);
    connect(btnAddISO(), &QPushButton::clicked, this, &formGameInventory::btnAddISO_Click);
    connect(btnGet(), &QPushButton::clicked, this, &formGameInventory::btnGet_Click);
    connect(cmbPlay(), &QComboBox::currentIndexChanged, this, &formGameInventory::cmbPlay_Click);
    connect(btnPaths(), &QPushButton::clicked, this, &formGameInventory::btnPaths_Click);
    connect(btnPlay(), &QPushButton::clicked, this, &formGameInventory::btnPlay_Click);
    connect(lstName(), &QListView::doubleClicked, this, &formGameInventory::lstName_DblClick);
    for (int i = 0; i < 2; ++i) {
        connect(imgGame(i), &PictureBox::clicked, this, [this, i] { imgGame_Click(i); });
        connect(imgGame(i), &PictureBox::doubleClicked, this, [this, i] { imgGame_DblClick(i); });
    }
    // The key presses of the window, and the focus arriving in txtISO, pass through
    // eventFilter. Keys are watched where the window system delivers them, on the window
    // itself, so that each is seen once whatever happens to the focus while it is handled.
    create();
    windowHandle()->installEventFilter(this);
    txtISO()->installEventFilter(this);
}

// ---- start-up and shutdown ----

bool formGameInventory::Form_Load() {
    appPath_ = system_.ApplicationFolder();
    if (appPath_.empty() || (appPath_.back() != '/' && appPath_.back() != '\\'))
#ifdef _WIN32
        appPath_ += '\\';
#else
        appPath_ += '/';
#endif
    if (!system_.ClaimSingleInstance()) return false;
    inventory_ = InventoryFile(appPath_ + "gameinv.txt");

    pathDialog_ = std::make_unique<formEmulatorPath>(*this, ui_);
    startWatch_ = new StartWatch(*this, ui_, text_, LogPath());
    covers_ = new CoverFolders(appPath_, this);
    connect(covers_, &CoverFolders::changed, this, &formGameInventory::ShowPictures);
    // Listed once the window is up: on a busy machine the listing would slow its start.
    QTimer::singleShot(CoverFolders::kFirstListingMs, covers_, &CoverFolders::Refresh);
    playClock_ = new PlayClock(appPath_ + "playtime.txt", this);
    connect(playClock_, &PlayClock::played, this, &formGameInventory::ShowPlayTime);
    TextLines paths = pathDialog_->PathFile().Read();
    if (!paths.complete && PathExists(pathDialog_->PathFile().Path()))
        SayUnreadable(pathDialog_->PathFile().Path(), paths.failureReason);
    for (int i = 0; i < 4; ++i) {
        size_t line = static_cast<size_t>(i);
        ShowBytes(pathDialog_->txtPath(i), line < paths.lines.size() ? paths.lines[line] : "");
    }

    SetWidthTwips(kNarrowWidthTwips);
    SelectEntry(cmbGenre(), 0);
    SelectEntry(cmbPlay(), 0);
    SelectEntry(cmbGameGenRe(), 0);
    text_ = InterfaceText();
    ApplyTranslation();
    ApplyGenreList();
    lstName()->setFocus();
    return true;
}

void formGameInventory::ApplyTranslation() {
    static const char* const kTranslated[kTranslatedCaptions] = {
        "btnAdd",   "btnAddISO", "btnClose", "btnClear",       "btnDelete",
        "btnGet",   "btnPaths",  "btnPlay",  "lblDescription", "lblGameInfo",
        "lblGenre", "lblID",     "lblPlay",  "lblScrnShots",   "chkISO"};
    Translation translation = ReadTranslation(appPath_ + "translate.txt");
    if (!translation.complete) SayUnreadable(appPath_ + "translate.txt", translation.failureReason);
    for (size_t i = 0; i < translation.captions.size() && i < kTranslatedCaptions; ++i) {
        QWidget* control = findChild<QWidget*>(QString::fromLatin1(kTranslated[i]));
        QString caption = ToQt(translation.captions[i]);
        if (auto* button = qobject_cast<QAbstractButton*>(control))
            button->setText(caption);
        else if (auto* text = qobject_cast<QLabel*>(control))
            // A label with a field beside it takes its access key there, as a button does.
            text->setText(text->buddy() ? caption : WithoutAccessKeys(caption));
    }
    text_ = translation.text;
    UpdateEmptyHint();
}

void formGameInventory::UpdateEmptyHint() {
    emptyHint_->setText(ToQt(text_.strEmptyCatalogue));
    emptyHint_->setGeometry(lstName()->rect().adjusted(6, 6, -6, -6));
    emptyHint_->setVisible(model_->rowCount() == 0);
}

void formGameInventory::ApplyGenreList() {
    GenreList list = ReadGenreList(appPath_ + "genre.txt");
    if (!list.present) return;  // the designed lists stay
    if (!list.complete) SayUnreadable(appPath_ + "genre.txt", list.failureReason);
    {
        // Rebuilding the lists selects nothing by itself; the filter is loaded once below.
        QSignalBlocker genreBlocker(cmbGenre());
        QSignalBlocker editorBlocker(cmbGameGenRe());
        cmbGenre()->clear();
        cmbGameGenRe()->clear();
        cmbGenre()->addItem(ToQt(text_.strAllGenres));
        for (const std::string& genre : list.genres) {
            // Each entry keeps its bytes: the filter and the records compare bytes.
            QByteArray bytes(genre.data(), static_cast<qsizetype>(genre.size()));
            cmbGenre()->addItem(ToQt(genre), bytes);
            cmbGameGenRe()->addItem(ToQt(genre), bytes);
        }
        cmbGameGenRe()->setCurrentIndex(-1);
        cmbGenre()->setCurrentIndex(-1);
    }
    if (!list.complete) return;
    SelectEntry(cmbGenre(), 0);
}

void formGameInventory::SayUnreadable(const std::string& path, const std::string& reason) {
    const std::string text = "The file " + path + " could not be read (" + reason + ").";
    AppendToLog(LogPath(), text);
    ui_.ShowMessage(this, ToQt(text), windowTitle(), MessageIcon::Exclamation);
}

QString formGameInventory::SaveCatalogue() {
    InventoryFile::SaveStatus saved = inventory_.SaveInventory();
    if (!saved.ok) return ToQt(saved.reason);
    if (inventory_.WriteProtected() && inventory_.inventoryChanged)
        return QStringLiteral("it could not be read to its end when loaded");
    return {};
}

void formGameInventory::btnClose_Click() {
    // A later start while this copy saves finds nobody to answer and opens its own window once
    // this copy has ended.
    const bool listened = StopListeningForLaterStarts(*this);
    if (QString reason = SaveCatalogue(); !reason.isEmpty()) {
        QString question = QStringLiteral(
                               "The catalogue could not be saved to %1 (%2).\r\n\r\n"
                               "Quit without saving?")
                               .arg(ToQt(inventory_.Path()), reason);
        if (!ui_.AskYesNo(this, question, windowTitle())) {
            if (listened) ListenForLaterStarts(*this, appPath_);
            return;
        }
    }
    EndProgram();
}

bool formGameInventory::SaveAtSessionEnd() {
    QStringList notSaved;
    if (QString reason = SaveCatalogue(); !reason.isEmpty())
        notSaved << QStringLiteral("The catalogue could not be saved to %1 (%2).")
                        .arg(ToQt(inventory_.Path()), reason);
    if (pathDialog_ && pathDialog_->isVisible())
        if (QString text = pathDialog_->NotSavedText(pathDialog_->SavePaths()); !text.isEmpty())
            notSaved << text;
    if (playClock_)
        if (std::string reason = playClock_->CountSoFar(); !reason.empty())
            notSaved
                << QStringLiteral("The play history could not be saved (%1).").arg(ToQt(reason));
    for (const QString& text : notSaved) {
        std::fprintf(stderr, "vorlisk: %s\n", text.toLocal8Bit().constData());
        AppendToLog(LogPath(), "At the session's end: " + text.toStdString());
    }
    return notSaved.isEmpty();
}

void formGameInventory::EndProgram() {
    // Paths typed into a dialog that is still open are kept as closing it would keep them.
    if (pathDialog_ && pathDialog_->isVisible()) pathDialog_->Form_QueryUnload();
    if (playClock_)
        if (std::string reason = playClock_->CountSoFar(); !reason.empty())
            AppendToLog(LogPath(), "The play history could not be saved: " + reason);
    ui_.EndProgram();
}

bool formGameInventory::RunInBackground(
    const std::function<QString(size_t done, size_t total)>& label,
    const std::function<void(WorkProgress&)>& work) {
    BackgroundWork background(this, label, ToQt(text_.strCancel));
    work_ = &background;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    bool ended = background.Run(work);
    QApplication::restoreOverrideCursor();
    work_ = nullptr;
    return ended;
}

void formGameInventory::closeEvent(QCloseEvent* event) {
    // Form_QueryUnload: every close request saves and ends the program like Close does; long
    // work still running is cancelled first, so it changes nothing.
    if (work_) work_->Cancel();
    event->ignore();
    btnClose_Click();
}

void formGameInventory::reject() { btnClose_Click(); }

bool formGameInventory::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtISO() && event->type() == QEvent::FocusIn)
        txtISO_GotFocus(static_cast<QFocusEvent*>(event)->reason());
    if (watched == windowHandle()) {
        HandleKeyPress(event);
        // The starting window is placed once it is first on the screen: by then the place given
        // on the command line (-qwindowgeometry) is applied, and the window manager has put its
        // frame, whose size counts, around it.
        if (event->type() == QEvent::Expose && !framed_ && windowHandle()->isExposed()) {
            framed_ = true;
            KeepOnScreen();
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- layout ----

int formGameInventory::WidthTwips() const { return width() * kTwipsPerPixel + kFrameTwips; }

void formGameInventory::SetWidthTwips(int twips) { setFixedWidth(Pixels(twips - kFrameTwips)); }

void formGameInventory::MoveLeftTwips(QWidget* control, int twips) {
    control->move(Pixels(twips), control->y());
}

void formGameInventory::KeepOnScreen() {
    // The window system's window is asked: the widget learns of a place given from outside
    // (the command line's) only from the window system's next events.
    QWindow* shown = windowHandle();
    if (!shown || !shown->screen()) return;
    const QRect area = shown->screen()->availableGeometry();
    const QRect frame = shown->frameGeometry();
    // Left or up as far as needed; a window larger than the area keeps its top left corner in.
    const QPoint inside(
        std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width())),
        std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height())));
    if (inside != frame.topLeft()) move(inside);
}

void formGameInventory::btnInfo_Click() {
    QPushButton* editorButtons[] = {btnGet(), btnAdd(), btnDelete(), btnClear()};
    if (WidthTwips() == kNarrowWidthTwips) {
        // The panel shows the whole catalogue: reload it first, remembering the selected game
        // by its name and record (names need not be unique). When the reload is refused (the
        // save before it failed and said so), the list stays filtered and the panel closed.
        const GameLists& lists = inventory_.Lists();
        int selected = SelectedGame();
        std::string name = selected >= 0 ? lists.Name(selected) : std::string();
        std::string record = selected >= 0 ? lists.RecordOf(selected) : std::string();
        SelectEntry(cmbGenre(), 0);
        if (cmbGenre()->currentIndex() != 0) return;

        for (QPushButton* button : editorButtons) button->setEnabled(true);
        btnInfo()->setText(QStringLiteral("<< &Info"));
        MoveLeftTwips(btnPlay(), 4670);
        MoveLeftTwips(btnInfo(), 5975);
        MoveLeftTwips(btnClose(), 7280);
        SetWidthTwips(kWideWidthTwips);
        KeepOnScreen();
        btnAdd()->setDefault(true);
        cmbGenre()->setEnabled(false);
        if (selected >= 0) SelectGame(lists.FindGame(name, record));
        imgGame(0)->setToolTip(QStringLiteral("Click here to add picture"));
        imgGame(1)->setToolTip(QStringLiteral("Click here to add picture"));
        btnPaths()->show();
        btnAddISO()->show();
    } else {
        for (QPushButton* button : editorButtons) button->setEnabled(false);
        btnInfo()->setText(QStringLiteral("&Info >>"));
        MoveLeftTwips(btnPlay(), 870);
        MoveLeftTwips(btnInfo(), 2175);
        MoveLeftTwips(btnClose(), 3480);
        SetWidthTwips(kNarrowWidthTwips);
        btnPlay()->setDefault(true);
        cmbGenre()->setEnabled(true);
        imgGame(0)->setToolTip(QString());
        imgGame(1)->setToolTip(QString());
        btnPaths()->hide();
        btnAddISO()->hide();
    }
}

void formGameInventory::lblCredits_Click() {
    const std::string readme = InstalledReadme(system_.ProgramFolder());
    QString text = QString::fromUtf8(kCredits) + QStringLiteral("\r\n\r\n") +
                   QString::fromLatin1(kLicence) + QStringLiteral("\r\n") +
                   QStringLiteral("The README: %1").arg(ToQt(readme));
    ui_.ShowMessage(this, text, windowTitle(), MessageIcon::Information);
    if (FileExists(readme)) ui_.OpenAddress(QUrl::fromLocalFile(ToQt(readme)).toString());
}

// ---- selections ----

void formGameInventory::SelectEntry(QComboBox* box, int index) {
    if (box->currentIndex() == index)
        emit box->currentIndexChanged(index);
    else
        box->setCurrentIndex(index);
}

int formGameInventory::SelectedGame() const {
    const QModelIndexList rows = lstName()->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void formGameInventory::SelectGame(int row) {
    if (row < 0 || row >= inventory_.Lists().Count()) {
        lstName()->selectionModel()->clear();
        return;
    }
    QModelIndex index = model_->index(row);
    lstName()->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    lstName()->scrollTo(index);
}

}  // namespace vorlisk
