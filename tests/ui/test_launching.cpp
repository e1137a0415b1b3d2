#include <sys/stat.h>
#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

#include "app/ui/widgets.h"
#include "launch/ui/formEmulatorPath.h"
#include "system/commandline.h"
#include "tests/core/discimages.h"
#include "tests/ui/windowfixture.h"

namespace vorlisk::testing {
namespace {

class LaunchTest : public WindowTest {
  protected:
    // A game whose image exists, set to `emulator`.
    formGameInventory& StartWithGame(const std::string& emulator, const std::string& image) {
        Write("gameinv.txt",
              "Game\tSLUS-00594\tRPG\t1\t" + image + "\t\t\t" + emulator + "\tdescription\r\n");
        formGameInventory& w = Start();
        Click("Game");
        return w;
    }
};

TEST_F(LaunchTest, ChoosingAnEmulatorOpensThePathDialogOnlyForAnInvalidPath) {
    Write("bleem.exe", "program");
    Write("empty.exe", "");
    struct Case {
        const char* what;
        int entry;
        std::string path;  // of bleem!, in the dialog
        bool opens;
    };
    const Case cases[] = {
        {"Real PSX", 0, "", false},
        {"empty path", 2, "", true},
        {"missing file", 2, Folder() + "missing.exe", true},
        {"0-byte file", 2, Folder() + "empty.exe", true},
        {"valid path", 2, Folder() + "bleem.exe", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        formGameInventory& w = Start();
        w.PathDialog()->txtPath(1)->setText(ToQt(c.path));
        w.PathDialog()->hide();
        formGameInventory::SelectEntry(w.cmbPlay(), c.entry);
        EXPECT_EQ(w.PathDialog()->isVisible(), c.opens);
        EXPECT_EQ(w.AddButtonColour(), QColor(0, 255, 0));
    }
}

TEST_F(LaunchTest, TheLogoGoesIntoTheFirstBoxWithoutAPicture) {
    formGameInventory& w = Start();
    w.PathDialog()->txtPath(0)->setText(QStringLiteral("/x"));
    const std::string a = Folder() + "a.png", b = a;
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(ToQt(a)));
    struct Case {
        std::string tag0, tag1;
        int entry;
        bool logo0, logo1;
    };
    const Case cases[] = {
        {"", "", 1, true, false},
        {a, "", 1, false, true},
        {a, b, 1, false, false},
        {"/missing.png", "", 1, true, false},  // a picture that cannot be loaded fills nothing
        {"", "", 0, false, false},  // Real PSX has no logo
    };
    for (const Case& c : cases) {
        w.imgGame(0)->tag = c.tag0;
        w.imgGame(1)->tag = c.tag1;
        for (int i = 0; i < 2; ++i) w.imgGame(i)->LoadPicture(w.imgGame(i)->tag);
        formGameInventory::SelectEntry(w.cmbPlay(), c.entry);
        EXPECT_EQ(!w.imgGame(0)->ShowsPicture() && !w.imgGame(0)->pixmap().isNull(), c.logo0);
        EXPECT_EQ(!w.imgGame(1)->ShowsPicture() && !w.imgGame(1)->pixmap().isNull(), c.logo1);
        EXPECT_EQ(w.imgGame(0)->tag, c.tag0);  // a logo is never taken for a picture
    }
}

TEST_F(LaunchTest, PathDialogKeepsItsPathsInEmupathTxt) {
    formGameInventory& w = Start();
    w.btnPaths_Click();
    formEmulatorPath& dialog = *w.PathDialog();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Setup Emulator Path"));
    dialog.txtPath(1)->setText(QStringLiteral("/emu/bleem"));
    dialog.txtPath(3)->setText(QStringLiteral("/emu/epsxe"));
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Read("emupath.txt"), "\r\n/emu/bleem\r\n\r\n/emu/epsxe\r\n");
    w.btnPaths_Click();
    EXPECT_EQ(dialog.txtPath(1)->text(), QStringLiteral("/emu/bleem"));

    dialog.btnBrowse_Click(1);  // cancelled
    ASSERT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_EQ(ui.fileRequests[0].title, QStringLiteral("Select path for bleem!"));
#ifdef _WIN32
    EXPECT_EQ(ui.fileRequests[0].startIn, QStringLiteral("/emu/bleem"));
#else
    EXPECT_EQ(ui.fileRequests[0].startIn, QStringLiteral("/emu"));
#endif
    EXPECT_EQ(dialog.txtPath(1)->text(), QStringLiteral("/emu/bleem"));
    ui.fileAnswers = {QStringLiteral("/usr/games/bleem")};
    const QString chosen = ToQt(Native("/usr/games/bleem"));
    dialog.btnBrowse_Click(1);
    EXPECT_EQ(dialog.txtPath(1)->text(), chosen);
    EXPECT_EQ(dialog.txtPath(0)->text(), QString());

