// Pictures found in the data folder's covers/ folder, and the play history of a game played on
// the real system with a stand-in emulator.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <filesystem>

#include "app/ui/formGameInventory.h"
#include "app/ui/text.h"
#include "app/ui/widgets.h"
#include "tests/ui/realplay.h"
#include "tests/ui/windowfixture.h"

namespace vorlisk::testing {
namespace {

// The colour of the box's picture, or black when it shows none.
QColor Shown(PictureBox* box) {
    return box->ShowsPicture() ? box->pixmap().toImage().pixelColor(0, 0) : QColor(Qt::black);
}

void SavePicture(const std::string& path, Qt::GlobalColor colour) {
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(ToQt(path)));
}

TEST_F(WindowTest, CoversFillEmptyBoxesAndFollowTheFolder) {
    std::filesystem::create_directories(Folder() + "covers");
    std::filesystem::create_directories(Folder() + "snaps");
    SavePicture(Folder() + "covers/slus-00594.PNG", Qt::red);
    SavePicture(Folder() + "snaps/Caf\xC3\xA9_ Race.bmp", Qt::blue);
    SavePicture(Folder() + "covers/Chosen_ One.png", Qt::red);
    SavePicture(Folder() + "mine.png", Qt::green);
    Write("broken.png", "not a picture");
    const std::string lines[] = {
        "Caf\xE9: Race\tSLUS-00594\tRACE\t1\t/psx/Race Day.cue\t\t\t\tRace",
        "Chosen: One\t\tRPG\t0\t\t" + Folder() + "mine.png\t\t\tMine",
        "Broken\tSCES-00001\tRPG\t0\t\t" + Folder() + "broken.png\t\t\tBroken",
    };
    Write("gameinv.txt", lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n");
    formGameInventory& w = Start();
    w.btnInfo_Click();
    struct Case {
        const char* game;
        QColor first, second;
    };
    const Case cases[] = {
        {"Caf\xE9: Race", Qt::red, Qt::blue},   // by ID; by a Windows-1252 name, named in UTF-8
        {"Chosen: One", Qt::green, Qt::black},  // the chosen picture wins
        {"Broken", Qt::black, Qt::black},       // unloadable: empty, not the previous game's
    };
    Click("Caf\xE9: Race");  // the folders are listed in the background
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.imgGame(1)->ShowsPicture(); }, 5000));
    for (const Case& c : cases) {
        Click(c.game);
        EXPECT_EQ(Shown(w.imgGame(0)), c.first) << c.game;
        EXPECT_EQ(Shown(w.imgGame(1)), c.second) << c.game;
        EXPECT_NE(w.AddButtonColour(), QColor(0, 255, 0)) << c.game;
        const int row = w.SelectedGame();
        EXPECT_EQ(w.Inventory().Lists().Name(row) + '\t' + w.EditorRecord(), lines[&c - cases])
            << c.game;
    }

    // A cover added while the window shows the game is shown, and the tag still saved.
    SavePicture(Folder() + "covers/SCES-00001.png", Qt::yellow);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.imgGame(0)->ShowsPicture(); }, 5000));
    EXPECT_EQ(Shown(w.imgGame(0)), QColor(Qt::yellow));
    EXPECT_EQ(w.EditorRecord(), lines[2].substr(lines[2].find('\t') + 1));
}

#ifndef _WIN32
// A game played for a moment, then one still running at a checkpoint of the session and when
// Vorlisk closes.
TEST(PlayTimeTest, PlayAddsTheTimeAndTheDayToTheHistory) {
    RealPlay play("emulator", "#!/bin/sh\nexec /bin/sleep 1.5\n");
    formGameInventory& window = *play.window;
    ASSERT_TRUE(play.Start());
    EXPECT_EQ(window.lblPlayed()->text(), QString());

    window.btnPlay_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.lblPlayed()->text().isEmpty(); }, 10000));
    EXPECT_TRUE(play.ui.messages.empty());
    const std::string once = play.temp.Read("playtime.txt");
    EXPECT_EQ(once.rfind("SLUS-00594\tGame\t", 0), 0u) << once;
    EXPECT_TRUE(once.ends_with("\t2\r\n")) << once;  // 1.5 s, rounded
    EXPECT_TRUE(window.lblPlayed()->text().startsWith(QStringLiteral("Last played ")));
    EXPECT_TRUE(window.lblPlayed()->text().endsWith(QStringLiteral(" \u00B7 0 min in all")));

    // A checkpoint of the session counts the play so far; closing counts only the rest.
    window.btnPlay_Click();
    QTest::qWait(200);
    EXPECT_TRUE(window.SaveAtSessionEnd());
    QTest::qWait(1000);
    window.btnClose_Click();
    const std::string twice = play.temp.Read("playtime.txt");
    EXPECT_TRUE(twice.ends_with("\t3\r\n")) << twice;
}
#endif

}  // namespace
}  // namespace vorlisk::testing
