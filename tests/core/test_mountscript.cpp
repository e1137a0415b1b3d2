#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <set>

#ifndef _WIN32
#include <unistd.h>

#include <chrono>
#include <thread>
#endif

#include "import/discid.h"
#include "launch/mountscript.h"
#include "system/commandline.h"
#include "system/files.h"
#include "system/processes.h"
#include "tests/core/environment.h"
#include "tests/core/tempfolder.h"

namespace vorlisk {
namespace {

namespace fs = std::filesystem;
using vorlisk::testing::TempFolder;

struct Started {
    std::string commandLine;
    ShowState state;
    bool operator==(const Started&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Started& s) {
    return out << "[" << s.commandLine << "|" << (s.state == ShowState::Normal ? "normal" : "min")
               << "]";
}

// Records everything the interpreter asks and starts; files are the real ones of the temp
// folder plus the paths listed in `existing` (the Windows paths of the examples).
class RecordingHost : public MountScriptHost {
  public:
    std::string folder;
    std::string dataFolder;
    std::set<std::string> existing;
    std::string discId;
    std::vector<std::string> processes;
    std::deque<bool> answers;
    bool vgsWindowOpen = false;
    std::string vgsLocation;

    int idReads = 0;
    int enterSent = 0;
    std::vector<std::string> questions;
    std::vector<Started> started;
    std::vector<std::string> events;

    bool FileExists(const std::string& path) override {
        events.push_back("exists " + path);
        return existing.count(path) > 0 || vorlisk::FileExists(path);
    }
    bool IsProgramFile(const std::string& path) override {
        return existing.count(path) > 0 || vorlisk::IsProgramFile(path);
    }
    std::string DiscGameId() override {
        events.push_back("id");
        ++idReads;
        return discId;
    }
    bool IsRunning(const std::string& name) override {
        return std::any_of(processes.begin(), processes.end(),
                           [&](const std::string& p) { return ProcessNameMatches(p, name); });
    }
    std::string ShortPathName(const std::string& path) override {
        return existing.count(path) || PathExists(path) ? path : std::string();
    }
    std::string WindowsDirectory() override {
        events.push_back("folder");
        return folder;
    }
    std::string DataFolder() override { return dataFolder; }
    bool AskYesNo(const std::string& question) override {
        questions.push_back(question);
        if (answers.empty()) return false;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool ActivateWindowAndSendEnter(const std::string& title) override {
        if (!vgsWindowOpen || title != "Connectix Virtual Game Station") return false;
        ++enterSent;
        return true;
    }
    std::string ReadRegistryValue(unsigned long root, const std::string& key,
                                  const std::string& name) override {
        if (root == 0x80000002UL &&
            key == "SOFTWARE\\Connectix\\Connectix Virtual Game Station\\General" &&
            name == "Location")
            return vgsLocation;
        return {};
    }
    void StartCommandLine(const std::string& commandLine, ShowState state) override {
        started.push_back({commandLine, state});
    }
};

class MountScriptTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetHost(); }

    // A new host on the temp folder, without any answers set.
    void ResetHost() {
        host_ = RecordingHost{};
        host_.folder = temp_.Folder();
    }

    std::string Dir() const { return temp_.Path(); }

    // "{dir}" in a text stands for the temp folder.
    std::string Expand(std::string text) const {
        for (size_t at; (at = text.find("{dir}")) != std::string::npos;) text.replace(at, 5, Dir());
        return text;
    }

    void WriteFile(const std::string& name, const std::string& content) const {
        temp_.Write(name, content);
    }

    void WriteScript(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
        std::string content;
        for (const auto& line : lines) content += Expand(line) + end;
        WriteFile("daemount.ini", content);
    }

    std::vector<std::string> StartedNormally() const {
        std::vector<std::string> lines;
        for (const auto& s : host_.started) {
            EXPECT_EQ(s.state, ShowState::Normal) << s.commandLine;
            lines.push_back(s.commandLine);
        }
        return lines;
    }

    void Run(const std::string& imagePath, int emulator = 0,
             const std::array<std::string, 4>& paths = {}) {
        RunMountScript(imagePath, emulator, paths, host_, true);
    }

