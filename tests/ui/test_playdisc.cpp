// Play and Get through the real window on the real system: the shipped helper mounts disc
// images with FUSE, and a stand-in emulator writes down the arguments it gets.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <QLineEdit>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "app/ui/formGameInventory.h"
#include "system/processes.h"
#include "system/services.h"
#include "tests/core/discimages.h"
#include "tests/core/environment.h"
#include "tests/core/tempfolder.h"
#include "tests/ui/fakes.h"

namespace vorlisk::testing {
namespace {

namespace fs = std::filesystem;

// The platform's services, with the program's folder in the test's folder and only the discs
// mounted there: other tests may mount discs of their own at the same time.
class TestFolderServices : public PlatformServices {
  public:
    explicit TestFolderServices(std::string folder) : folder_(std::move(folder)) {}
    std::string ApplicationFolder() override { return folder_ + "app/"; }
    std::vector<std::string> CdromRoots() override {
        std::vector<std::string> roots = PlatformServices::CdromRoots();
        std::erase_if(roots, [&](const std::string& root) { return root.rfind(folder_, 0) != 0; });
        return roots;
    }

  private:
    std::string folder_;
};

class PlayDiscTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::string why = WhyNoDiscMounts(); !why.empty()) GTEST_SKIP() << why;
        for (const char* name : {"app/d-tools", "config", "runtime", "home", "images", "emu dir"})
            temp_.MakeFolder(name);
        environment_.Set("XDG_CONFIG_HOME", temp_.Path("config"));
        environment_.Set("XDG_RUNTIME_DIR", temp_.Path("runtime"));
        environment_.Set("HOME", temp_.Path("home"));
        helper_ = temp_.Path("app/d-tools/daemon");
        fs::copy_file(std::string(VORLISK_SOURCE_DIR) + "/tools/daemon", helper_);
        emulator_ = temp_.Write("emu dir/emulator",
                                "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done "
                                "> \"$0.part\" && mv \"$0.part\" \"$0.out\"\n");
        fs::permissions(emulator_, fs::perms::owner_all);
    }
    void TearDown() override {
        window_.reset();
        if (!helper_.empty()) RunProgram({helper_, "-unmount", "0"}, std::chrono::seconds(10));
    }

    // Builds images/<name> from an ISO image whose boot file is `bootFile`.
    std::string Image(const std::string& name, const std::string& bootFile) {
        const std::string iso = temp_.Path("images/" + name + ".iso");
        EXPECT_EQ(BuildPlayStationIso(iso, "BOOT = cdrom:\\" + bootFile + ";1"), "");
        if (name.ends_with(".iso")) return iso;
        return WriteDiscImage(temp_.Folder() + "images/", name, ReadWholeFile(iso));
    }

    // The arguments the stand-in emulator got, one per line in brackets, once it ran.
    std::string EmulatorArguments() {
        const std::string out = emulator_ + ".out";
        for (int i = 0; i < 1000 && !fs::exists(out); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::string arguments = ReadWholeFile(out);
        fs::remove(out);
        return arguments;
    }

    formGameInventory& Start() {
        window_ = std::make_unique<formGameInventory>(system_, ui_);
        EXPECT_TRUE(window_->Form_Load());
        return *window_;
    }
    void Click(const std::string& name) {
        window_->SelectGame(window_->Inventory().Lists().FindName(name));
    }

    // A blank in every path, the mount point's too.
    TempFolder temp_{"vorlisk play disc"};
    ScopedEnvironment environment_;
    TestFolderServices system_{temp_.Folder()};
    FakeUserInterface ui_;
    std::unique_ptr<formGameInventory> window_;
    std::string helper_;
    std::string emulator_;
};

TEST_F(PlayDiscTest, TheEmulatorBootsTheImageAndGetReadsTheDiscJustMounted) {
    const std::string alpha = Image("alpha.iso", "SLUS_005.94");
    const std::string bravo = Image("Bravo Disc.cue", "SCES_003.44");
    const std::string charlie = Image("charlie.ccd", "SLPS_012.34");
    // A name a shell would misread, and a Windows-1252 byte (0xE9) as a catalogue from Windows
    // holds it.
    const std::string delta =
        Image("it's \"odd\" $(touch trap); `touch trap` caf\xE9.iso", "SCUS_941.63");
    auto game = [](const std::string& name, const std::string& image, const std::string& emu) {
        return name + "\t\tRPG\t1\t" + image + "\t\t\t" + emu + "\t\r\n";
    };
    temp_.Write("app/gameinv.txt", game("Alpha", alpha, "ePSXe") + game("Bravo", bravo, "ePSXe") +
                                       game("Charlie", charlie, "ePSXe") +
                                       game("Delta", delta, "Real PSX"));
    temp_.Write("app/games.txt", "SCES-00344 Bravo Racing\tPAL\r\nSLPS-01234 Charlie Quest\tJ\r\n");
    temp_.Write("app/emupath.txt", "\r\n\r\n\r\n" + emulator_ + "\r\n");
    // Unquoted, the stand-in's path with a blank is found on the disk.
    temp_.Write("config/daemount.ini",
                "if gameid = SCUS-94163 then\r\n" + emulator_ + " %image% %gameid%\r\nend if\r\n");
    formGameInventory& w = Start();

    Click("Alpha");
    w.btnPlay_Click();
    EXPECT_EQ(EmulatorArguments(), "[" + alpha + "]\n");

    // Get reads the ID of the game selected now (from its image: no mount needed).
    struct Case {
        std::string game;
        std::string id;
        std::string name;
    };
    for (const Case& c : {Case{"Bravo", "SCES-00344", "Bravo Racing"},
                          Case{"Charlie", "SLPS-01234", "Charlie Quest"}}) {
        Click(c.game);
        w.btnGet_Click();
        EXPECT_EQ(w.txtID()->text().toStdString(), c.id) << c.game;
        EXPECT_EQ(w.txtName()->text().toStdString(), c.name) << c.game;
    }

    // The script's game ID condition sees the disc of this Play, not the one before.
    Click("Delta");
    w.btnPlay_Click();
    EXPECT_EQ(EmulatorArguments(), "[" + delta + "]\n[SCUS-94163]\n");
    EXPECT_FALSE(fs::exists(temp_.Path("images/trap")));
    EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace
}  // namespace vorlisk::testing

#endif
