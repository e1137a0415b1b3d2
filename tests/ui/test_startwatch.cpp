// Play on the real system with a stand-in emulator that ends at once: a failure is told with
// the end of its error output, and every start goes into the program's log.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <filesystem>
#include <memory>

#include "app/ui/formGameInventory.h"
#include "app/ui/text.h"
#include "launch/ui/formEmulatorPath.h"
#include "system/services.h"
#include "tests/core/environment.h"
#include "tests/core/tempfolder.h"
#include "tests/ui/fakes.h"

namespace vorlisk::testing {
namespace {

TEST(StartWatchTest, AnEmulatorThatFailsAtOnceIsToldAndEveryStartIsLogged) {
    struct Case {
        const char* what;
        int exitCode;
        const char* logged;
    };
    const Case cases[] = {
        {"fails", 3, "ended with exit code 3"},
        {"ends well", 0, "ended with exit code 0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder temp;
        ScopedEnvironment environment;
        environment.Set("PATH", temp.Path());  // no mount helper
        const std::string emulator = temp.Write("emu \xE9/emulator",
                                                "#!/bin/sh\ni=1\nwhile [ $i -le 20 ]; do echo "
                                                "\"line $i\" >&2; i=$((i + 1)); done\nexit " +
                                                    std::to_string(c.exitCode) + "\n");
        std::filesystem::permissions(emulator, std::filesystem::perms::owner_all);
        const std::string image = temp.Write("game.iso", "data");
        temp.Write("gameinv.txt", "Game\tSLUS-00594\tRPG\t1\t" + image + "\t\t\tVGS\td\r\n");
        FolderServices services(temp.Folder());
        FakeUserInterface ui;
        formGameInventory window(services, ui);
        ASSERT_TRUE(window.Form_Load());
        window.SelectGame(window.Inventory().Lists().FindName("Game"));
        SetBytes(window.PathDialog()->txtPath(0), emulator);
        window.btnPlay_Click();
        const std::string log = temp.Path("vorlisk.log");
        for (int wait = 0; wait < 200 && ReadWholeFile(log).find(c.logged) == std::string::npos;
             ++wait)
            QTest::qWait(50);

        const std::string logged = ReadWholeFile(log);
        EXPECT_NE(
            logged.find("Play started: \"" + emulator + "\" \"" + image + "\"\n    " + c.logged),
            std::string::npos)
            << logged;
        EXPECT_NE(logged.find("line 20"), std::string::npos) << logged;
        if (c.exitCode == 0) {
            EXPECT_TRUE(ui.messages.empty());
            continue;
        }
        ASSERT_EQ(ui.messages.size(), 1u);
        const QString& text = ui.messages[0].text;
        EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_TRUE(text.contains(QStringLiteral("exit code 3")));
        EXPECT_TRUE(text.contains(ToQt(emulator)));
        EXPECT_TRUE(text.contains(QStringLiteral("line 9\nline 10")) &&
                    text.endsWith(QStringLiteral("line 20\n\nWhat Play starts is kept in ") +
                                  ToQt(log) + QStringLiteral(".")))
            << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("line 8\n")));
    }
}

}  // namespace
}  // namespace vorlisk::testing

#endif
