// Play on the real system with a stand-in emulator that ends at once: a failure is told with
// the end of its error output, and every start goes into the program's log.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <QTest>
#include <string>

#include "app/ui/text.h"
#include "tests/ui/realplay.h"

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
        RealPlay play("emu \xE9/emulator",
                      "#!/bin/sh\ni=1\nwhile [ $i -le 20 ]; do echo \"line $i\" >&2; "
                      "i=$((i + 1)); done\nexit " +
                          std::to_string(c.exitCode) + "\n");
        ASSERT_TRUE(play.Start());
        play.window.btnPlay_Click();
        const std::string log = play.temp.Path("vorlisk.log");
        for (int wait = 0; wait < 200 && ReadWholeFile(log).find(c.logged) == std::string::npos;
             ++wait)
            QTest::qWait(50);

        const std::string logged = ReadWholeFile(log);
        EXPECT_NE(logged.find("Play started: \"" + play.emulator + "\" \"" + play.image +
                              "\"\n    " + c.logged),
                  std::string::npos)
            << logged;
        EXPECT_NE(logged.find("line 20"), std::string::npos) << logged;
        if (c.exitCode == 0) {
            EXPECT_TRUE(play.ui.messages.empty());
            continue;
        }
        ASSERT_EQ(play.ui.messages.size(), 1u);
        const QString& text = play.ui.messages[0].text;
        EXPECT_EQ(play.ui.messages[0].icon, MessageIcon::Exclamation);
        EXPECT_TRUE(text.contains(QStringLiteral("exit code 3")));
        EXPECT_TRUE(text.contains(ToQt(play.emulator)));
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