    // Ending the program with the dialog open keeps what was typed.
    dialog.txtPath(2)->setText(QStringLiteral("/emu/psemu"));
    w.btnClose_Click();
    EXPECT_EQ(Read("emupath.txt"),
              "\r\n" + Native("/usr/games/bleem") + "\r\n/emu/psemu\r\n/emu/epsxe\r\n");
}

TEST_F(LaunchTest, EmulatorChooserOffersProgramsWhereProgramsLie) {
    formGameInventory& w = Start();
    struct Case {
        QString path;  // in the dialog
        QString startIn;
    };
#ifdef _WIN32
    const QStringList filters{QStringLiteral("Emulator Executables (*.exe *.EXE *.com *.COM)")};
    const Case cases[] = {{"", ""}, {"C:\\emu\\epsxe.exe", "C:\\emu\\epsxe.exe"}};
#else
    const QStringList filters{kProgramFilesFilter, QStringLiteral("All files (*.*) (*)")};
    // Debian's base system always has /usr/games.
    const Case cases[] = {{"", "/usr/games"},
                          {"/opt/emu/bin/epsxe", "/opt/emu/bin"},
                          {"/opt/emu/gone/epsxe", "/opt/emu/gone"}};
#endif
    for (const Case& c : cases) {
        ui.fileRequests.clear();
        w.PathDialog()->txtPath(3)->setText(c.path);
        w.PathDialog()->btnBrowse_Click(3);
        ASSERT_EQ(ui.fileRequests.size(), 1u);
        EXPECT_EQ(ui.fileRequests[0].filters, filters);
        EXPECT_EQ(ui.fileRequests[0].startIn, c.startIn);
    }
}

// emupath.txt that could not be read is never written over (the paths it holds would be
// lost), and one that cannot be written keeps the typed paths for the run; either way the
// user is told. A FIFO in place of any start-up file must not hang the start.
TEST_F(LaunchTest, PathsThatCannotBeSavedAreKeptAndTheUserIsTold) {
#ifdef _WIN32
    GTEST_SKIP() << "FIFOs are POSIX's, and Wine run as root writes a read-only file all the same";
#else
    struct Case {
        const char* what;
        bool fifos;
        size_t startMessages;  // the catalogue's
        size_t closeMessages;  // after closing the dialog twice
    };
    // At the start a FIFO catalogue and emupath.txt are said, each.
    const Case cases[] = {{"FIFOs", true, 2, 1}, {"a read-only emupath.txt", false, 0, 2}};
    const std::string path = Folder() + "emupath.txt";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* name : {"emupath.txt", "translate.txt", "genre.txt", "gameinv.txt"}) {
            std::filesystem::remove(Folder() + name);
            if (c.fifos) ASSERT_EQ(::mkfifo((Folder() + name).c_str(), 0600), 0);
        }
        if (!c.fifos) {
            Write("emupath.txt", "/emu/old\r\n");
            std::filesystem::permissions(path, std::filesystem::perms::owner_read);
        }
        ui.messages.clear();
        formGameInventory& w = Start();
        EXPECT_EQ(ui.messages.size(), c.startMessages);
        formEmulatorPath& dialog = *w.PathDialog();
        for (int close = 0; close < 2; ++close) {
            w.btnPaths_Click();
            dialog.txtPath(0)->setText(QStringLiteral("/emu/new"));
            dialog.close();
        }
        ASSERT_EQ(ui.messages.size(), c.startMessages + c.closeMessages);
        EXPECT_TRUE(ui.messages.back().text.contains(ToQt(path)));
        EXPECT_EQ(dialog.Path(0), "/emu/new");
        if (c.fifos) {
            EXPECT_EQ(std::filesystem::status(path).type(), std::filesystem::file_type::fifo);
            EXPECT_NE(Read("vorlisk.log").find(path + " could not be read"), std::string::npos);
        }
        else
            EXPECT_EQ(Read("emupath.txt"), "/emu/old\r\n");
    }
#endif
}

