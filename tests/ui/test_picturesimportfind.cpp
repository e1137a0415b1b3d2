#include <QImage>
#include <QLineEdit>
#include <QPushButton>

#include "app/ui/widgets.h"
#include "tests/core/discimages.h"
#include "tests/ui/windowfixture.h"

namespace vorlisk::testing {
namespace {

// A 1 by 1 red GIF (Qt reads GIF but does not write it).
const char kRedGif[] =
    "GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00!\xf9\x04\x00\x00\x00\x00\x00,"
    "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;";

class PictureTest : public WindowTest {
  protected:
    // Writes pictures of every kind the chooser offers.
    void WritePictures() {
        Write("red.gif", std::string(kRedGif, sizeof kRedGif - 1));
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::blue);
        ASSERT_TRUE(image.save(ToQt(Folder() + "blue.bmp"), "BMP"));
        ASSERT_TRUE(image.save(ToQt(Folder() + "blue.jpg"), "JPEG"));
        ASSERT_TRUE(image.save(ToQt(Folder() + "blue.ico"), "ICO"));
        Write("broken.jpg", "not a picture");
    }
    static QRgb Pixel(PictureBox* box) { return box->pixmap().toImage().pixel(0, 0); }
};

TEST_F(PictureTest, EveryPictureKindLoadsAndAFailedLoadEmptiesTheBox) {
    WritePictures();
    formGameInventory& w = Start();
    PictureBox* box = w.imgGame(0);
    struct Case {
        const char* file;
        bool loads;
    };
    for (const Case& c : {Case{"red.gif", true}, Case{"blue.bmp", true}, Case{"blue.jpg", true},
                          Case{"blue.ico", true}, Case{"red.gif", true}, Case{"broken.jpg", false},
                          Case{"missing.png", false}}) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(box->LoadPicture(Folder() + c.file), c.loads);
        EXPECT_EQ(box->pixmap().isNull(), !c.loads);
        EXPECT_EQ(box->ShowsPicture(), c.loads);
    }
    box->LoadPicture(Folder() + "red.gif");
    EXPECT_EQ(qRed(Pixel(box)), 255);
    box->LoadPicture("");
    EXPECT_TRUE(box->pixmap().isNull());
}

TEST_F(PictureTest, ClickingAPictureChoosesOneOnlyWhileEditing) {
    WritePictures();
    Write("gameinv.txt", "Game\t\tRPG\t0\t\t\t\tReal PSX\t\r\n");
    formGameInventory& w = Start();
    Click("Game");
    w.imgGame_Click(0);  // browsing: nothing
    EXPECT_TRUE(ui.fileRequests.empty());
    EXPECT_NE(w.AddButtonColour(), QColor(0, 255, 0));

    w.btnInfo_Click();
    Click("Game");
    ui.fileAnswers = {ToQt(Folder() + "broken.jpg")};
    w.imgGame_Click(1);
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].title, QStringLiteral("Select a Picture"));
    EXPECT_TRUE(ui.fileRequests[0].startIn.isEmpty());
    EXPECT_EQ(w.imgGame(1)->tag, Folder() + "broken.jpg");  // set although it failed
    EXPECT_EQ(w.AddButtonColour(), QColor(0, 255, 0));

    ui.fileAnswers = {ToQt(Folder() + "blue.bmp")};
    w.imgGame_Click(1);
    EXPECT_EQ(ui.fileRequests[1].startIn, ToQt(Folder() + "broken.jpg"));
    w.SaveGameRecord();
    EXPECT_EQ(SelectedRecord(), "\tRPG\t0\t\t\t" + Folder() + "blue.bmp\tReal PSX\t");

    w.imgGame_Click(0);  // cancelled: nothing changes
    EXPECT_TRUE(w.imgGame(0)->tag.empty());
}

TEST_F(PictureTest, ShowingAGameShowsItsPicturesOrNone) {
    WritePictures();
    Write("gameinv.txt", "With\t\tRPG\t0\t\t" + Folder() + "red.gif\t" + Folder() +
                             "blue.jpg\tReal PSX\t\r\n"
                             "Without\t\tRPG\t0\t\t\t\tReal PSX\t\r\n"
                             "Broken\t\tRPG\t0\t\t" +
                             Folder() + "broken.jpg\t\tReal PSX\t\r\n");
    formGameInventory& w = Start();
    Click("With");
    EXPECT_EQ(qRed(Pixel(w.imgGame(0))), 255);
    EXPECT_GT(qBlue(Pixel(w.imgGame(1))), 240);
    Click("Broken");  // never the previous game's picture
    EXPECT_TRUE(w.imgGame(0)->pixmap().isNull());
    EXPECT_TRUE(w.imgGame(1)->pixmap().isNull());
    Click("Without");
    EXPECT_TRUE(w.imgGame(0)->pixmap().isNull());
    EXPECT_TRUE(w.imgGame(1)->pixmap().isNull());
}

