#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "launch/mountscript.h"
#include "system/files.h"
#include "system/processes.h"

namespace vorlisk {
namespace {

namespace fs = std::filesystem;

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
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vorlisk-mountscript-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        host_.folder = dir_.string() + "/";
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(dir_, fs::perms::owner_all, ignored);
        fs::remove_all(dir_, ignored);
    }

    std::string Dir() const { return dir_.string(); }

    // "{dir}" in a text stands for the temp folder.
    std::string Expand(std::string text) const {
        for (size_t at; (at = text.find("{dir}")) != std::string::npos;) text.replace(at, 5, Dir());
        return text;
    }

    void WriteFile(const std::string& name, const std::string& content) const {
        std::ofstream(dir_ / name, std::ios::binary) << content;
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
        RunMountScript(imagePath, emulator, paths, host_);
    }

    fs::path dir_;
    RecordingHost host_;
};

struct ScriptCase {
    const char* name;
    std::vector<std::string> script;
    std::string discId;
    std::vector<std::string> existing;
    std::vector<std::string> processes;
    std::vector<bool> answers;
    bool vgsWindowOpen;
    std::string vgsLocation;
    std::string imagePath;
    std::vector<std::string> expectStarted;
    std::vector<std::string> expectQuestions;
    int expectEnter;
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
const std::string kExplorer = "C:\\WINDOWS\\EXPLORER.EXE";
const std::string kGame1 = "D:\\ISO\\GAME1.ISO";

TEST_F(MountScriptTest, WorkedExamplesAndEdgeCases) {
    const std::vector<ScriptCase> cases = {
        // Example 1: a different emulator for one game.
        {"ex1 the chosen disc",
         kExample1,
         "SLUS-00594",
         {"C:\\VGS\\VGS.EXE"},
         {},
         {},
         false,
         "",
         kGame1,
         {"C:\\EPSXE\\EPSXE.EXE"},
         {},
         0},
        {"ex1 another disc, VGS file present",
         kExample1,
         "SCES-01234",
         {"C:\\VGS\\VGS.EXE"},
         {},
         {},
         false,
         "",
         kGame1,
         {"C:\\VGS\\VGS.EXE"},
         {},
         0},
        {"ex1 no disc, VGS window open",
         kExample1,
         "",
         {"C:\\VGS\\VGS.EXE"},
         {},
         {},
         true,
         "",
         kGame1,
         {},
         {},
         1},
        {"ex1 VGS from the registry",
         kExample1,
         "",
         {},
         {},
         {},
         false,
         "/opt/vgs/vgs.exe",
         kGame1,
         {"/opt/vgs/vgs.exe"},
         {},
         0},
        {"ex1 VGS from the registry, already running",
         kExample1,
         "",
         {},
         {"/opt/vgs/vgs.exe"},
         {},
         false,
         "/opt/vgs/vgs.exe",
         kGame1,
         {},
         {},
         0},
        {"ex1 VGS nowhere, some .exe running",
         kExample1,
         "",
         {},
         {kExplorer},
         {},
         false,
         "",
         kGame1,
         {},
         {},
         0},
        {"ex1 VGS nowhere, no .exe running",
         kExample1,
         "",
         {},
         {"/usr/bin/bash"},
         {},
         false,
         "",
         kGame1,
         {},
         {},
         0},
        {"ex1 the VGS file itself runs",
         kExample1,
         "",
         {"C:\\VGS\\VGS.EXE"},
         {"c:\\vgs\\vgs.exe"},
         {},
         false,
         "",
         kGame1,
         {},
         {},
         0},
        // Example 2: a question.
        {"ex2 yes",
         kExample2,
         "",
         {},
         {},
         {true},
         false,
         "",
         kGame1,
         {"C:\\PSEMU\\PSEMUPRO.EXE"},
         {"Start the PSEmu Pro front end?"},
         0},
        {"ex2 no",
         kExample2,
         "",
         {},
         {},
         {false},
         false,
         "",
         kGame1,
         {},
         {"Start the PSEmu Pro front end?"},
         0},
        // Example 3: elseif is not exclusive.
        {"ex3 both",
         kExample3,
         "",
         {"C:\\GAMES\\A.TXT", "C:\\GAMES\\B.TXT"},
         {},
         {},
         false,
         "",
         kGame1,
         {"C:\\TOOLS\\ONE.EXE", "C:\\TOOLS\\TWO.EXE"},
         {},
         0},
        {"ex3 only B",
         kExample3,
         "",
         {"C:\\GAMES\\B.TXT"},
         {},
         {},
         false,
         "",
         kGame1,
         {"C:\\TOOLS\\TWO.EXE"},
         {},
         0},
        {"ex3 only A",
         kExample3,
         "",
         {"C:\\GAMES\\A.TXT"},
         {},
         {},
         false,
         "",
         kGame1,
         {"C:\\TOOLS\\ONE.EXE"},
         {},
         0},
        {"ex3 neither",
         kExample3,
         "",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"C:\\TOOLS\\THREE.EXE"},
         {},
         0},
        // Example 4: stop ignores branches.
        {"ex4 the disc",
         kExample4,
         "SLUS-00594",
         {"C:\\VGS\\VGS.EXE"},
         {},
         {},
         false,
         "",
         kGame1,
         {},
         {},
         0},
        {"ex4 another disc",
         kExample4,
         "SCUS-94163",
         {"C:\\VGS\\VGS.EXE"},
         {},
         {},
         false,
         "",
         kGame1,
         {},
         {},
         0},
        // Example 5: per image, and a running program.
        {"ex5 image in other case, no daemon",
         kExample5,
         "",
         {kGame1},
         {kExplorer},
         {},
         false,
         "",
         "d:\\iso\\game1.iso",
         {"C:\\BLEEM\\BLEEM.EXE", "C:\\TOOLS\\NOTE.EXE disc not mounted"},
         {},
         0},
        {"ex5 image quoted, daemon running",
         kExample5,
         "",
         {kGame1},
         {"C:\\Program Files\\D-Tools\\DAEMON.EXE"},
         {},
         false,
         "",
         "\"D:\\ISO\\GAME1.ISO\"",
         {"C:\\BLEEM\\BLEEM.EXE"},
         {},
         0},
        {"ex5 long image name, Linux daemon running",
         kExample5,
         "",
         {kGame1},
         {"/usr/bin/daemon"},
         {},
         false,
         "",
         "D:\\ISO\\Long Game Name.iso",
         {},
         {},
         0},
        {"ex5 image missing: no short form",
         kExample5,
         "",
         {},
         {"/usr/bin/daemon"},
         {},
         false,
         "",
         kGame1,
         {},
         {},
         0},

        // Indentation and keyword case.
        {"tab indentation",
         {"\t\tIF EXISTS \"{dir}/missing\" THEN", "\tA", "\t\tElse", "\tB", "\tEnd If"},
         "",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"B"},
         {},
         0},
        {"blank indentation",
         {"   if gameid = slus-00594 then  ", "  A  ", "  else", "B", " ENDIF"},
         "SLUS-00594",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"A"},
         {},
         0},
        {"tab then blank is a command",
         {"\t stop", "\t else", "C"},
         "",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {" stop", " else", "C"},
         {},
         0},
        {"tab at the end stays",
         {"stop\t", "C"},
         "",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"stop\t", "C"},
         {},
         0},
        {"two blanks after if",
         {"if  exists \"C:\\X\" then", "A", "else", "B", "end if"},
         "",
         {"C:\\X"},
         {},
         {},
         false,
         "",
         kGame1,
         {"B"},
         {},
         0},
        {"if without a blank is a command",
         {"if", "elseif", "A"},
         "",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"if", "elseif", "A"},
         {},
         0},
        // gameid forms.
        {"gameid at the end of the line",
         {"if gameid = SLUS-00594", "A", "end if"},
         "SLUS-00594",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {},
         {},
         0},
        {"gameid followed by a blank",
         {"if gameid = SLUS-00594 ", "A", "end if"},
         "SLUS-00594",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {},
         {},
         0},
        {"gameid with then",
         {"if gameid = SLUS-00594 then", "A", "end if"},
         "SLUS-00594",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"A"},
         {},
         0},
        {"empty ID: no disc",
         {"if gameid =  then", "A", "end if"},
         "",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"A"},
         {},
         0},
        {"empty ID: a disc",
         {"if gameid =  then", "A", "end if"},
         "SLUS-00594",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {},
         {},
         0},
        {"gameid without the blanks round =",
         {"if gameid=SLUS-00594 then", "A", "else", "B"},
         "SLUS-00594",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"B"},
         {},
         0},
        // Blocks.
        {"no nesting",
         {"if exists \"{dir}/one\" then", "A", "if exists \"{dir}/missing\" then", "B", "end if",
          "C", "else", "D", "end if", "E"},
         "",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"A", "C", "D", "E"},
         {},
         0},
        {"two blocks in a row",
         {"if gameid = AAAA-00000 then", "A", "end if", "if gameid = SLUS-00594 then", "B", "else",
          "C", "end if"},
         "SLUS-00594",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"B"},
         {},
         0},
        {"else without a condition",
         {"A", "else", "B", "end if", "C"},
         "",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"A", "B", "C"},
         {},
         0},
        {"unrecognised condition",
         {"if raining then", "A", "else", "B", "end if"},
         "",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"B"},
         {},
         0},
        {"stop in an inactive branch",
         {"A", "if exists \"{dir}/missing\" then", "stop", "end if", "B"},
         "",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"A"},
         {},
         0},
        {"stop first", {"STOP", "A"}, "", {}, {}, {}, false, "", kGame1, {}, {}, 0},
        // Quoting of conditions.
        {"exists without its closing quote",
         {"if exists \"{dir}/one", "A", "else", "B"},
         "",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"B"},
         {},
         0},
        {"msgbox without its closing quote asks nothing",
         {"if msgbox(\"Go on?", "A"},
         "",
         {},
         {},
         {true},
         false,
         "",
         kGame1,
         {},
         {},
         0},
        {"text after the closing quote is ignored",
         {"if exists \"{dir}/one\")) then please", "A"},
         "",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"A"},
         {},
         0},
        {"exists is false for a 0-byte file",
         {"if exists \"{dir}/empty\" then", "A", "else", "B"},
         "",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"B"},
         {},
         0},
        {"not running with a dotted name",
         {"if not running \"emulator.bin\" then", "A"},
         "",
         {},
         {"/opt/emulator.bin.exe"},
         {},
         false,
         "",
         kGame1,
         {"A"},
         {},
         0},
        // Command lines.
        {"comments and arguments",
         {"; C:\\X.EXE", " ;indented comment", "C:\\X.EXE ; not a comment"},
         "",
         {},
         {},
         {},
         false,
         "",
         kGame1,
         {"C:\\X.EXE ; not a comment"},
         {},
         0},
        {"a running program is not started again",
         {"/usr/bin/pcsxr", "/usr/bin/pcsxr -nogui", "/usr/bin/other"},
         "",
         {},
         {"/usr/bin/pcsxr"},
         {},
         false,
         "",
         kGame1,
         {"/usr/bin/pcsxr -nogui", "/usr/bin/other"},
         {},
         0},
        {"vgs.exe ending in any case",
         {"C:\\VGS\\Vgs.Exe"},
         "",
         {},
         {},
         {},
         true,
         "",
         kGame1,
         {},
         {},
         1},
        {"every vgs line sends Enter",
         {"C:\\VGS\\VGS.EXE", "D:\\VGS.EXE"},
         "",
         {},
         {},
         {},
         true,
         "",
         kGame1,
         {},
         {},
         2},
        {"vgs.exe with arguments is an ordinary line",
         {"C:\\VGS\\VGS.EXE -x"},
         "",
         {},
         {},
         {},
         true,
         "/opt/vgs.exe",
         kGame1,
         {"C:\\VGS\\VGS.EXE -x"},
         {},
         0},
    };

    WriteFile("one", "1");
    WriteFile("empty", "");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host_ = RecordingHost{};
        host_.folder = Dir() + "/";
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
    fs::remove(dir_ / "daemount.ini");
    host_ = RecordingHost{};
    host_.folder = Dir() + "/";
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
        host_ = RecordingHost{};
        host_.folder = Dir() + "/";
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