TEST_F(LaunchTest, PlayWithAMissingImageSaysSoAndStartsNothing) {
    PutMountHelper();
    Write("empty.iso", "");
    struct Case {
        std::string image;
        bool message;
    };
    for (const Case& c : {Case{Folder() + "missing.iso", true}, Case{Folder() + "empty.iso", true},
                          Case{"", false}}) {
        ui.messages.clear();
        formGameInventory& w = StartWithGame("Real PSX", c.image);
        w.btnPlay()->setEnabled(true);
        w.btnPlay_Click();
        EXPECT_TRUE(system.started.empty());
        ASSERT_EQ(ui.messages.size(), c.message ? 1u : 0u);
        if (c.message) EXPECT_EQ(ui.messages[0].text, ToQt("File '" + c.image + "' not found."));
    }
}

TEST_F(LaunchTest, PlayMountsTheImageThenStartsTheEmulator) {
    const std::string helper = PutMountHelper();
    Write("game image.iso", "data");
    WriteProgram("vgs");
    formGameInventory& w = StartWithGame("VGS", Folder() + "game image.iso");
    w.PathDialog()->txtPath(0)->setText(ToQt(Folder() + "vgs"));
    ASSERT_TRUE(w.btnPlay()->isEnabled());
    w.btnPlay_Click();
    w.btnPlay_Click();  // every press mounts again
    using Started = std::pair<std::string, ShowState>;
    const Started mount{helper + " -mount 0,\"" + Folder() + "game image.iso\"",
                        ShowState::Minimized};
#ifdef _WIN32
    const Started emulator{Folder() + "vgs", ShowState::Minimized};
#else
    const Started emulator{Folder() + "vgs \"" + Folder() + "game image.iso\"",
                           ShowState::Minimized};
#endif
    EXPECT_EQ(system.started, (std::vector<Started>{mount, emulator, mount, emulator}));
    EXPECT_EQ(system.waitedFor, (std::vector<std::string>{mount.first, mount.first}));
}

// Play's routes: with a mount program found the image goes into a drive (and a Windows emulator
// boots that); without one, or for an image that no mount program takes, nothing is mounted and
// the emulator or the launch script gets the image and the ID the image names.
TEST_F(LaunchTest, PlayHandsTheImageToTheEmulatorWhenNoDriveWillHoldIt) {
    WriteProgram("vgs");
    Write("game.iso", "data");
    Write("game.chd", "MComprHD");
    Write("disc.iso", PlayStationIso("SLUS_005.94"));
    std::filesystem::create_directories(Folder() + "config");
    system.windowsFolder = Folder() + "config/";
    Write("config/daemount.ini", "C:\\WRONG.EXE\r\n");
    const std::string vgs = QuoteArgument(Folder() + "vgs");
    struct Case {
        const char* what;
        bool helper;  // once put, it stays for the cases after
        const char* emulator;
        std::string image;
        std::string dataScript;  // the data folder's daemount.ini, when not empty
        bool mounts;
        std::string started;  // after the mount, if any
        QString message;      // what a message begins with
    };
    const std::vector<Case> cases = {
        {"no mount program", false, "VGS", "game.iso", "", false,
         vgs + " \"" + Folder() + "game.iso\"", ""},
        {"no mount program, the data folder's script", false, "Real PSX", "disc.iso",
         "emu %image% %gameid%\r\n", false, "emu \"" + Folder() + "disc.iso\" SLUS-00594", ""},
        {"no mount program, no script for it", false, "Real PSX", "game.iso",
         "if gameid = SLES-00001 then\r\nemu\r\n", false, "",
         ToQt(InterfaceText().strNotMounted + "\n\nNothing was started")},
        {"a CHD, which no mount program takes", true, "VGS", "game.chd", "", false,
         vgs + " \"" + Folder() + "game.chd\"", ""},
#ifdef _WIN32
        {"mounted: the emulator boots the drive", true, "VGS", "game.iso", "", true,
         Folder() + "vgs", ""},
#else
        {"mounted: a Linux emulator still gets the image", true, "VGS", "game.iso", "", true,
         vgs + " \"" + Folder() + "game.iso\"", ""},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.helper) PutMountHelper();
        std::filesystem::remove(Folder() + "daemount.ini");
        if (!c.dataScript.empty()) Write("daemount.ini", c.dataScript);
        system.started.clear();
        system.waitedFor.clear();
        ui.messages.clear();
        formGameInventory& w = StartWithGame(c.emulator, Folder() + c.image);
        w.PathDialog()->txtPath(0)->setText(ToQt(Folder() + "vgs"));
        w.PathDialog()->hide();
        w.btnPlay_Click();
        EXPECT_EQ(system.waitedFor.size(), c.mounts ? 1u : 0u);
        std::vector<std::string> started;
        for (size_t i = c.mounts ? 1 : 0; i < system.started.size(); ++i)
            started.push_back(system.started[i].first);
        EXPECT_EQ(started, c.started.empty() ? std::vector<std::string>{}
                                             : std::vector<std::string>{c.started});
        ASSERT_EQ(ui.messages.size(), c.message.isEmpty() ? 0u : 1u);
        if (!c.message.isEmpty())
            EXPECT_TRUE(ui.messages[0].text.startsWith(c.message))
                << ui.messages[0].text.toStdString();
    }
}

