#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "app/ui/widgets.h"
#include "tests/ui/windowfixture.h"

namespace vorlisk::testing {
namespace {

const QColor kGreen(0, 255, 0);

class EditorTest : public WindowTest {
  protected:
    formGameInventory& StartWide(const std::string& catalogue) {
        Write("gameinv.txt", catalogue);
        formGameInventory& w = Start();
        w.btnInfo_Click();
        return w;
    }
    QColor ButtonFace() const {
        return QApplication::palette(window->btnAdd()).color(QPalette::Button);
    }
};

const std::string kThree =
    "First\tF-1\tRPG\t0\t\t\t\tReal PSX\tfirst game\r\n"
    "Second\tS-2\tRACE\t0\t\t\t\tReal PSX\tsecond game\r\n"
    "Third\tT-3\tFIGHT\t0\t\t\t\tReal PSX\tthird game\r\n";

TEST_F(EditorTest, SelectingAGameShowsItsRecord) {
    Write("image.iso", "data");
    formGameInventory& w = StartWide("Game\tSLUS-00594\tSPORTS\t1\t" + Folder() +
                                     "image.iso\t\t\tReal PSX\tline one\tline two\r\n");
    Click("Game");
    EXPECT_EQ(w.txtName()->text(), QStringLiteral("Game"));
    EXPECT_EQ(w.txtID()->text(), QStringLiteral("SLUS-00594"));
    EXPECT_EQ(w.cmbGameGenRe()->currentText(), QStringLiteral("SPORTS"));
    EXPECT_EQ(w.chkISO()->checkState(), Qt::Checked);
    EXPECT_TRUE(w.txtISO()->isEnabled());
    EXPECT_TRUE(w.btnBrowse()->isEnabled());
    EXPECT_EQ(w.txtDescription()->toPlainText(), QStringLiteral("line one\nline two"));
    EXPECT_EQ(w.lstName()->toolTip(), QStringLiteral("SLUS-00594 Game"));
    EXPECT_EQ(w.imgGame(0)->toolTip(), QStringLiteral("line one\nline two"));
    EXPECT_EQ(w.imgGame(1)->toolTip(), ToQt(Folder() + "image.iso"));
    EXPECT_TRUE(w.btnPlay()->isEnabled());
    EXPECT_EQ(w.AddButtonColour(), ButtonFace());

    w.txtDescription()->setPlainText(QStringLiteral("edited"));
    EXPECT_EQ(w.AddButtonColour(), kGreen);
}

TEST_F(EditorTest, PlayIsEnabledByTheImageOrByTheDiscInADrive) {
    Write("drive/SYSTEM.CNF", "");
    std::filesystem::create_directories(Folder() + "drive");
    Write("drive/SYSTEM.CNF", "BOOT = cdrom:\\SLUS_005.94;1\r\n");
    Write("empty.iso", "");
    struct Case {
        const char* what;
        std::string id;
        std::string image;
        bool withDisc;
        bool enabled;
    };
    const Case cases[] = {
        {"disc matches", "SLUS-00594", "", true, true},
        {"other disc", "SLUS-00001", "", true, false},
        {"no disc, no ID", "", "", false, true},
        {"no disc, an ID", "SLUS-00594", "", false, false},
        {"0-byte image", "X", "empty.iso", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        system.cdromRoots =
            c.withDisc ? std::vector<std::string>{Folder() + "drive/"} : std::vector<std::string>{};
        std::string image = c.image.empty() ? "" : Folder() + c.image;
        formGameInventory& w =
            StartWide("G\t" + c.id + "\tRPG\t1\t" + image + "\t\t\tReal PSX\t\r\n");
        Click("G");
        EXPECT_EQ(w.btnPlay()->isEnabled(), c.enabled);
    }
}

TEST_F(EditorTest, AddUpdateUpdatesOnlyTheSameNameElseAddsAGame) {
    struct Case {
        const char* what;
        QString name;  // typed over the selected game "Second"
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"same name updates", QStringLiteral("Second"), {"First", "Second", "Third"}},
        {"changed name adds",
         QStringLiteral("Second Edition"),
         {"First", "Second", "Second Edition", "Third"}},
        {"changed case adds", QStringLiteral("SECOND"), {"First", "SECOND", "Second", "Third"}},
        {"blanks only add nothing", QStringLiteral("   "), {"First", "Second", "Third"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        formGameInventory& w = StartWide(kThree);
        Click("Second");
        w.txtName()->setText(c.name);
        w.txtDescription()->setPlainText(QStringLiteral("  new text\nline  "));
        w.SaveGameRecord();
        EXPECT_TRUE(w.inventoryChanged());
        EXPECT_EQ(Names(), c.names);
        EXPECT_EQ(w.AddButtonColour(), ButtonFace());
        const GameLists& lists = w.Inventory().Lists();
        std::string stored = "S-2\tRACE\t0\t\t\t\tReal PSX\tnew text\r\nline";
        std::string stored_tabbed = "S-2\tRACE\t0\t\t\t\tReal PSX\tnew text\tline";
        if (c.name == QStringLiteral("Second")) {
            EXPECT_EQ(lists.RecordOf(lists.FindName("Second")), stored_tabbed);
        } else if (c.names.size() == 4) {
            EXPECT_EQ(lists.RecordOf(lists.FindName("Second")),
                      "S-2\tRACE\t0\t\t\t\tReal PSX\tsecond game");
            EXPECT_EQ(w.txtName()->text(), c.name);
            EXPECT_EQ(ToQt(lists.Name(w.SelectedGame())), c.name);
            EXPECT_EQ(SelectedRecord(), stored_tabbed);
        }
        (void)stored;
    }
}

TEST_F(EditorTest, StoredFieldsLoseTheirOuterBlanksButTheNameKeepsThem) {
    formGameInventory& w = StartWide("");
    w.btnClear_Click();
    w.txtName()->setText(QStringLiteral(" Spaced\tName "));
    w.txtID()->setText(QStringLiteral("  SLUS-00594 "));
    w.chkISO()->setChecked(true);
    w.txtISO()->setText(QStringLiteral(" /images/a b.iso "));
    w.txtDescription()->setPlainText(QStringLiteral(" one \n two "));
    formGameInventory::SelectEntry(w.cmbGameGenRe(), 2);
    formGameInventory::SelectEntry(w.cmbPlay(), 0);
    w.SaveGameRecord();
    ASSERT_EQ(Names(), (std::vector<std::string>{" Spaced Name "}));
    EXPECT_EQ(SelectedRecord(), "SLUS-00594\tFIGHT\t1\t/images/a b.iso\t\t\tReal PSX\tone \t two");
    EXPECT_EQ(w.txtID()->text(), QStringLiteral("SLUS-00594"));
}

TEST_F(EditorTest, DeleteKeepsEveryOtherGamesRecordThroughSaveAndLoad) {
    formGameInventory& w = StartWide(kThree);  // records in file order: First, Second, Third
    Click("First");
    w.btnDelete_Click();
    EXPECT_EQ(w.SelectedGame(), -1);
    EXPECT_EQ(w.txtName()->text(), QStringLiteral("First"));  // the editor keeps the game
    EXPECT_TRUE(w.inventoryChanged());
    Click("Third");
    EXPECT_EQ(w.txtID()->text(), QStringLiteral("T-3"));
    Click("Second");
    EXPECT_EQ(w.txtID()->text(), QStringLiteral("S-2"));

    w.btnInfo_Click();  // narrow again, so the filter can change
    formGameInventory::SelectEntry(w.cmbGenre(), 0);
    EXPECT_EQ(Read("gameinv.txt"),
              "Second\tS-2\tRACE\t0\t\t\t\tReal PSX\tsecond game\r\n"
              "Third\tT-3\tFIGHT\t0\t\t\t\tReal PSX\tthird game\r\n");
    Click("Third");
    EXPECT_EQ(w.txtID()->text(), QStringLiteral("T-3"));
}

TEST_F(EditorTest, DeleteThenAddBringsTheGameBack) {
    formGameInventory& w = StartWide(kThree);
    Click("Second");
    w.btnDelete_Click();
    w.SaveGameRecord();
    EXPECT_EQ(Names(), (std::vector<std::string>{"First", "Second", "Third"}));
    EXPECT_EQ(SelectedRecord(), "S-2\tRACE\t0\t\t\t\tReal PSX\tsecond game");
}

TEST_F(EditorTest, ClearEmptiesTheEditorThenAddsANewGame) {
    formGameInventory& w = StartWide(kThree);
    Click("Second");
    w.imgGame(0)->tag = "/pictures/a.png";
    w.btnClear_Click();
    EXPECT_TRUE(w.txtName()->text().isEmpty());
    EXPECT_TRUE(w.txtID()->text().isEmpty());
    EXPECT_EQ(w.cmbGameGenRe()->currentIndex(), -1);
    EXPECT_EQ(w.cmbPlay()->currentIndex(), -1);
    EXPECT_EQ(w.chkISO()->checkState(), Qt::Unchecked);
    EXPECT_FALSE(w.txtISO()->isEnabled());
    EXPECT_TRUE(w.imgGame(0)->tag.empty());
    EXPECT_FALSE(w.btnPlay()->isEnabled());
    EXPECT_EQ(w.AddButtonColour(), kGreen);
    EXPECT_EQ(w.SelectedGame(), 1);  // Clear leaves the selection alone

    w.txtName()->setText(QStringLiteral("Fourth"));
    formGameInventory::SelectEntry(w.cmbGameGenRe(), 0);
    formGameInventory::SelectEntry(w.cmbPlay(), 0);
    w.SaveGameRecord();
    EXPECT_EQ(Names(), (std::vector<std::string>{"First", "Fourth", "Second", "Third"}));
    EXPECT_EQ(SelectedRecord(), "\tRPG\t0\t\t\t\tReal PSX\t");
    Click("Second");
    EXPECT_EQ(w.txtID()->text(), QStringLiteral("S-2"));
}

TEST_F(EditorTest, AGenreOrEmulatorThatIsNoEntryIsShownAndKept) {
    formGameInventory& w = StartWide("Odd\tX-1\tPUZZLE\t0\t\t\t\tpSX\tkept\r\n" + kThree);
    Click("Odd");
    EXPECT_EQ(w.cmbGameGenRe()->currentIndex(), -1);
    EXPECT_EQ(formGameInventory::ShownText(w.cmbGameGenRe()), QStringLiteral("PUZZLE"));
    EXPECT_EQ(formGameInventory::ShownText(w.cmbPlay()), QStringLiteral("pSX"));
    w.txtDescription()->setPlainText(QStringLiteral("edited"));
    w.SaveGameRecord();
    EXPECT_EQ(SelectedRecord(), "X-1\tPUZZLE\t0\t\t\t\tpSX\tedited");

    Click("First");  // a listed genre replaces the shown one
    EXPECT_EQ(formGameInventory::ShownText(w.cmbGameGenRe()), QStringLiteral("RPG"));
    w.btnClear_Click();
    EXPECT_TRUE(formGameInventory::ShownText(w.cmbGameGenRe()).isEmpty());
    EXPECT_TRUE(formGameInventory::ShownText(w.cmbPlay()).isEmpty());
}

TEST_F(EditorTest, ImageRowFollowsItsCheckBoxAndChooser) {
    formGameInventory& w = StartWide(kThree);
    Click("First");
    w.chkISO()->setChecked(true);
    EXPECT_TRUE(w.txtISO()->isEnabled());
    EXPECT_TRUE(w.btnBrowse()->isEnabled());
    w.txtISO()->setText(QStringLiteral("/kept/path.iso"));
    w.chkISO()->setChecked(false);
    EXPECT_FALSE(w.txtISO()->isEnabled());
    EXPECT_EQ(w.txtISO()->text(), QStringLiteral("/kept/path.iso"));
    EXPECT_EQ(w.txtISO()->palette().color(QPalette::Base),
              QApplication::palette(w.txtISO()).color(QPalette::Button));

    bool playBefore = w.btnPlay()->isEnabled();
    w.btnBrowse_Click();  // cancelled
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].title, QStringLiteral("Select Game Image"));
    EXPECT_EQ(ui.fileRequests[0].startIn, QStringLiteral("/kept/path.iso"));
    EXPECT_EQ(ui.fileRequests[0].filters.first(),
              QStringLiteral("ISO Images (*.iso *.ISO *.cue *.CUE *.ccd *.CCD *.bwt *.BWT *.bin "
                             "*.BIN *.img *.IMG *.chd *.CHD *.pbp *.PBP *.m3u *.M3U)"));
    EXPECT_EQ(w.txtISO()->text(), QStringLiteral("/kept/path.iso"));
    EXPECT_EQ(w.btnPlay()->isEnabled(), playBefore);

    ui.fileAnswers = {QStringLiteral("/chosen/game.cue")};
    w.btnBrowse_Click();
    EXPECT_EQ(w.txtISO()->text(), ToQt(Native("/chosen/game.cue")));
    EXPECT_TRUE(w.btnPlay()->isEnabled());
    EXPECT_EQ(w.AddButtonColour(), kGreen);
}

TEST_F(EditorTest, FocusArrivingInAnEmptyImagePathOpensTheChooserOnce) {
    formGameInventory& w = StartWide(kThree);
    w.show();
    w.activateWindow();
    QApplication::processEvents();
    w.chkISO()->setChecked(true);
    w.txtISO()->clear();
    w.txtName()->setFocus(Qt::OtherFocusReason);
    w.txtISO()->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(ui.fileRequests.size(), 1u);
    // The window becoming active again after the chooser is no arrival.
    QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(w.txtISO(), &back);
    QApplication::processEvents();
    EXPECT_EQ(ui.fileRequests.size(), 1u);
    // A field that holds a path opens nothing.
    w.txtISO()->setText(QStringLiteral("/x.iso"));
    w.txtName()->setFocus(Qt::OtherFocusReason);
    w.txtISO()->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    EXPECT_EQ(ui.fileRequests.size(), 1u);
}

}  // namespace
}  // namespace vorlisk::testing