    TempFolder temp_{"vorlisk-mountscript"};
    RecordingHost host_;
};

const std::string kExplorer = "C:\\WINDOWS\\EXPLORER.EXE";
const std::string kGame1 = "D:\\ISO\\GAME1.ISO";

// One run of a script: what the host answers, then what the run must start, ask and send.
// A case names only what differs from no disc, no files, no programs, no answers, no window
// and no registry entry, for the image kGame1.
struct ScriptCase {
    const char* name;
    std::vector<std::string> script;
    std::string discId;
    std::vector<std::string> existing;
    std::vector<std::string> processes;
    std::vector<bool> answers;
    bool vgsWindowOpen = false;
    std::string vgsLocation;
    std::string imagePath = kGame1;
    std::vector<std::string> expectStarted;
    std::vector<std::string> expectQuestions;
    int expectEnter = 0;
};

const std::vector<std::string> kExample1 = {
    "; ePSXe for one game, VGS for all others",
    "if gameid = SLUS-00594 then",
    "C:\\EPSXE\\EPSXE.EXE",
    "else",
    "C:\\VGS\\VGS.EXE",
    "end if",
};
const std::vector<std::string> kExample2 = {
    "if msgbox(\"Start the PSEmu Pro front end?\") then",
    "C:\\PSEMU\\PSEMUPRO.EXE",
    "endif",
};
const std::vector<std::string> kExample3 = {
    "if exists \"C:\\GAMES\\A.TXT\"",
    "C:\\TOOLS\\ONE.EXE",
    "elseif exists \"C:\\GAMES\\B.TXT\"",
    "C:\\TOOLS\\TWO.EXE",
    "else",
    "C:\\TOOLS\\THREE.EXE",
    "end if",
};
const std::vector<std::string> kExample4 = {
    "if gameid = SLUS-00594 then",
    "stop",
    "end if",
    "C:\\VGS\\VGS.EXE",
};
const std::vector<std::string> kExample5 = {
    "if image = \"D:\\ISO\\GAME1.ISO\" then",
    "C:\\BLEEM\\BLEEM.EXE",
    "end if",
    "if not running \"DAEMON\" then",
    "C:\\TOOLS\\NOTE.EXE disc not mounted",
    "end if",
};

TEST_F(MountScriptTest, WorkedExamplesAndEdgeCases) {
    const std::vector<ScriptCase> cases = {
        // Example 1: a different emulator for one game.
        {.name = "ex1 the chosen disc",
         .script = kExample1,
         .discId = "SLUS-00594",
         .existing = {"C:\\VGS\\VGS.EXE"},
         .expectStarted = {"C:\\EPSXE\\EPSXE.EXE"}},
        {.name = "ex1 another disc, VGS file present",
         .script = kExample1,
         .discId = "SCES-01234",
         .existing = {"C:\\VGS\\VGS.EXE"},
         .expectStarted = {"C:\\VGS\\VGS.EXE"}},
        {.name = "ex1 no disc, VGS window open",
         .script = kExample1,
         .existing = {"C:\\VGS\\VGS.EXE"},
         .vgsWindowOpen = true,
         .expectEnter = 1},
        {.name = "ex1 VGS from the registry",
         .script = kExample1,
         .vgsLocation = "/opt/vgs/vgs.exe",
         .expectStarted = {"/opt/vgs/vgs.exe"}},
        {.name = "ex1 VGS from the registry, already running",
         .script = kExample1,
         .processes = {"/opt/vgs/vgs.exe"},
         .vgsLocation = "/opt/vgs/vgs.exe"},
        {.name = "ex1 VGS nowhere, some .exe running",
         .script = kExample1,
         .processes = {kExplorer}},
        {.name = "ex1 VGS nowhere, no .exe running",
         .script = kExample1,
         .processes = {"/usr/bin/bash"}},
        {.name = "ex1 the VGS file itself runs",
         .script = kExample1,
         .existing = {"C:\\VGS\\VGS.EXE"},
         .processes = {"c:\\vgs\\vgs.exe"}},
        // Example 2: a question.
        {.name = "ex2 yes",
         .script = kExample2,
         .answers = {true},
         .expectStarted = {"C:\\PSEMU\\PSEMUPRO.EXE"},
         .expectQuestions = {"Start the PSEmu Pro front end?"}},
        {.name = "ex2 no",
         .script = kExample2,
         .answers = {false},
         .expectQuestions = {"Start the PSEmu Pro front end?"}},
        // Example 3: elseif is not exclusive.
        {.name = "ex3 both",
         .script = kExample3,
         .existing = {"C:\\GAMES\\A.TXT", "C:\\GAMES\\B.TXT"},
         .expectStarted = {"C:\\TOOLS\\ONE.EXE", "C:\\TOOLS\\TWO.EXE"}},
        {.name = "ex3 only B",
         .script = kExample3,
         .existing = {"C:\\GAMES\\B.TXT"},
         .expectStarted = {"C:\\TOOLS\\TWO.EXE"}},
        {.name = "ex3 only A",
         .script = kExample3,
         .existing = {"C:\\GAMES\\A.TXT"},
         .expectStarted = {"C:\\TOOLS\\ONE.EXE"}},
        {.name = "ex3 neither", .script = kExample3, .expectStarted = {"C:\\TOOLS\\THREE.EXE"}},
        // Example 4: stop ignores branches.
        {.name = "ex4 the disc",
         .script = kExample4,
         .discId = "SLUS-00594",
         .existing = {"C:\\VGS\\VGS.EXE"}},
        {.name = "ex4 another disc",
         .script = kExample4,
         .discId = "SCUS-94163",
         .existing = {"C:\\VGS\\VGS.EXE"}},
        // Example 5: per image, and a running program.
        {.name = "ex5 image in other case, no daemon",
         .script = kExample5,
         .existing = {kGame1},
         .processes = {kExplorer},
         .imagePath = "d:\\iso\\game1.iso",
         .expectStarted = {"C:\\BLEEM\\BLEEM.EXE", "C:\\TOOLS\\NOTE.EXE disc not mounted"}},
        {.name = "ex5 image quoted, daemon running",
         .script = kExample5,
         .existing = {kGame1},
         .processes = {"C:\\Program Files\\D-Tools\\DAEMON.EXE"},
         .imagePath = "\"D:\\ISO\\GAME1.ISO\"",
         .expectStarted = {"C:\\BLEEM\\BLEEM.EXE"}},
        {.name = "ex5 long image name, Linux daemon running",
         .script = kExample5,
         .existing = {kGame1},
         .processes = {"/usr/bin/daemon"},
         .imagePath = "D:\\ISO\\Long Game Name.iso"},
        {.name = "ex5 image missing: no short form",
         .script = kExample5,
         .processes = {"/usr/bin/daemon"}},
        // Indentation and keyword case.
        {.name = "tab indentation",
         .script = {"\t\tIF EXISTS \"{dir}/missing\" THEN", "\tA", "\t\tElse", "\tB", "\tEnd If"},
         .expectStarted = {"B"}},
        {.name = "blank indentation",
         .script = {"   if gameid = slus-00594 then  ", "  A  ", "  else", "B", " ENDIF"},
         .discId = "SLUS-00594",
         .expectStarted = {"A"}},
        {.name = "tab then blank is a command",
         .script = {"\t stop", "\t else", "C"},
         .expectStarted = {" stop", " else", "C"}},
        {.name = "tab at the end stays",
         .script = {"stop\t", "C"},
         .expectStarted = {"stop\t", "C"}},
        {.name = "two blanks after if",
         .script = {"if  exists \"C:\\X\" then", "A", "else", "B", "end if"},
         .existing = {"C:\\X"},
         .expectStarted = {"B"}},
        {.name = "if without a blank is a command",
         .script = {"if", "elseif", "A"},
         .expectStarted = {"if", "elseif", "A"}},
        // gameid forms.
        {.name = "gameid at the end of the line",
         .script = {"if gameid = SLUS-00594", "A", "end if"},
         .discId = "SLUS-00594"},
        {.name = "gameid followed by a blank",
         .script = {"if gameid = SLUS-00594 ", "A", "end if"},
         .discId = "SLUS-00594"},
        {.name = "gameid with then",
         .script = {"if gameid = SLUS-00594 then", "A", "end if"},
         .discId = "SLUS-00594",
         .expectStarted = {"A"}},
        {.name = "empty ID: no disc",
         .script = {"if gameid =  then", "A", "end if"},
         .expectStarted = {"A"}},
        {.name = "empty ID: a disc",
         .script = {"if gameid =  then", "A", "end if"},
         .discId = "SLUS-00594"},
        {.name = "gameid without the blanks round =",
         .script = {"if gameid=SLUS-00594 then", "A", "else", "B"},
         .discId = "SLUS-00594",
         .expectStarted = {"B"}},
        // Blocks.
        {.name = "no nesting",
         .script = {"if exists \"{dir}/one\" then", "A", "if exists \"{dir}/missing\" then", "B",
                    "end if", "C", "else", "D", "end if", "E"},
         .expectStarted = {"A", "C", "D", "E"}},
        {.name = "two blocks in a row",
         .script = {"if gameid = AAAA-00000 then", "A", "end if", "if gameid = SLUS-00594 then",
                    "B", "else", "C", "end if"},
         .discId = "SLUS-00594",
         .expectStarted = {"B"}},
        {.name = "else without a condition",
         .script = {"A", "else", "B", "end if", "C"},
         .expectStarted = {"A", "B", "C"}},
        {.name = "unrecognised condition",
         .script = {"if raining then", "A", "else", "B", "end if"},
         .expectStarted = {"B"}},
        {.name = "stop in an inactive branch",
         .script = {"A", "if exists \"{dir}/missing\" then", "stop", "end if", "B"},
         .expectStarted = {"A"}},
        {.name = "stop first", .script = {"STOP", "A"}},
        // Quoting of conditions.
        {.name = "exists without its closing quote",
         .script = {"if exists \"{dir}/one", "A", "else", "B"},
         .expectStarted = {"B"}},
        {.name = "msgbox without its closing quote asks nothing",
         .script = {"if msgbox(\"Go on?", "A"},
         .answers = {true}},
        {.name = "text after the closing quote is ignored",
         .script = {"if exists \"{dir}/one\")) then please", "A"},
         .expectStarted = {"A"}},
        {.name = "exists is false for a 0-byte file",
         .script = {"if exists \"{dir}/empty\" then", "A", "else", "B"},
         .expectStarted = {"B"}},
        {.name = "not running with a dotted name",
         .script = {"if not running \"emulator.bin\" then", "A"},
         .processes = {"/opt/emulator.bin.exe"},
         .expectStarted = {"A"}},
        // Command lines.
        {.name = "comments and arguments",
         .script = {"; C:\\X.EXE", " ;indented comment", "C:\\X.EXE ; not a comment"},
         .expectStarted = {"C:\\X.EXE ; not a comment"}},
        {.name = "a running program is not started again",
         .script = {"/usr/bin/pcsxr", "/usr/bin/pcsxr -nogui", "/usr/bin/other"},
         .processes = {"/usr/bin/pcsxr"},
         .expectStarted = {"/usr/bin/pcsxr -nogui", "/usr/bin/other"}},
        {.name = "vgs.exe ending in any case",
         .script = {"C:\\VGS\\Vgs.Exe"},
         .vgsWindowOpen = true,
         .expectEnter = 1},
        {.name = "every vgs line sends Enter",
         .script = {"C:\\VGS\\VGS.EXE", "D:\\VGS.EXE"},
         .vgsWindowOpen = true,
         .expectEnter = 2},
        {.name = "vgs.exe with arguments is an ordinary line",
         .script = {"C:\\VGS\\VGS.EXE -x"},
         .vgsWindowOpen = true,
         .vgsLocation = "/opt/vgs.exe",
         .expectStarted = {"C:\\VGS\\VGS.EXE -x"}},
    };

    WriteFile("one", "1");
    WriteFile("empty", "");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ResetHost();
        for (const auto& path : c.existing) host_.existing.insert(path);
        host_.discId = c.discId;
        host_.processes = c.processes;
        host_.answers.assign(c.answers.begin(), c.answers.end());
        host_.vgsWindowOpen = c.vgsWindowOpen;
        host_.vgsLocation = c.vgsLocation;
        WriteScript(c.script);

        Run(c.imagePath);

        std::vector<std::string> expected;
        for (const auto& line : c.expectStarted) expected.push_back(Expand(line));
        EXPECT_EQ(StartedNormally(), expected);
        EXPECT_EQ(host_.questions, c.expectQuestions);
        EXPECT_EQ(host_.enterSent, c.expectEnter);
        EXPECT_EQ(host_.idReads, 1);
    }
}

TEST_F(MountScriptTest, AcceptsEveryLineEnd) {
    WriteFile("daemount.ini", "A\nif gameid = X then\rB\r\nelse\n\nC\r\rD\r\nend if\nE");
    host_.discId = "Y";
    Run(kGame1);
    EXPECT_EQ(StartedNormally(), (std::vector<std::string>{"A", "C", "D", "E"}));
}

// Text of Latin-1 letters as an editor saves it: UTF-8 without or with its mark, or UTF-16 with
// its mark, little- or big-endian.
enum class Saved { Utf8, Utf8Mark, Utf16Le, Utf16Be };
std::string SavedAs(Saved saved, const std::u16string& text) {
    const bool wide = saved == Saved::Utf16Le || saved == Saved::Utf16Be;
    std::string bytes = saved == Saved::Utf8Mark ? "\xEF\xBB\xBF" : "";
    for (char16_t c : wide ? u"\xFEFF" + text : text) {
        const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        if (wide)
            bytes += saved == Saved::Utf16Le ? std::string{low, high} : std::string{high, low};
        else if (c < 0x80)
            bytes += low;
        else
            bytes += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
    }
    return bytes;
}

// Scripts and the other files people write, as editors save them: every encoding and line end
// reads as the same lines, and the script starts the same one branch.
TEST_F(MountScriptTest, EveryEncodingAndLineEndReadsTheSame) {
    const std::vector<std::pair<Saved, std::u16string>> cases = {{Saved::Utf8, u"\r\n"},
                                                                 {Saved::Utf8Mark, u"\r\n"},
                                                                 {Saved::Utf8Mark, u"\n"},
                                                                 {Saved::Utf16Le, u"\r\n"},
                                                                 {Saved::Utf16Be, u"\n"}};
    for (const auto& [saved, end] : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "saved as " << static_cast<int>(saved) << ", line end of " << end.size());
        ResetHost();
        host_.discId = "SLUS-00594";
        WriteFile("daemount.ini", SavedAs(saved, u"if gameid = SLUS-00594 then" + end +
                                                     u"C:\\EMU\\Caf\u00e9.exe %image%" + end +
                                                     u"else" + end + u"C:\\OTHER.EXE" + end));
        Run(kGame1);
        EXPECT_EQ(StartedNormally(),
                  std::vector<std::string>{"C:\\EMU\\Caf\xC3\xA9.exe \"D:\\ISO\\GAME1.ISO\""});
        const std::string games = SavedAs(saved, u"SLUS-00594 Caf\u00e9 Racer\tRACE" + end);
        EXPECT_EQ(LookupGameName(temp_.Write("games.txt", games), "SLUS-00594"),
                  "Caf\xC3\xA9 Racer");
    }
}