TEST_F(WindowTest, AddIsoImagesAddsOneGamePerImage) {
    std::filesystem::create_directories(Folder() + "images/sub");
    for (const char* file : {"game.cue", "game.bin", "game.iso", "Race_Day_(E).iso", "GAME2.ISO",
                             "Other.Bwt", "disc.CCD", "readme.txt", ".hidden.iso", "sub/deep.iso"})
        Write(std::string("images/") + file, "x");
    Write("gameinv.txt", "Alpha\t\tRPG\t0\t\t\t\tReal PSX\t\r\n");
    formGameInventory& w = Start();
    Click("Alpha");
    ui.folderAnswers = {ToQt(Folder() + "images")};
    w.btnAddISO_Click();
    ASSERT_EQ(ui.folderRequests.size(), 1u);
    EXPECT_EQ(ui.folderRequests[0], QStringLiteral("Select a folder containing the ISO images"));
    EXPECT_EQ(w.WidthTwips(), 8715);  // the panel was opened first
    EXPECT_EQ(Names(), (std::vector<std::string>{"Alpha", "disc", "game", "game", "GAME2", "Other",
                                                 "Race Day (E)"}));
    EXPECT_TRUE(w.inventoryChanged());
    const GameLists& lists = w.Inventory().Lists();
    int first = lists.FindName("game");
    // The CUE image was added before the ISO image of the same name.
    EXPECT_LT(lists.Link(first), lists.Link(first + 1));
    EXPECT_EQ(lists.RecordOf(first),
              "\tOTHER\t1\t" + Folder() + Native("images/") + "game.cue\t\t\tVGS\tgame");
    EXPECT_EQ(
        lists.RecordOf(lists.FindName("Race Day (E)")),
        "\tOTHER\t1\t" + Folder() + Native("images/") + "Race_Day_(E).iso\t\t\tVGS\tRace Day (E)");
    EXPECT_EQ(lists.RecordOf(lists.FindName("GAME2")),
              "\tOTHER\t1\t" + Folder() + Native("images/") + "GAME2.ISO\t\t\tVGS\tGAME2");
    // The game selected before is still selected.
    EXPECT_EQ(w.SelectedGame(), 0);

    ui.folderAnswers = {ToQt(Folder() + "images/")};
    w.btnAddISO_Click();  // a second import adds every image again
    EXPECT_EQ(Names().size(), 13u);
    w.btnAddISO_Click();  // cancelled
    EXPECT_EQ(Names().size(), 13u);
}

TEST_F(WindowTest, AddIsoImagesStoresTheIdReadFromEachImage) {
    const std::string images = Folder() + "images/";
    std::filesystem::create_directories(images);
    WriteDiscImage(images, "Race_Day.iso", PlayStationIso("SLUS_005.94"));
    WriteDiscImage(images, "Second.cue", PlayStationIso("SCES_023.80"), 2);
    WriteDiscImage(images, "Third.ccd", PlayStationIso("SLPS_012.34"), 1);
    WriteDiscImage(images, "Other.bwt", PlayStationIso("SLUS_999.99"));
    Write("images/Broken.iso", std::string(40000, 'x'));
    Write("games.txt", "SLUS-00594 Known Game\tNTSC\r\n");  // names are not looked up
    formGameInventory& w = Start();
    ui.folderAnswers = {ToQt(images)};
    w.btnAddISO_Click();
    const std::vector<std::pair<std::string, std::string>> expected = {{"Broken", ""},
                                                                       {"Other", ""},
                                                                       {"Race Day", "SLUS-00594"},
                                                                       {"Second", "SCES-02380"},
                                                                       {"Third", "SLPS-01234"}};
    const GameLists& lists = w.Inventory().Lists();
    ASSERT_EQ(lists.Count(), static_cast<int>(expected.size()));
    for (int row = 0; row < lists.Count(); ++row) {
        EXPECT_EQ(lists.Name(row), expected[row].first);
        std::string record = lists.RecordOf(row);
        EXPECT_EQ(record.substr(0, record.find('\t')), expected[row].second) << record;
    }
}