TEST_F(LaunchTest, PlayAndGetWaitForTheMountAndSayWhenItFails) {
    PutMountHelper();
    Write("game.iso", "data");
    WriteProgram("vgs");
    std::filesystem::create_directories(Folder() + "disc");
    Write("disc/SYSTEM.CNF", "BOOT = cdrom:\\SCES_003.44;1\r\n");
    const ProgramRun fails{.started = true,
                           .finished = true,
                           .exitCode = 73,
                           .errors = "daemon: cannot create /run/x\n"};
    struct Case {
        const char* what;
        bool play;
        ProgramRun answer;
        QString message;  // what the message begins with, if one is shown
        bool goesOn;      // Get reads the disc; Play starts the emulator
    };
    const Case cases[] = {
        {"Get, mounted", false, {.started = true, .finished = true, .exitCode = 0}, "", true},
        {"Get, failed", false, fails,
         "The disc image could not be mounted (exit code 73).\n\ndaemon: cannot create /run/x",
         false},
        {"Get, still running",
         false,
         {.started = true},
         "The disc image could not be mounted: the mount command did not end within 10 seconds.",
         false},
        {"Play, failed", true, fails, "The disc image could not be mounted (exit code 73).", true},
        // DAEMON Tools on Windows may stay running once it has mounted the image.
        {"Get, left running", false, {.started = true, .stillRunning = true}, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        system.started.clear();
        system.cdromRoots.clear();
        ui.messages.clear();
        formGameInventory& w = StartWithGame("VGS", Folder() + "game.iso");
        w.PathDialog()->txtPath(0)->setText(ToQt(Folder() + "vgs"));
        w.txtID()->setText(QStringLiteral("old"));
        // The disc shows up while the window waits, under a busy cursor.
        bool waitCursor = false;
        system.whileRunning = [&](const std::string&) {
            system.cdromRoots = {Folder() + "disc/"};
            waitCursor = QApplication::overrideCursor() &&
                         QApplication::overrideCursor()->shape() == Qt::BusyCursor;
        };
        system.runAnswer = c.answer;
        if (c.play)
            w.btnPlay_Click();
        else
            w.btnGet_Click();
        EXPECT_TRUE(waitCursor);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        ASSERT_EQ(ui.messages.size(), c.message.isEmpty() ? 0u : 1u);
        if (!c.message.isEmpty()) {
            EXPECT_TRUE(ui.messages[0].text.startsWith(c.message))
                << ui.messages[0].text.toStdString();
            EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
        }
        if (c.play)
            EXPECT_EQ(system.started.size(), c.goesOn ? 2u : 1u);
        else
            EXPECT_EQ(w.txtID()->text(),
                      c.goesOn ? QStringLiteral("SCES-00344") : QStringLiteral("old"));
    }
}

TEST_F(LaunchTest, ALongMountShowsItsWaitAndCanBeCancelled) {
    PutMountHelper();
    // The box shows the name as it is (Windows names cannot hold < and >).
#ifdef _WIN32
    const std::string name = "game &1.iso";
#else
    const std::string name = "game <1>.iso";
#endif
    Write(name, "data");
    WriteProgram("vgs");
    system.runsUntilStopped = true;
    for (const bool play : {true, false}) {
        SCOPED_TRACE(play ? "Play" : "Get");
        system.started.clear();
        formGameInventory& w = StartWithGame("VGS", Folder() + name);
        w.PathDialog()->txtPath(0)->setText(ToQt(Folder() + "vgs"));
        w.txtID()->setText(QStringLiteral("old"));
        QString shown;
        EventLoopProbe probe([&] {
            QProgressDialog* box = ShownProgressBox(w);
            if (!box || !shown.isEmpty()) return;
            shown = box->labelText();
            EXPECT_EQ(box->windowModality(), Qt::WindowModal);
            box->findChild<QPushButton*>()->click();
        });
        if (play)
            w.btnPlay_Click();
        else
            w.btnGet_Click();
        EXPECT_EQ(shown, ToQt("Mounting " + name + "..."));
        EXPECT_GT(probe.ticks, 0);
        // Cancelled: only the mount was started, nothing was read and nothing is said.
        EXPECT_EQ(system.started.size(), 1u);
        EXPECT_EQ(w.txtID()->text(), QStringLiteral("old"));
        EXPECT_TRUE(ui.messages.empty());
    }
}

TEST_F(LaunchTest, PlayWithoutEmulatorCarriesOutTheLaunchScript) {
    Write("game.iso", "data");
    std::filesystem::create_directories(Folder() + "config");
    system.windowsFolder = Folder() + "config/";
    Write("config/daemount.ini",
          "if msgbox(\"Start it?\") then\r\n/usr/bin/emulator --fullscreen\r\nend if\r\n");
    formGameInventory& w = StartWithGame("Real PSX", Folder() + "game.iso");
    ui.answers = {true};
    w.btnPlay_Click();
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0], QStringLiteral("Start it?"));
    ASSERT_EQ(system.started.size(), 1u);  // no daemon helper found: no mount
    EXPECT_EQ(system.started[0].first, "/usr/bin/emulator --fullscreen");
    EXPECT_EQ(system.started[0].second, ShowState::Normal);
}

