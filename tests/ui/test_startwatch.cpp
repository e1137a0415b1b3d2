// Play on the real system with stand-in programs: each start is logged when it happens and
// again with how it went, a failure is told with its reason or the end of the output, and the
// program outlives both this program and the process that watches it.
#ifndef _WIN32

#include <gtest/gtest.h>
#include <signal.h>

#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "app/ui/text.h"
#include "system/processes.h"
#include "tests/ui/realplay.h"

namespace vorlisk::testing {
namespace {

// Waits, the event loop running, until `done` answers true or about ten seconds have passed.
template <typename Done>
void WaitFor(Done done) {
    for (int wait = 0; wait < 200 && !done(); ++wait) QTest::qWait(50);
}

TEST(StartWatchTest, EveryStartIsLoggedAndAFailureIsToldWithWhy) {
    enum class Then { Wait, CloseVorlisk, EndRelayByName };
    // With a launch script the stand-in may not be executed, so the script runs instead.
    struct Case {
        const char* what;
        std::string program;  // the stand-in's shell text
        std::string script;   // daemount.ini; "{program}" stands for the stand-in's path
        Then then;
        std::vector<std::string> logged;
        std::vector<std::string> told;  // pieces of the one message; none when empty
    };
    const std::string twentyLines =
        "i=1\nwhile [ $i -le 20 ]; do echo \"line $i\" >&2; i=$((i + 1)); done\n";
    const std::string waitForGo = "while [ ! -e go ]; do sleep 0.05; done\n";
    const std::string played = "\"{program}\" \"{image}\"";
    const std::string log = "\n\nWhat Play starts is kept in {log}.";
    const std::string notOnPath = "vlk-not-installed: no program of this name is found on PATH";
    const Case cases[] = {
        {"fails", twentyLines + "exit 3", "", Then::Wait,
         {"Play starts: " + played, "Play started: " + played + "\n    ended with exit code 3",
          "line 20"},
         {"exit code 3:\n" + played + "\n\nline 9\nline 10\n", "line 20" + log}},
        {"ends well", twentyLines + "exit 0", "", Then::Wait,
         {"ended with exit code 0", "line 20"}, {}},
        {"missing from PATH", "", "vlk-not-installed %image%", Then::Wait,
         {"Play could not start: vlk-not-installed \"{image}\"\n    " + notOnPath},
         {"Play could not start " + notOnPath}},
        {"not executable", "", "\"{program}\" from-script %image%", Then::Wait,
         {"Play could not start: \"{program}\" from-script \"{image}\"\n    {program}: "
          "Permission denied"},
         {"Play could not start {program}: Permission denied\n\n\"{program}\" from-script"}},
        {"output on stdout", "echo 'a warning' >&2\necho 'Unrecognized file format.'\nexit 1",
         "", Then::Wait, {"a warning\n    Unrecognized file format."},
         {"a warning\nUnrecognized file format." + log}},
        {"Vorlisk closed before five seconds", waitForGo + ": > lived", "", Then::CloseVorlisk,
         {"Play starts: " + played}, {}},
        {"the relay ended by name",
         "echo $PPID > relay.part; mv relay.part relay\n" + waitForGo + "echo after >&2\n: > lived",
         "", Then::EndRelayByName, {"Play starts: " + played}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RealPlay play("emu \xE9/emulator",
                      "#!/bin/sh\nPATH=/usr/bin:/bin\ncd \"${0%/*}\"\n" + c.program + "\n");
        TempFolder& temp = play.temp;
        const std::string logPath = temp.Path("vorlisk.log");
        auto expand = [&](std::string text) {
            for (const auto& [mark, value] :
                 {std::pair<std::string, std::string>{"{program}", play.emulator},
                  {"{image}", play.image},
                  {"{log}", logPath}})
                for (size_t at; (at = text.find(mark)) != std::string::npos;)
                    text.replace(at, mark.size(), value);
            return text;
        };
        if (!c.script.empty()) {
            std::filesystem::permissions(play.emulator, std::filesystem::perms::owner_read);
            temp.Write("daemount.ini", expand(c.script) + "\r\n");
        }
        ASSERT_TRUE(play.Start());
        play.window->btnPlay_Click();

        const std::string folder = temp.Path("emu \xE9") + "/";
        if (c.then == Then::CloseVorlisk) play.window.reset();
        if (c.then == Then::EndRelayByName) {
            WaitFor([&] { return std::filesystem::exists(folder + "relay"); });
            const int pid = std::stoi(ReadWholeFile(folder + "relay"));
            const std::string relay = "/proc/" + std::to_string(pid) + "/";
            EXPECT_EQ(ReadWholeFile(relay + "comm"), std::string(kRelayName) + "\n");
            EXPECT_EQ(ReadWholeFile(relay + "cmdline").substr(0, sizeof kRelayName),
                      std::string(kRelayName, sizeof kRelayName));
            ::kill(pid, SIGTERM);
            WaitFor([&] {
                const std::string stat = ReadWholeFile(relay + "stat");
                return stat.empty() || stat.find(") Z ") != std::string::npos;
            });
        }
        if (c.then != Then::Wait) {
            temp.Write("emu \xE9/go", "");
            WaitFor([&] { return std::filesystem::exists(folder + "lived"); });
        }
        if (c.then == Then::EndRelayByName) EXPECT_TRUE(std::filesystem::exists(folder + "lived"));
        const std::string last = expand(c.logged.back());
        WaitFor([&] { return ReadWholeFile(logPath).find(last) != std::string::npos; });

        const std::string logged = ReadWholeFile(logPath);
        for (const std::string& piece : c.logged)
            EXPECT_NE(logged.find(expand(piece)), std::string::npos) << expand(piece) << "\n"
                                                                     << logged;
        EXPECT_EQ(play.ui.messages.size(), c.told.empty() ? 0u : 1u);
        // A start that failed is no play: the game gets no time and no day played.
        if (!c.told.empty() && c.told[0].starts_with("Play could not start")) {
            QTest::qWait(1200);
            EXPECT_FALSE(std::filesystem::exists(temp.Path("playtime.txt")));
        }
        if (play.ui.messages.size() != 1) continue;
        for (const std::string& piece : c.told) {
            EXPECT_EQ(play.ui.messages[0].icon, MessageIcon::Exclamation);
            EXPECT_TRUE(play.ui.messages[0].text.contains(ToQt(expand(piece))))
                << expand(piece) << "\n"
                << play.ui.messages[0].text.toStdString();
        }
    }
}

}  // namespace
}  // namespace vorlisk::testing

#endif