#ifndef _WIN32
// Found before a test points PATH at its own folder.
const std::string kChdman = FindProgramOnPath("chdman");

TEST_F(WindowTest, AddIsoImagesImportsACollectionInTodaysFormats) {
    const std::string images = Folder() + "images/";
    std::filesystem::create_directories(images);
    Write("images/Pocket.pbp", PbpFile("SCES02380"));
    WriteDiscImage(images, "Saga (Disc 1).cue", PlayStationIso("SLPS_012.34"));
    WriteDiscImage(images, "Saga (Disc 2).cue", PlayStationIso("SLPS_012.35"));
    Write("images/Saga.m3u", "Saga (Disc 1).cue\r\nSaga (Disc 2).cue\r\n");
    Write("images/Broken.chd", std::string("MComprHD\0\0\0\x78\0\0\0\x04", 16) +
                                   std::string(200, '\0'));  // a header of version 4
    std::vector<std::pair<std::string, std::string>> expected = {{"Pocket", "SCES-02380"},
                                                                 {"Saga", "SLPS-01234"}};
    if (!kChdman.empty()) {
        const std::string source = Folder() + "source/";
        std::filesystem::create_directories(source);
        // chdman 0.251 wrote files that it could not open itself from the discs of 28 and 77
        // sectors tried here; with 200 sectors more it writes a sound one.
        WriteDiscImage(source, "Racer.cue",
                       PlayStationIso("SLUS_005.94") + std::string(200 * 2048, '\0'));
        std::filesystem::create_symlink(kChdman, Folder() + "chdman");  // PATH is the folder
        ASSERT_EQ(MakeChd(source + "Racer.cue", images + "Racer.chd"), "");
        expected.insert(expected.begin() + 1, {"Racer", "SLUS-00594"});
    }
    formGameInventory& w = Start();
    ui.folderAnswers = {ToQt(images)};
    w.btnAddISO_Click();
    const GameLists& lists = w.Inventory().Lists();
    ASSERT_EQ(lists.Count(), static_cast<int>(expected.size()));
    for (int row = 0; row < lists.Count(); ++row) {
        EXPECT_EQ(lists.Name(row), expected[row].first);
        const std::string record = lists.RecordOf(row);
        EXPECT_EQ(record.substr(0, record.find('\t')), expected[row].second) << record;
    }
    EXPECT_NE(lists.RecordOf(lists.FindName("Saga")).find("Saga.m3u"), std::string::npos);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              QStringLiteral("1 file(s) could not be read and were not added: Broken.chd"));
    if (kChdman.empty()) GTEST_SKIP() << "chdman (mame-tools) is not installed: no .chd made";

    // Play of the CHD mounts nothing, though a mount program is there: the launch script gets
    // the file itself and the ID it names.
    PutMountHelper();
    Write("daemount.ini", "emu %image% %gameid%\r\n");
    Click("Racer");
    w.btnPlay_Click();
    EXPECT_TRUE(system.waitedFor.empty());
    ASSERT_EQ(system.started.size(), 1u);
    EXPECT_EQ(system.started[0].first, "emu \"" + images + "Racer.chd\" SLUS-00594");
    EXPECT_EQ(ui.messages.size(), 1u);
}
#endif

class FindTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        Write("gameinv.txt",
              "Mario Kart\t\tRACE\t0\t\t\t\tReal PSX\t\r\n"
              "Super Mario\t\tADVENTURE\t0\t\t\t\tReal PSX\t\r\n"
              "Tekken\t\tFIGHT\t0\t\t\t\tReal PSX\t\r\n"
              "Dr. Mario\t\tOTHER\t0\t\t\t\tReal PSX\t\r\n");
        Start();
    }
    std::string Selected() const {
        int row = window->SelectedGame();
        return row < 0 ? "(none)" : window->Inventory().Lists().Name(row);
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        window->show();
        PressKey(*window, key, modifiers);
    }
};

