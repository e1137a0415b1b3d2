#pragma once
// The window on the real system in a test folder, with one game, "Game" (SLUS-00594), whose
// image Play hands to a stand-in emulator: a shell script the test writes. No mount helper is
// on the PATH.

#include <filesystem>
#include <memory>
#include <string>

#include "app/ui/formGameInventory.h"
#include "app/ui/text.h"
#include "launch/ui/formEmulatorPath.h"
#include "tests/core/environment.h"
#include "tests/core/tempfolder.h"
#include "tests/ui/fakes.h"

namespace vorlisk::testing {

class RealPlay {
  public:
    // The emulator is written as `emulatorName` in the folder, holding `script`.
    RealPlay(const std::string& emulatorName, const std::string& script) {
        environment.Set("PATH", temp.Path());
        emulator = temp.Write(emulatorName, script);
        std::filesystem::permissions(emulator, std::filesystem::perms::owner_all);
        image = temp.Write("game.iso", "data");
        temp.Write("gameinv.txt", "Game\tSLUS-00594\tRPG\t1\t" + image + "\t\t\tVGS\td\r\n");
    }

    // Starts the window with the game selected and the emulator set; false when it failed.
    bool Start() {
        if (!window->Form_Load()) return false;
        window->SelectGame(window->Inventory().Lists().FindName("Game"));
        SetBytes(window->PathDialog()->txtPath(0), emulator);
        return true;
    }

    TempFolder temp;
    ScopedEnvironment environment;
    std::string emulator;
    std::string image;
    FolderServices services{temp.Folder()};
    FakeUserInterface ui;
    // Dropped, as Vorlisk closes.
    std::unique_ptr<formGameInventory> window = std::make_unique<formGameInventory>(services, ui);
};

}  // namespace vorlisk::testing
