#include <QCheckBox>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/ui/widgets.h"
#include "launch/ui/formEmulatorPath.h"
#include "tests/core/tempfolder.h"
#include "tests/ui/windowfixture.h"

namespace vorlisk::testing {
namespace {

// A file beside the test program, in the build folder.
QString BuildFolderFile(const char* name) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(name);
}

// Both layouts are rendered into the build folder for people to look at, on the sample
// catalogue that `make run` starts with (`make screenshots` copies them into docs/).
TEST_F(WindowTest, RendersBothLayoutsToPictures) {
    Write("gameinv.txt", ReadWholeFile(VORLISK_SOURCE_DIR "/sample/gameinv.txt"));
    formGameInventory& w = Start();
    w.show();
    Click("Metal Gear Solid");
    ASSERT_TRUE(w.grab().save(BuildFolderFile("layout-narrow.png")));
    w.btnInfo_Click();
    ASSERT_TRUE(w.grab().save(BuildFolderFile("layout-wide.png")));
    EXPECT_EQ(w.grab().width(), 574);
    w.btnPaths_Click();
    ASSERT_TRUE(w.PathDialog()->grab().save(BuildFolderFile("layout-paths.png")));
}

TEST_F(WindowTest, ControlsStandWhereTheyWereDesigned) {
    formGameInventory& w = Start();
    struct Placed {
        QWidget* control;
        QRect twips;
    };
    const Placed placed[] = {
        {w.cmbGenre(), {60, 420, 2055, 315}},           {w.lstName(), {60, 870, 2025, 3180}},
        {w.imgGame(0), {2250, 480, 2475, 1755}},        {w.imgGame(1), {2250, 2310, 2475, 1755}},
        {w.btnPlay(), {870, 4500, 1260, 375}},          {w.btnInfo(), {2175, 4500, 1260, 375}},
        {w.btnClose(), {3480, 4500, 1260, 375}},        {w.txtName(), {4830, 480, 3690, 300}},
        {w.txtDescription(), {4800, 1530, 3720, 1110}}, {w.btnAdd(), {6150, 3705, 1095, 345}},
    };
    for (const Placed& p : placed) {
        QRect pixels(qRound(p.twips.x() / 15.0), qRound(p.twips.y() / 15.0),
                     qRound(p.twips.width() / 15.0), qRound(p.twips.height() / 15.0));
        EXPECT_EQ(p.control->geometry(), pixels) << p.control->objectName().toStdString();
    }
    EXPECT_FALSE(w.btnPlay()->isEnabled());
    EXPECT_TRUE(w.btnPlay()->isDefault());
    EXPECT_TRUE(w.btnPaths()->isHidden());
    EXPECT_TRUE(w.btnAddISO()->isHidden());
    EXPECT_FALSE(w.txtISO()->isEnabled());
    EXPECT_FALSE(w.btnBrowse()->isEnabled());
    EXPECT_EQ(w.imgGame(0)->toolTip(), QStringLiteral("Click here to add picture"));
    EXPECT_TRUE(w.imgGame(1)->toolTip().isEmpty());
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(w.imgEmu(i)->isHidden());
}

TEST_F(WindowTest, TabVisitsTheControlsInTheDesignedOrder) {
    Write("gameinv.txt", ReadWholeFile(VORLISK_SOURCE_DIR "/sample/gameinv.txt"));
    formGameInventory& w = Start();
    w.show();
    w.activateWindow();
    w.btnInfo_Click();  // every control of the wide layout but the genre filter takes the focus
    Click("Metal Gear Solid");
    const QString description = w.txtDescription()->toPlainText();
    w.chkISO()->setChecked(true);
    w.txtISO()->setText(QStringLiteral("/games/mgs.cue"));
    w.btnPlay()->setEnabled(true);  // as for a game whose image is there
    const QStringList designed = {"lstName",      "txtName",        "txtID",   "btnGet",
                                  "cmbGameGenRe", "txtDescription", "chkISO",  "txtISO",
                                  "btnBrowse",    "cmbPlay",        "btnAdd",  "btnPaths",
                                  "btnAddISO",    "btnPlay",        "btnInfo", "btnClose",
                                  "btnClear",     "btnDelete",      "lstName"};
    QApplication::processEvents();
    w.lstName()->setFocus();
    auto focus = [] {
        QWidget* control = QApplication::focusWidget();
        return control ? control->objectName() : QStringLiteral("(none)");
    };
    QStringList visited = {focus()};
    for (int i = 1; i < designed.size(); ++i) {
        PressKey(w, Qt::Key_Tab);
        visited << focus();
    }
    EXPECT_EQ(visited, designed);
    EXPECT_EQ(w.txtDescription()->toPlainText(), description);  // no TAB typed
}

}  // namespace
}  // namespace vorlisk::testing