TEST_F(FindTest, CtrlFFindsFromTheTopAndF3GoesOnWithoutWrapping) {
    Click("Tekken");
    ui.inputAnswers = {QStringLiteral("mar")};
    Press(Qt::Key_F, Qt::ControlModifier);
    ASSERT_EQ(ui.inputRequests.size(), 1u);
    EXPECT_EQ(ui.inputRequests[0].first, QStringLiteral("Text to search:"));
    EXPECT_EQ(Selected(), "Dr. Mario");
    EXPECT_EQ(window->txtName()->text(), QStringLiteral("Dr. Mario"));  // the record is shown
    Press(Qt::Key_F3, Qt::NoModifier);
    EXPECT_EQ(Selected(), "Mario Kart");
    Press(Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), "Super Mario");
    Press(Qt::Key_F3, Qt::NoModifier);
    EXPECT_EQ(Selected(), "(none)");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("'mar' not found."));
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Vorlisk"));
    Press(Qt::Key_F3, Qt::NoModifier);  // starts again at the top
    EXPECT_EQ(Selected(), "Dr. Mario");
}

TEST_F(FindTest, EachKeyActsOnceWhereverABoxLeavesTheFocus) {
    // A real modal box takes the focus away and leaves none behind when it closes.
    ui.whileOpen = [] {
        if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
    };
    window->show();
    window->lstName()->setFocus();
    ui.inputAnswers = {QStringLiteral("tekken")};
    Press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(ui.inputRequests.size(), 1u);
    EXPECT_EQ(Selected(), "Tekken");
    Press(Qt::Key_F3, Qt::NoModifier);  // no further match
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(Selected(), "(none)");
    Press(Qt::Key_F, Qt::ControlModifier);  // cancelled
    EXPECT_EQ(ui.inputRequests.size(), 2u);
}

// Ctrl with the key at the position of F asks on a layout without Latin letters there; on
// a Latin layout only the letter F counts, wherever it lies.
TEST_F(FindTest, CtrlFAsksOnEveryLayout) {
#ifdef _WIN32
    const quint32 atF = 0x21, atG = 0x22;                             // scan codes
    const quint32 cyrillicA = 0x46, cyrillicP = 0x47, latinU = 0x55;  // virtual keys
#else
    const quint32 atF = 41, atG = 42;                                   // keycodes
    const quint32 cyrillicA = 0x6c1, cyrillicP = 0x6d0, latinU = 0x75;  // keysyms
#endif
    struct Case {
        const char* what;
        int key;
        QString text;
        Qt::KeyboardModifiers modifiers;
        quint32 scanCode;
        quint32 virtualKey;
        bool asks;
    };
    const Case cases[] = {
        {"Ctrl+А at F, Russian", 0x410, QStringLiteral("\u0430"), Qt::ControlModifier, atF,
         cyrillicA, true},
        {"Ctrl+П at G, Russian", 0x41f, QStringLiteral("\u043f"), Qt::ControlModifier, atG,
         cyrillicP, false},
        {"А at F without Ctrl", 0x410, QStringLiteral("\u0430"), Qt::NoModifier, atF, cyrillicA,
         false},
        {"Ctrl+U at F, Dvorak", Qt::Key_U, QStringLiteral("u"), Qt::ControlModifier, atF, latinU,
         false},
    };
    window->show();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ui.inputRequests.clear();
        QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, c.scanCode, c.virtualKey, 0, c.text);
        QCoreApplication::sendEvent(window->windowHandle(), &press);
        EXPECT_EQ(ui.inputRequests.size(), c.asks ? 1u : 0u);
    }
}

TEST_F(FindTest, OnlyCtrlAloneWithFAsksAndF3FirstAsksToo) {
    Press(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    Press(Qt::Key_F, Qt::NoModifier);
    Press(Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(ui.inputRequests.empty());
    Press(Qt::Key_F3, Qt::NoModifier);  // no search text yet
    EXPECT_EQ(ui.inputRequests.size(), 1u);
}

TEST_F(FindTest, CancellingKeepsTheTextAndTheSelection) {
    ui.inputAnswers = {QStringLiteral("tek")};
    window->FindGame();
    EXPECT_EQ(Selected(), "Tekken");
    window->FindGame();  // cancelled
    EXPECT_EQ(ui.inputRequests.back().second, QStringLiteral("tek"));
    EXPECT_EQ(window->searchText(), QStringLiteral("tek"));
    EXPECT_EQ(Selected(), "Tekken");
}

TEST_F(FindTest, AFilteredListHidesOtherGenres) {
    formGameInventory::SelectEntry(window->cmbGenre(), window->cmbGenre()->findText("RACE"));
    ui.inputAnswers = {QStringLiteral("tekken")};
    window->FindGame();
    EXPECT_EQ(Selected(), "(none)");
    EXPECT_EQ(ui.messages.size(), 1u);
}

}  // namespace
}  // namespace vorlisk::testing