TEST_F(MountScriptTest, ReadsFolderAndGameIdOnceBeforeLookingAtTheScript) {
    WriteScript({"if gameid = SLUS-00594 then", "A", "end if", "if gameid = SLUS-00594 then", "B"});
    host_.discId = "SLUS-00594";
    Run(kGame1);
    ASSERT_GE(host_.events.size(), 3u);
    EXPECT_EQ(host_.events[0], "folder");
    EXPECT_EQ(host_.events[1], "id");
    EXPECT_EQ(host_.events[2], "exists " + Dir() + "/daemount.ini");
    EXPECT_EQ(host_.idReads, 1);
    EXPECT_EQ(StartedNormally(), (std::vector<std::string>{"A", "B"}));

    // No script at all: the ID is read all the same, and nothing starts.
    fs::remove(temp_.Path("daemount.ini"));
    ResetHost();
    Run(kGame1);
    EXPECT_EQ(host_.idReads, 1);
    EXPECT_TRUE(host_.started.empty());

    // An empty script counts as none.
    WriteFile("daemount.ini", "");
    Run(kGame1);
    EXPECT_TRUE(host_.started.empty());
}

TEST_F(MountScriptTest, EmulatorWithAValidPathSkipsTheScript) {
    const std::string emulator = Dir() + "/epsxe";
    WriteFile("epsxe", "ELF");
    fs::permissions(emulator, fs::perms::owner_exec, fs::perm_options::add);
    WriteFile("empty-emulator", "");
    WriteScript({"SCRIPT"});

    struct EmulatorCase {
        int index;
        std::array<std::string, 4> paths;
        bool emulatorStarts;
    };
    const std::string empty = Dir() + "/empty-emulator";
    const std::vector<EmulatorCase> cases = {
        {4, {"", "", "", emulator}, true},
        {1, {emulator, "", "", ""}, true},
        {2, {emulator, "", "", ""}, false},  // entry 2 uses the second path, which is empty
        {3, {"", "", empty, ""}, false},     // a 0-byte file is no emulator
        {3, {"", "", Dir() + "/missing", ""}, false},
        {0, {emulator, emulator, emulator, emulator}, false},  // Real PSX
        {-1, {emulator, emulator, emulator, emulator}, false},
        {5, {emulator, emulator, emulator, emulator}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("index " + std::to_string(c.index));
        ResetHost();
        Run(kGame1, c.index, c.paths);
        if (c.emulatorStarts) {
            EXPECT_EQ(host_.started, (std::vector<Started>{{emulator, ShowState::Minimized}}));
            EXPECT_EQ(host_.idReads, 0);
            EXPECT_EQ(std::count(host_.events.begin(), host_.events.end(), "folder"), 0);
        } else {
            EXPECT_EQ(host_.started, (std::vector<Started>{{"SCRIPT", ShowState::Normal}}));
            EXPECT_EQ(host_.idReads, 1);
        }
    }
}

TEST_F(MountScriptTest, PlaceholdersBringTheImageAndTheGameIdIntoCommandLines) {
    using Words = std::vector<std::string>;
    const std::string odd = "/games/it's \"odd\" %gameid% $(rm x); `id` a\\\" b\\.iso";
    struct Case {
        std::vector<std::string> script;
        std::string discId;
        std::string imagePath = "/games/Race Day.iso";
        Words words;  // of the one line started
    };
    const std::vector<Case> cases = {
        {{"emu %image%"}, "SLUS-00594", "/games/Race Day.iso", {"emu", "/games/Race Day.iso"}},
        {{"emu -x %IMAGE% --id=%GameId% %gameid%"},
         "SLUS-00594",
         "/g.iso",
         {"emu", "-x", "/g.iso", "--id=SLUS-00594", "SLUS-00594"}},
        {{"emu %image%"}, "", odd, {"emu", odd}},  // what is put in is not replaced again
        {{"emu %gameid% next"}, "", "/g.iso", {"emu", "", "next"}},
        {{"emu %images% %gameid %image %%image%% 100%"},
         "SLUS-00594",
         "/g.iso",
         {"emu", "%images%", "%gameid", "%image", "%/g.iso%", "100%"}},
        {{"C:\\EPSXE\\EPSXE.EXE %Image%"},
         "",
         "C:\\ISO\\A B.ISO",
         {"C:\\EPSXE\\EPSXE.EXE", "C:\\ISO\\A B.ISO"}},
        // Only command lines: a condition compares its text as it stands.
        {{"if exists \"{dir}/%gameid%\" then", "emu %gameid%"},
         "SLUS-00594",
         "/g.iso",
         {"emu", "SLUS-00594"}},
    };
    WriteFile("%gameid%", "1");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script.back());
        ResetHost();
        host_.discId = c.discId;
        WriteScript(c.script);
        Run(c.imagePath);
        std::vector<std::string> started = StartedNormally();
        ASSERT_EQ(started.size(), 1u);
        EXPECT_EQ(SplitCommandLine(started[0]), c.words) << started[0];
    }
}