TEST_F(MountScriptTest, UnreadableScriptStartsNothing) {
    // The host saw a script a moment ago, but what lies there now cannot be read: a folder.
    // (A file without read permission does not stop root, who may run these tests.)
    fs::create_directories(dir_ / "daemount.ini");
    host_.existing.insert(Dir() + "/daemount.ini");
    Run(kGame1);
    EXPECT_TRUE(host_.started.empty());
    EXPECT_EQ(host_.idReads, 1);

    // A script that vanished after the test behaves the same.
    fs::remove(dir_ / "daemount.ini");
    Run(kGame1);
    EXPECT_TRUE(host_.started.empty());

#ifndef _WIN32
    if (::geteuid() != 0) {
        WriteScript({"A"});
        fs::permissions(dir_ / "daemount.ini", fs::perms::none);
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
        bool ClaimSingleInstance() override { return true; }
        std::vector<std::string> CdromRoots() override { return {}; }
        void StartCommandLine(const std::string& line, ShowState) override {
            started.push_back(line);
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
    services.folder = Dir() + "/";
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
        });
    RunMountScript("/img.iso", 0, {}, host);
    EXPECT_EQ(services.started, (std::vector<std::string>{"A", "C", "/opt/vgs/vgs.exe", "E"}));
    EXPECT_EQ(asked, std::vector<std::string>{"Q"});
}

}  // namespace
}  // namespace vorlisk
