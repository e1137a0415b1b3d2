#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "tests/core/discimages.h"
#include "tests/ui/windowfixture.h"

namespace vorlisk::testing {
namespace {

std::string Lines(int count, const std::string& prefix) {
    std::string text;
    for (int i = 1; i <= count; ++i) text += prefix + std::to_string(i) + "\r\n";
    return text;
}

TEST_F(WindowTest, TranslationReplacesCaptionsAndTextsAsFarAsItGoes) {
    struct Case {
        int lines;
        bool findTitleTranslated;
        bool filePrefixTranslated;
    };
    for (const Case& c : {Case{15, false, false}, Case{20, false, true}, Case{23, true, true}}) {
        SCOPED_TRACE(c.lines);
        Write("translate.txt", Lines(c.lines, "T"));
        formGameInventory& w = Start();
        EXPECT_EQ(w.btnAdd()->text(), QStringLiteral("T1"));
        EXPECT_EQ(w.btnPlay()->text(), QStringLiteral("T8"));
        EXPECT_EQ(w.label("lblScrnShots")->text(), QStringLiteral("T14"));
        EXPECT_EQ(w.chkISO()->text(), QStringLiteral("T15"));
        EXPECT_EQ(w.btnInfo()->text(), QStringLiteral("&Info >>"));  // never translated
        EXPECT_EQ(w.Texts().strFilePrefix, c.filePrefixTranslated ? "T16" : "File '");
        EXPECT_EQ(w.Texts().strFindTitle, c.findTitleTranslated ? "T23" : "Find");
        EXPECT_EQ(w.Texts().strAllGenres, "(ALL)");
    }
    Write("translate.txt", "");  // 0 bytes: as if absent
    EXPECT_EQ(Start().btnAdd()->text(), QStringLiteral("&Add/Update"));
}

TEST_F(WindowTest, TranslatedLabelsTakeAccessKeysAsButtonsDo) {
    std::string lines = Lines(8, "T") + "&Beschreibung:\r\n" + Lines(4, "L") + "&Bilder\r\n";
    Write("translate.txt", lines);
    formGameInventory& w = Start();
    w.show();
    w.activateWindow();
    w.btnInfo_Click();
    EXPECT_EQ(w.label("lblScrnShots")->text(), QStringLiteral("Bilder"));  // no field to go to
    w.lstName()->setFocus();
    PressKey(w, Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), w.txtDescription());
}

TEST_F(WindowTest, GenreFileRebuildsBothListsAndLoadsEveryGame) {
    Write("gameinv.txt", "A\t\tRPG\t0\t\t\t\tReal PSX\t\r\nB\t\tPUZZLE\t0\t\t\t\tReal PSX\t\r\n");
    Write("genre.txt", "RPG\r\n\r\nRPG\nPUZZLE");
    formGameInventory& w = Start();
    QStringList filter, editor;
    for (int i = 0; i < w.cmbGenre()->count(); ++i) filter << w.cmbGenre()->itemText(i);
    for (int i = 0; i < w.cmbGameGenRe()->count(); ++i) editor << w.cmbGameGenRe()->itemText(i);
    EXPECT_EQ(filter, (QStringList{"(ALL)", "RPG", "", "RPG", "PUZZLE"}));
    EXPECT_EQ(editor, (QStringList{"RPG", "", "RPG", "PUZZLE"}));
    EXPECT_EQ(w.cmbGenre()->currentIndex(), 0);
    EXPECT_EQ(w.cmbGameGenRe()->currentIndex(), -1);
    EXPECT_EQ(Names(), (std::vector<std::string>{"A", "B"}));
    formGameInventory::SelectEntry(w.cmbGenre(), 4);
    EXPECT_EQ(Names(), (std::vector<std::string>{"B"}));
}

TEST_F(WindowTest, GetFillsIdAndNameFromTheDiscAndTheTableOfGames) {
    std::filesystem::create_directories(Folder() + "disc");
    Write("disc/system.cnf", "BOOT = cdrom:\\SLUS_005.94;1\r\nTCB = 4\r\n");
    Write("image.iso", "data");
    const std::string helper = PutMountHelper();
    struct Case {
        const char* what;
        std::string table;
        bool disc;
        QString id, name;
        bool focusOnGenre;
    };
    const Case cases[] = {
        {"found", "SLUS-00594 Metal Gear Solid\tNTSC\r\n", true, "SLUS-00594", "Metal Gear Solid",
         true},
        {"not in the table", "SLUS-00001 Other\tNTSC\r\n", true, "SLUS-00594", "typed", false},
        {"empty name in the table", "SLUS-00594 \tNTSC\r\n", true, "SLUS-00594", "typed", false},
        {"no disc", "SLUS-00594 Metal Gear Solid\tNTSC\r\n", false, "old", "typed", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Write("games.txt", c.table);
        system.cdromRoots =
            c.disc ? std::vector<std::string>{Folder() + "disc/"} : std::vector<std::string>{};
        system.started.clear();
        system.waitedFor.clear();
        formGameInventory& w = Start();
        w.show();
        w.activateWindow();
        QApplication::processEvents();
        w.btnInfo_Click();
        w.txtName()->setText(QStringLiteral("typed"));
        w.txtID()->setText(QStringLiteral("old"));
        w.txtISO()->setText(ToQt(Folder() + "image.iso"));
        w.btnGet_Click();
        ASSERT_EQ(system.started.size(), 1u);
        EXPECT_EQ(system.started[0].first, helper + " -mount 0,\"" + Folder() + "image.iso\"");
        EXPECT_EQ(system.started[0].second, ShowState::Minimized);
        EXPECT_EQ(system.waitedFor.size(), 1u);
        EXPECT_EQ(w.txtID()->text(), c.id);
        EXPECT_EQ(w.txtName()->text(), c.name);
        EXPECT_EQ(w.cmbGameGenRe()->hasFocus(), c.focusOnGenre);
    }
    formGameInventory& w = Start();
    system.started.clear();
    w.btnGet_Click();  // no image: nothing is mounted
    EXPECT_TRUE(system.started.empty());
}

// Right after its own helper mounted the image, Get reads the helper's mount point first,
// however the other drives sort; without a mount of its own it reads the drives in order.
TEST_F(WindowTest, GetReadsTheHelpersOwnMountFirst) {
#ifdef _WIN32
    GTEST_SKIP() << "DAEMON Tools tells no mount point; Windows reads its drives from Z: down";
#endif
    for (const char* drive : {"z-other", "a-own"})
        std::filesystem::create_directories(Folder() + drive);
    Write("z-other/system.cnf", "BOOT = cdrom:\\SCUS_944.26;1\r\n");
    Write("a-own/system.cnf", "BOOT = cdrom:\\SLUS_005.94;1\r\n");
    Write("image.iso", "data");
    Write("daemon", "#!/bin/sh\n");  // found on PATH
    system.cdromRoots = {Folder() + "z-other/", Folder() + "a-own/"};
    system.runAnswer.output = Folder() + "a-own\n";
    formGameInventory& w = Start();
    w.btnInfo_Click();
    w.txtISO()->setText(ToQt(Folder() + "image.iso"));
    w.btnGet_Click();
    EXPECT_EQ(w.txtID()->text(), QStringLiteral("SLUS-00594"));
    w.txtISO()->clear();  // a real disc: nothing is mounted
    w.btnGet_Click();
    EXPECT_EQ(w.txtID()->text(), QStringLiteral("SCUS-94426"));
}

TEST_F(WindowTest, GetReadsTheIdOfARawImageWithoutMountingIt) {
    WriteDiscImage(Folder(), "Game.cue", PlayStationIso("SLUS_005.94"), 2);
    std::filesystem::create_directories(Folder() + "disc");
    Write("disc/system.cnf", "BOOT = cdrom:\\SLPS_012.34;1\r\n");
    system.cdromRoots = {Folder() + "disc/"};  // another disc in the drive is not read
    Write("games.txt", "SLUS-00594 Metal Gear Solid\tNTSC\r\n");
    formGameInventory& w = Start();
    w.show();
    w.activateWindow();
    QApplication::processEvents();
    w.btnInfo_Click();
    w.txtISO()->setText(ToQt(Folder() + "Game.cue"));
    w.btnGet_Click();
    EXPECT_TRUE(system.started.empty());
    EXPECT_EQ(w.txtID()->text(), QStringLiteral("SLUS-00594"));
    EXPECT_EQ(w.txtName()->text(), QStringLiteral("Metal Gear Solid"));
    EXPECT_TRUE(w.cmbGameGenRe()->hasFocus());
}

}  // namespace
}  // namespace vorlisk::testing
