#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

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
    Write("playtime.txt", "SLUS-00594\tMetal Gear Solid\t1796844177\t11520\r\n");
    formGameInventory& w = Start();
    w.show();
    Click("Metal Gear Solid");
    EXPECT_LE(w.lblPlayed()->fontMetrics().horizontalAdvance(w.lblPlayed()->text()),
              w.lblPlayed()->width());
    ASSERT_TRUE(w.grab().save(BuildFolderFile("layout-narrow.png")));
    w.btnInfo_Click();
    ASSERT_TRUE(w.grab().save(BuildFolderFile("layout-wide.png")));
    EXPECT_EQ(w.grab().width(), 574);
    w.btnPaths_Click();
    ASSERT_TRUE(w.PathDialog()->grab().save(BuildFolderFile("layout-paths.png")));
}

// Opening the panel or starting near a screen's edge moves the window inside the screen's
// available area (offscreen: 800 x 600), left or up as needed, its size that of the layout.
TEST_F(WindowTest, TheWindowStaysOnTheScreen) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    constexpr int kNarrow = 318, kWide = 574;
    constexpr int kFarEdge = -1;  // against the right or bottom edge of the area
    struct Case {
        const char* what;
        QPoint at;    // before the step
        bool widen;   // the step: Info >> on the shown window, or else showing it
        int width;    // of the window's inside
        QPoint then;  // where the window's frame is after it
    };
    const Case cases[] = {
        {"widening at the right edge", {500, 100}, true, kWide, {kFarEdge, 100}},
        {"widening with room", {100, 100}, true, kWide, {100, 100}},
        {"starting beyond the bottom right", {700, 590}, false, kNarrow, {kFarEdge, kFarEdge}},
        {"starting beyond the top left", {-50, -20}, false, kNarrow, area.topLeft()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        formGameInventory& w = Start();
        w.move(c.at);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));  // placed once it is on the screen
        if (c.widen) w.btnInfo_Click();
        const QRect frame = w.frameGeometry();
        EXPECT_EQ(w.width(), c.width);
        EXPECT_EQ(frame.left(),
                  c.then.x() == kFarEdge ? area.right() + 1 - frame.width() : c.then.x());
        EXPECT_EQ(frame.top(),
                  c.then.y() == kFarEdge ? area.bottom() + 1 - frame.height() : c.then.y());
        EXPECT_TRUE(area.contains(frame));
    }
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