#ifndef _WIN32
// The whole road on the real system: the emulator and the script's line start without a
// shell, and the program receives the image path's very bytes, a Windows-1252 one included.
TEST_F(MountScriptTest, RealStartsHandOverEveryByteOfTheImagePath) {
    vorlisk::testing::ScopedEnvironment environment;
    environment.Set("XDG_CONFIG_HOME", Dir());
    const std::string recorder =
        temp_.Write("emu dir/record args",
                    "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; "
                    "done > \"$0.part\" && mv \"$0.part\" \"$0.out\"\n");
    fs::permissions(recorder, fs::perms::owner_all);
    const std::string image = temp_.Write("it's \"odd\" $(touch trap); `touch trap` \xE9.iso", "d");
    struct Case {
        int emulator;
        std::string script;
        std::string arguments;
    };
    const std::vector<Case> cases = {
        {4, "", "[" + image + "]\n"},
        // Unquoted, the recorder's path with a blank is found on the disk.
        {0, recorder + " %image% %gameid%", "[" + image + "]\n[SLUS-00594]\n"},
    };
    PlatformServices services;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.emulator);
        WriteFile("daemount.ini", c.script);
        ServicesMountScriptHost host(services, [] { return std::string("SLUS-00594"); }, {}, {});
        RunMountScript(image, c.emulator, {"", "", "", recorder}, host, true);
        const std::string out = recorder + ".out";
        for (int i = 0; i < 500 && !fs::exists(out); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(vorlisk::testing::ReadWholeFile(out), c.arguments);
        fs::remove(out);
    }
    EXPECT_FALSE(fs::exists(temp_.Path("trap")));
    EXPECT_FALSE(fs::exists("trap"));
}
#endif

