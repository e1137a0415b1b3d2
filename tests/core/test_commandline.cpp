#include <gtest/gtest.h>

#include "system/commandline.h"

namespace vorlisk {
namespace {

using Words = std::vector<std::string>;

TEST(CommandLine, SplitsTheWindowsWay) {
    struct Case {
        std::string line;
        Words words;
    };
    const std::vector<Case> cases = {
        {"", {}},
        {" \t  ", {}},
        {"prog", {"prog"}},
        {"  prog  a\t\tb  c ", {"prog", "a", "b", "c"}},
        {R"("C:\Program Files\vgs.exe" -x)", {R"(C:\Program Files\vgs.exe)", "-x"}},
        {R"(daemon -mount 0,"/games/Race Day.cue")", {"daemon", "-mount", "0,/games/Race Day.cue"}},
        {R"(a "" b)", {"a", "", "b"}},
        {R"("")", {""}},
        {R"(x "a"b"c d")", {"x", "abc d"}},
        {R"("unclosed to the end)", {"unclosed to the end"}},
        {R"(C:\TOOLS\NOTE.EXE disc not mounted)",
         {R"(C:\TOOLS\NOTE.EXE)", "disc", "not", "mounted"}},
        // Backslashes are literal unless they stand before a double quote.
        {R"(a\b\\c d\)", {R"(a\b\\c)", R"(d\)"}},
        {R"(a\"b)", {R"(a"b)"}},
        {R"(a\\"b c")", {R"(a\b c)"}},
        {R"(a\\\"b)", {R"(a\"b)"}},
        {R"(a\\\\"b c")", {R"(a\\b c)"}},
        {R"("a\\" b)", {R"(a\)", "b"}},
        {R"("quote\"inside")", {R"(quote"inside)"}},
        // Nothing a shell would see is special here.
        {R"(prog ; $(touch x) `id` && a|b > f)",
         {"prog", ";", "$(touch", "x)", "`id`", "&&", "a|b", ">", "f"}},
        {"tab\tseparated\r", {"tab", "separated\r"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.words) << c.line;
}

TEST(CommandLine, QuotedArgumentsComeBackWhole) {
    const std::vector<std::string> arguments = {
        "plain",
        "two words",
        "",
        "tab\there",
        "quote\"in",
        "\"",
        "end\\",
        "end\\\\",
        "sp ace\\",
        "a\\\"b",
        "\\\\\"\\",
        "C:\\Dir\\",
        "/home/me/My Games/Race \"Day\".cue",
    };
    for (const auto& argument : arguments) {
        std::string line = "prog " + QuoteArgument(argument) + " next";
        EXPECT_EQ(SplitCommandLine(line), (Words{"prog", argument, "next"})) << line;
        std::string inside = "\"" + EscapeInsideQuotes(argument) + "\"";
        EXPECT_EQ(SplitCommandLine(inside), Words{argument}) << inside;
    }
    // Text that needs no quoting is left as it is.
    EXPECT_EQ(QuoteArgument("/usr/bin/daemon"), "/usr/bin/daemon");
    EXPECT_EQ(QuoteArgument("C:\\progra~1\\d-tools\\daemon"), "C:\\progra~1\\d-tools\\daemon");
    EXPECT_EQ(QuoteArgument("/my games/daemon"), "\"/my games/daemon\"");
    EXPECT_EQ(EscapeInsideQuotes("C:\\ISO\\Race Day.cue"), "C:\\ISO\\Race Day.cue");
}

}  // namespace
}  // namespace vorlisk