TEST_F(LaunchTest, PlayThatStartsNothingSaysWhatIsMissing) {
    PutMountHelper();
    Write("game.iso", "data");
    std::filesystem::create_directories(Folder() + "config");
    system.windowsFolder = Folder() + "config/";
    // Without a script, the message names the data folder's, which a user can write.
    const std::string script = Folder() + "config/daemount.ini";
    struct Case {
        const char* what;
        const char* emulator;
        std::string script;  // written when not empty
        QString message;     // empty: none
        std::string emulatorPath = "";
    };
    const Case cases[] = {
        {"emulator's program gone, no script", "VGS", "",
         ToQt("Nothing was started: the game's emulator program " + Folder() +
              "gone is missing, and there is no launch script " + Folder() +
              "daemount.ini.\n\nSet the emulator's path with Paths..., or write a launch script "
              "there."),
         Folder() + "gone"},
        {"emulator without a path, no script", "ePSXe", "",
         ToQt("Nothing was started: the game's emulator has no program set, and there is no "
              "launch script " +
              Folder() + "daemount.ini" +
              ".\n\nSet the emulator's path with Paths..., or "
              "write a launch script there.")},
        {"Real PSX, no script", "Real PSX", "",
         ToQt("Nothing was started: there is no launch script " + Folder() + "daemount.ini" +
              ".\n\nWrite a launch script there, or choose an emulator for the game and set "
              "its path with Paths....")},
        {"script for other discs", "Real PSX",
         "if gameid = SLES-00001 then\r\n/bin/emu\r\nend if\r\n",
         ToQt("Nothing was started: the launch script " + script +
              " has no command line for this game.\n\nAdd one to the script.")},
        {"script that asks", "Real PSX", "if msgbox(\"Start?\") then\r\n/bin/emu\r\nend if\r\n",
         ""},
        {"script that starts", "ePSXe", "/bin/emu\r\n", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(script);
        if (!c.script.empty()) Write("config/daemount.ini", c.script);
        formGameInventory& w = StartWithGame(c.emulator, Folder() + "game.iso");
        w.PathDialog()->hide();
        w.PathDialog()->txtPath(0)->setText(ToQt(c.emulatorPath));
        ui.messages.clear();
        w.btnPlay_Click();
        ASSERT_EQ(ui.messages.size(), c.message.isEmpty() ? 0u : 1u);
        if (!c.message.isEmpty()) EXPECT_EQ(ui.messages[0].text, c.message);
    }
}

TEST_F(LaunchTest, DoubleClicksPlayOnlyWhenAllowed) {
    Write("game.iso", "data");
    WriteProgram("vgs");
    struct Case {
        const char* what;
        bool wide;
        bool onPicture;
        bool playEnabled;
        size_t starts;
    };
    const Case cases[] = {
        {"game, narrow", false, false, true, 1},         {"game, wide", true, false, true, 1},
        {"picture, narrow", false, true, true, 1},       {"picture, wide", true, true, true, 0},
        {"game, Play disabled", false, false, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        system.started.clear();
        formGameInventory& w = StartWithGame("VGS", Folder() + "game.iso");
        w.PathDialog()->txtPath(0)->setText(ToQt(Folder() + "vgs"));
        if (c.wide) w.btnInfo_Click();
        Click("Game");
        w.btnPlay()->setEnabled(c.playEnabled);
        if (c.onPicture)
            w.imgGame_DblClick(1);
        else
            w.lstName_DblClick();
        EXPECT_EQ(system.started.size(), c.starts);
    }
}

}  // namespace
}  // namespace vorlisk::testing