TEST_F(MountScriptTest, UnreadableScriptStartsNothing) {
    // The host saw a script a moment ago, but what lies there now cannot be read: a folder.
    // (A file without read permission does not stop root, who may run these tests.)
    temp_.MakeFolder("daemount.ini");
    host_.existing.insert(Dir() + "/daemount.ini");
    const LaunchResult result = RunMountScript(kGame1, 0, {}, host_, true);
    EXPECT_TRUE(host_.started.empty());
    EXPECT_EQ(host_.idReads, 1);
    // ... and is said, with the script's path.
    EXPECT_EQ(result.launch, Launch::UnreadableScript);
    EXPECT_NE(NothingStartedMessage(result, 0, "Paths...").find(Dir() + "/daemount.ini"),
              std::string::npos);

    // A script that vanished after the test behaves the same.
    fs::remove(temp_.Path("daemount.ini"));
    Run(kGame1);
    EXPECT_TRUE(host_.started.empty());

#ifndef _WIN32
    if (::geteuid() != 0) {
        WriteScript({"A"});
        fs::permissions(temp_.Path("daemount.ini"), fs::perms::none);
        Run(kGame1);
        EXPECT_TRUE(host_.started.empty());
    }
#endif
}

TEST_F(MountScriptTest, ServicesHostPassesThrough) {
    // The program's host over the system services: the script decides with the real file
    // test and the services' answers.
    class Services : public SystemServices {
      public:
        std::vector<std::string> started;
        std::string folder;
        std::string ApplicationFolder() override { return {}; }
        std::string ProgramFolder() override { return {}; }
        bool ClaimSingleInstance() override { return true; }
        std::vector<std::string> CdromRoots() override { return {}; }
        std::unique_ptr<StartedProgram> StartCommandLine(const std::string& line,
                                                         ShowState) override {
            started.push_back(line);
            return nullptr;
        }
        ProgramRun RunCommandLine(const std::string&, ShowState, std::chrono::milliseconds,
                                  const std::function<bool()>&) override {
            return {};
        }
        bool ActivateWindowAndSendEnter(const std::string&) override { return false; }
        bool IsRunning(const std::string& name) override { return name == "busy"; }
        std::string WindowsDirectory() override { return folder; }
        std::string ShortPathName(const std::string& path) override { return path; }
        std::string GetKeyValue(unsigned long, const std::string&, const std::string&) override {
            return "/opt/vgs/vgs.exe";
        }
        bool SetKeyValue(unsigned long, const std::string&, unsigned long, const std::string&,
                         std::string&) override {
            return false;
        }
    } services;
    services.folder = temp_.Folder();
    WriteFile("one", "1");
    WriteScript({"if gameid = SLUS-00594 then", "A", "end if", "if msgbox(\"Q\") then", "B",
                 "end if", "if exists \"{dir}/one\" then", "C", "end if", "busy", "D:\\VGS.EXE",
                 "if image = \"/img.iso\" then", "E"});
    std::vector<std::string> asked;
    ServicesMountScriptHost host(
        services, [] { return std::string("SLUS-00594"); },
        [&asked](const std::string& q) {
            asked.push_back(q);
            return false;
        },
        {});
    RunMountScript("/img.iso", 0, {}, host, true);
    EXPECT_EQ(services.started, (std::vector<std::string>{"A", "C", "/opt/vgs/vgs.exe", "E"}));
    EXPECT_EQ(asked, std::vector<std::string>{"Q"});
}

}  // namespace
}  // namespace vorlisk
