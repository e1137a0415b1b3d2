// The Windows services against the real system calls, run under Windows or Wine.
// tools/run-under-wine.sh prepares what some of them need: two folders mapped as CD-ROM
// drives (their letters in VORLISK_TEST_CDROM_LETTERS) and a window system that works
// without a display.

#ifdef _WIN32

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "import/discid.h"
#include "import/folderimport.h"
#include "import/imagegameid.h"
#include "inventory/gamelists.h"
#include "inventory/inventoryfile.h"
#include "launch/mountscript.h"
#include "launch/playcommand.h"
#include "system/files.h"
#include "system/folders.h"
#include "system/readonlyfile.h"
#include "system/registry.h"
#include "system/services.h"
#include "system/widetext.h"
#include "tests/core/tempfolder.h"

namespace vorlisk {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using vorlisk::testing::ReadWholeFile;
using vorlisk::testing::TempFolder;
using vorlisk::testing::WriteWholeFile;

std::string RandomTag() {
    std::random_device random;
    return std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(random());
}

// The full path of this test program.
std::string ThisProgram() {
    char buffer[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return std::string(buffer, length);
}

std::string FileNameOf(const std::string& path) {
    return path.substr(path.find_last_of("\\/") + 1);
}

// ---- CD-ROM drives and the disc's game ID ----

void EmptyDrive(const std::string& root) {
    // The root of an empty drive has no entries at all, not even "." and "..", and its
    // listing fails: that is an empty drive too.
    std::error_code empty;
    for (const auto& entry : fs::directory_iterator(root, empty)) fs::remove_all(entry.path());
}

TEST(WindowsCdrom, GameIdComesFromTheHighestCdromDriveWithABootFile) {
    const char* letters = std::getenv("VORLISK_TEST_CDROM_LETTERS");
    if (!letters || std::string(letters).size() != 2)
        GTEST_SKIP() << "no CD-ROM drives prepared; tools/run-under-wine.sh maps two folders as "
                        "CD-ROM drives and names their letters in VORLISK_TEST_CDROM_LETTERS";
    const std::string lower = std::string(1, letters[0]) + ":\\";
    const std::string higher = std::string(1, letters[1]) + ":\\";
    ASSERT_LT(lower, higher) << "the letters are given in ascending order";

    PlatformServices services;
    const std::vector<std::string> roots = services.CdromRoots();
    auto at = [&roots](const std::string& root) {
        return std::find(roots.begin(), roots.end(), root) - roots.begin();
    };
    ASSERT_LT(at(higher), static_cast<std::ptrdiff_t>(roots.size())) << higher << " is no CD-ROM";
    ASSERT_LT(at(lower), static_cast<std::ptrdiff_t>(roots.size())) << lower << " is no CD-ROM";
    EXPECT_LT(at(higher), at(lower)) << "drives are searched from Z: down";
    // The system drive and Wine's drive of the Linux root are fixed disks.
    EXPECT_EQ(at("C:\\"), static_cast<std::ptrdiff_t>(roots.size()));
    EXPECT_EQ(at("Z:\\"), static_cast<std::ptrdiff_t>(roots.size()));

    struct DiscFile {
        std::string name;  // empty: no file
        std::string content;
    };
    struct Case {
        std::string what;
        DiscFile lowerDisc;
        DiscFile higherDisc;
        std::string id;
    };
    const std::string slus = "BOOT = cdrom:\\SLUS_005.94;1\r\nTCB = 4\r\nVMODE = NTSC\r\n";
    const std::string sces = "BOOT = cdrom:\\SCES_123.45;1\r\n";
    const std::vector<Case> cases = {
        {"a disc in the lower drive only", {"SYSTEM.CNF", slus}, {}, "SLUS-00594"},
        {"the later letter wins", {"SYSTEM.CNF", slus}, {"SYSTEM.CNF", sces}, "SCES-12345"},
        {"a data disc without a boot file is skipped",
         {"SYSTEM.CNF", slus},
         {"README.TXT", sces},
         "SLUS-00594"},
        {"an empty boot file is skipped", {"SYSTEM.CNF", slus}, {"SYSTEM.CNF", ""}, "SLUS-00594"},
        {"a boot file without the boot line first ends the search",
         {"SYSTEM.CNF", slus},
         {"SYSTEM.CNF", "VMODE = NTSC\r\n" + sces},
         ""},
        {"a lower-case name and boot line",
         {},
         {"system.cnf", "boot=cdrom:slps_012.34;1"},
         "SLPS-01234"},
        {"no disc at all", {}, {}, ""},
    };
    for (const Case& c : cases) {
        EmptyDrive(lower);
        EmptyDrive(higher);
        if (!c.lowerDisc.name.empty())
            WriteWholeFile(lower + c.lowerDisc.name, c.lowerDisc.content);
        if (!c.higherDisc.name.empty())
            WriteWholeFile(higher + c.higherDisc.name, c.higherDisc.content);
        EXPECT_EQ(GetDiscGameId(services.CdromRoots()), c.id) << c.what;
    }
    EmptyDrive(lower);
    EmptyDrive(higher);
}

// ---- registry ----

class WindowsRegistry : public ::testing::Test {
  protected:
    void SetUp() override {
        keyName_ = "Software\\VorliskTest\\" + RandomTag();
        RemoveKey();
    }
    void TearDown() override {
        RemoveKey();
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VorliskTest");  // only when empty
    }
    void RemoveKey() { ::RegDeleteTreeA(HKEY_CURRENT_USER, keyName_.c_str()); }

    bool KeyExists() {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyName_.c_str(), 0, KEY_READ, &key) != 0)
            return false;
        ::RegCloseKey(key);
        return true;
    }
    // Writes a value straight through advapi32, data and size as given.
    void WriteRaw(const std::string& name, DWORD type, const std::string& data) {
        HKEY key;
        ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, keyName_.c_str(), &key), ERROR_SUCCESS);
        ASSERT_EQ(
            ::RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
        ::RegCloseKey(key);
    }
    struct Stored {
        bool found = false;
        DWORD type = 0;
        std::string data;  // as many bytes as the value's size says
    };
    Stored ReadRaw(const std::string& name) {
        Stored stored;
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, keyName_.c_str(), 0, KEY_READ, &key) != 0)
            return stored;
        char buffer[1024];
        DWORD size = sizeof buffer;
        if (::RegQueryValueExA(key, name.c_str(), nullptr, &stored.type,
                               reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS) {
            stored.found = true;
            stored.data.assign(buffer, size);
        }
        ::RegCloseKey(key);
        return stored;
    }

    std::string keyName_;
};

std::string Bytes(std::initializer_list<int> bytes) {
    std::string data;
    for (int b : bytes) data.push_back(static_cast<char>(b));
    return data;
}

TEST_F(WindowsRegistry, ReadsTheValueAsTextWithinTheBuffer) {
    struct Case {
        std::string name;
        DWORD type;
        std::string data;  // written with exactly this size; empty name: nothing written
        std::string read;
    };
    const std::string nul(1, '\0');
    const std::vector<Case> cases = {
        {"Location", REG_SZ, "C:\\VGS\\VGS.EXE" + nul, "C:\\VGS\\VGS.EXE"},
        {"Empty", REG_SZ, nul, ""},
        {"Longest", REG_SZ, std::string(254, 'a') + nul, std::string(254, 'a')},
        {"TooLong", REG_SZ, std::string(255, 'b') + nul, ""},
        {"Far too long", REG_SZ, std::string(600, 'c') + nul, ""},
        {"Number", REG_DWORD, Bytes({'A', 'B', 'C', 'D'}), "ABC"},
        {"Small number", REG_DWORD, Bytes({7, 0, 0, 0}), Bytes({7, 0, 0})},
        {"Not expanded", REG_EXPAND_SZ, "%windir%\\x" + nul, "%windir%\\x"},
        {"Bytes without a NUL", REG_BINARY, "xyz", "xy"},
        {"One byte", REG_BINARY, "x", ""},
    };
    for (const Case& c : cases) WriteRaw(c.name, c.type, c.data);
    for (const Case& c : cases)
        EXPECT_EQ(GetKeyValue(kHkeyCurrentUser, keyName_, c.name), c.read) << c.name;

    PlatformServices services;
    EXPECT_EQ(services.GetKeyValue(kHkeyCurrentUser, keyName_, "Location"), "C:\\VGS\\VGS.EXE");
    EXPECT_EQ(GetKeyValue(kHkeyCurrentUser, keyName_, "Missing"), "");
    EXPECT_EQ(GetKeyValue(kHkeyCurrentUser, keyName_ + "\\Missing", "Location"), "");
    // The look-up of the launcher on a system without Connectix Virtual Game Station.
    EXPECT_EQ(GetKeyValue(kVgsLocationRoot, kVgsLocationKey, kVgsLocationValue), "");
}

TEST_F(WindowsRegistry, SetKeyValueWritesTextOnlyAndCreatesTheKey) {
    struct Case {
        std::string what;
        bool keyBefore;
        unsigned long type;
        std::string name;
        std::string value;
        bool result;
        std::string valueAfter;  // what the caller's text holds afterwards
        bool written;            // a REG_SZ value holding the text is stored
    };
    const std::vector<Case> cases = {
        {"text into a new key", false, kRegSz, "Location", "C:\\VGS\\VGS.EXE", true,
         "C:\\VGS\\VGS.EXE", true},
        {"text into an existing key", true, kRegSz, "Location", "D:\\Other place\\vgs.exe", true,
         "D:\\Other place\\vgs.exe", true},
        {"the empty text", true, kRegSz, "Empty", "", true, "", true},
        {"another type on an existing key opens it only", true, REG_DWORD, "Number", "12", true,
         "12", false},
        {"another type on a missing key creates it but fails", false, REG_DWORD, "Number", "12",
         false, "", false},
    };
    for (const Case& c : cases) {
        RemoveKey();
        if (c.keyBefore) WriteRaw("Other", REG_SZ, std::string("kept") + '\0');
        std::string value = c.value;
        EXPECT_EQ(SetKeyValue(kHkeyCurrentUser, keyName_, c.type, c.name, value), c.result)
            << c.what;
        EXPECT_EQ(value, c.valueAfter) << c.what;
        EXPECT_TRUE(KeyExists()) << c.what;
        Stored stored = ReadRaw(c.name);
        EXPECT_EQ(stored.found, c.written) << c.what;
        if (c.written) {
            // The size given counts the text alone, but the NUL follows it in the data and
            // the system counts it in; the empty text is stored as no bytes at all.
            EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ)) << c.what;
            EXPECT_EQ(stored.data, c.value.empty() ? "" : c.value + '\0') << c.what;
            EXPECT_EQ(GetKeyValue(kHkeyCurrentUser, keyName_, c.name), c.value) << c.what;
        }
        if (c.keyBefore) EXPECT_EQ(ReadRaw("Other").data, std::string("kept") + '\0') << c.what;
    }

    // A root that is no key at all: nothing can be opened or created.
    std::string value = "text";
    EXPECT_FALSE(SetKeyValue(0x12345678UL, keyName_, kRegSz, "Location", value));
    EXPECT_EQ(value, "");
}

// ---- processes, folders and the program itself ----

TEST(WindowsProcesses, IsRunningFindsThisTestProgram) {
    const std::string self = FileNameOf(ThisProgram());  // core_tests.exe
    ASSERT_GT(self.size(), 4u);
    const std::string stem = self.substr(0, self.size() - 4);
    std::string upper = self;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string mixed = stem;
    mixed[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(mixed[0])));

    struct Case {
        std::string name;
        bool running;
    };
    const std::vector<Case> cases = {
        {self, true},
        {stem, true},  // ".exe" is appended to a name without a dot
        {upper, true},
        {mixed, true},
        {self.substr(1), true},  // an ends-with test
        {"", true},              // ".exe": any program runs
        {stem + ".ex", false},   // a name with a dot is used as it is
        {self + ".bin", false},
        {stem + "x", false},
        {"no-such-program-" + RandomTag(), false},
    };
    PlatformServices services;
    for (const Case& c : cases) EXPECT_EQ(services.IsRunning(c.name), c.running) << c.name;
}

TEST(WindowsFolders, ShortPathNameAndWindowsDirectory) {
    TempFolder temp("Vorlisk long folder name with blanks");
    const std::string folder = temp.Path();
    const std::string image = temp.Path("A long image name.iso");
    WriteWholeFile(image, "disc");
    PlatformServices services;

    struct Case {
        std::string path;
        bool shortened;  // the answer names the same thing in a different, short form
    };
    const std::vector<Case> cases = {{folder, true}, {image, true}};
    for (const Case& c : cases) {
        const std::string shortPath = services.ShortPathName(c.path);
        EXPECT_NE(shortPath, c.path);
        EXPECT_TRUE(PathExists(shortPath)) << shortPath;
        EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
        const std::string last = FileNameOf(shortPath);
        EXPECT_LE(last.size(), 12u) << shortPath;
        EXPECT_NE(last.find('~'), std::string::npos) << shortPath;
        // A short path is its own short form.
        EXPECT_EQ(services.ShortPathName(shortPath), shortPath);
    }
    EXPECT_TRUE(FileExists(services.ShortPathName(image)));
    EXPECT_EQ(services.ShortPathName(temp.Path("missing.iso")), "");
    EXPECT_EQ(services.ShortPathName(""), "");

    const std::string windows = services.WindowsDirectory();
    ASSERT_GE(windows.size(), 2u);
    EXPECT_EQ(windows.back(), '\\');
    EXPECT_NE(windows[windows.size() - 2], '\\') << windows;
    EXPECT_TRUE(PathExists(windows)) << windows;
}

TEST(WindowsProgram, ApplicationFolderAndOneCopyAtATime) {
    PlatformServices services;
    const std::string program = services.ProgramFolder();
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(program.back(), '\\');
    EXPECT_TRUE(FileExists(program + FileNameOf(ThisProgram()))) << program;

    EXPECT_TRUE(services.ClaimSingleInstance());
    EXPECT_FALSE(services.ClaimSingleInstance()) << "the first claim holds for the process";
    EXPECT_TRUE(PathExists(services.ApplicationFolder() + kInstanceLockName))
        << "the data folder holds its lock";
}

// A portable copy keeps its files beside itself; an installed one in %APPDATA%\Vorlisk\.
TEST(WindowsFolders, DataFolderIsTheProgramsOnlyWhenPortable) {
    TempFolder temp("vorlisk-data");
    const std::string roaming = temp.Path("roaming");
    fs::create_directory(roaming);
    wchar_t saved[32768];
    const DWORD savedLength = ::GetEnvironmentVariableW(L"APPDATA", saved, 32768);
    ::SetEnvironmentVariableW(L"APPDATA", WideText(roaming).c_str());
    struct Case {
        const char* marker;  // a file beside the program, or none
        bool portable;
    };
    int run = 0;
    for (const Case& c :
         {Case{"portable.txt", true}, Case{"gameinv.txt", true}, Case{nullptr, false}}) {
        const std::string program = temp.Path("program" + std::to_string(run++)) + "\\";
        fs::create_directory(program);
        if (c.marker) WriteWholeFile(program + c.marker, "");
        const std::string expected = c.portable ? program : roaming + "\\Vorlisk\\";
        EXPECT_EQ(DataFolder(program), expected) << (c.marker ? c.marker : "installed");
        EXPECT_TRUE(fs::is_directory(expected)) << "made on the first start";
    }
    ::SetEnvironmentVariableW(L"APPDATA", savedLength ? saved : nullptr);
}

// File names outside the ANSI code page are found through their UTF-8 bytes, and a name in
// the code page through its Windows-1252 bytes too, as catalogues written on Windows hold them.
TEST(WindowsFiles, NamesOfAnyScriptAreFound) {
    TempFolder temp("vorlisk-names");
    const std::string folder = temp.Path() + "\\";
    const std::string greek =
        "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 \xE3\x82\xB2\xE3\x83\xBC.iso";
    const std::string cafe = "Caf\xC3\xA9.iso";
    for (const std::string& name : {greek, cafe}) {
        HANDLE file = ::CreateFileW(WideText(folder + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, "image", 5, &written, nullptr);
        ::CloseHandle(file);
    }
    std::vector<std::string> listed = ListPlainFiles(folder);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (std::vector<std::string>{cafe, greek}));
    for (const std::string& path : {folder + greek, folder + cafe, folder + "Caf\xE9.iso"}) {
        EXPECT_TRUE(FileExists(path)) << path;
        EXPECT_EQ(ReadOnlyFile(path).Read(0, 16), "image") << path;
    }
    ASSERT_TRUE(WriteFileSafely(folder + greek, "saved").ok);
    EXPECT_EQ(ReadOnlyFile(folder + greek).Read(0, 16), "saved");
}

// CHD files that chdman compressed on this machine, with its default codecs and with FLAC,
// give their IDs through the decoders built for Windows, by names beyond the ANSI code page.
// ctest makes them first (tests/core/make-wine-chd.sh) in the folder this variable names.
TEST(WindowsFiles, ChdFilesThatChdmanCompressedGiveTheirIds) {
    const char* folder = std::getenv("VORLISK_TEST_CHD_FOLDER");
    if (!folder) GTEST_SKIP() << "VORLISK_TEST_CHD_FOLDER is not set (ctest sets it)";
    const std::vector<std::string> files = ListPlainFiles(folder);
    EXPECT_GE(files.size(), 2u);
    for (const std::string& name : files)
        EXPECT_EQ(ImageGameId(folder + name), "SLUS-00594") << name;
}

// A save cut short leaves its temporary file, which the next start or save takes away; a
// file of the user's with a name like it stays.
TEST(WindowsFiles, LeftoversOfSavesGoButNothingOfTheUsers) {
    TempFolder folder;
    const std::string path = folder.Write("gameinv.txt", "Game\tID\r\n");
    folder.Write("gameinv.txt.vorlisk-new", "cut short");
    folder.Write("gameinv.txt.new", "the user's");
    InventoryFile inventory(path);
    EXPECT_EQ(inventory.LoadInventory("").status, InventoryFile::LoadStatus::Loaded);
    EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"gameinv.txt", "gameinv.txt.new"}));
}

TEST(WindowsFolderListing, LeavesOutHiddenAndSystemFilesAndFolders) {
    TempFolder temp("vorlisk-listing");
    struct Case {
        std::string name;
        DWORD attributes;
        bool listed;
    };
    const std::vector<Case> cases = {
        {"plain.iso", FILE_ATTRIBUTE_NORMAL, true},
        {"readonly.cue", FILE_ATTRIBUTE_READONLY, true},
        {"archived.bwt", FILE_ATTRIBUTE_ARCHIVE, true},
        {"hidden.iso", FILE_ATTRIBUTE_HIDDEN, false},
        {"system.iso", FILE_ATTRIBUTE_SYSTEM, false},
        {"both.ccd", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false},
    };
    for (const Case& c : cases) {
        WriteWholeFile(temp.Path(c.name), "image");
        ASSERT_TRUE(::SetFileAttributesA(temp.Path(c.name).c_str(), c.attributes)) << c.name;
    }
    fs::create_directory(temp.Path("folder.iso"));
    std::vector<std::string> listed = ListPlainFiles(temp.Path() + "\\");
    for (const Case& c : cases)
        EXPECT_EQ(std::count(listed.begin(), listed.end(), c.name), c.listed ? 1 : 0) << c.name;
    EXPECT_EQ(std::count(listed.begin(), listed.end(), "folder.iso"), 0);
    for (const Case& c : cases)
        ::SetFileAttributesA(temp.Path(c.name).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The list in the user's language without regard to case, whatever the encoding of a name.
TEST(WindowsGameList, OrdersNamesInTheUsersLanguage) {
    GameLists lists;
    for (const char* name : {"Zelda", "\xC9lite", "caf\xC3\xA9", "CAFE", "apple"})
        lists.AddGame(name, "");
    std::vector<std::string> names;
    for (int i = 0; i < lists.Count(); ++i) names.push_back(lists.Name(i));
    EXPECT_EQ(names,
              (std::vector<std::string>{"apple", "CAFE", "caf\xC3\xA9", "\xC9lite", "Zelda"}));
}

// ---- the DAEMON Tools mount of the Play button ----

TEST(WindowsPlayCommand, DaemonToolsIsLookedForOnTheProgramsDrive) {
    const std::string appPath = "D:\\Games\\Vorlisk\\";
    const std::string image = "C:\\ISO\\Race Day.cue";
    const std::string programFiles = "D:\\progra~1\\d-tools\\daemon";
    const std::string archive = "D:\\archiv~1\\d-tools\\daemon";
    struct Case {
        std::set<std::string> existing;
        std::string command;
    };
    const std::vector<Case> cases = {
        {{}, ""},
        {{"daemon.exe", programFiles + ".exe", archive + ".exe"},
         "daemon -mount 0,\"" + image + "\""},
        {{programFiles + ".exe", archive + ".exe"}, programFiles + " -mount 0,\"" + image + "\""},
        {{archive + ".exe"}, archive + " -mount 0,\"" + image + "\""},
        // Only the program's own drive is searched, never C:.
        {{"C:\\progra~1\\d-tools\\daemon.exe"}, ""},
        {{programFiles}, ""},  // the file tested carries ".exe"
    };
    for (const Case& c : cases) {
        std::vector<std::string> tested;
        auto exists = [&](const std::string& path) {
            tested.push_back(path);
            return c.existing.count(path) > 0;
        };
        EXPECT_EQ(PlayMountCommand(appPath, appPath, image, exists), c.command) << c.command;
        // The candidates are tried in order, up to the first that exists.
        std::vector<std::string> order = {"daemon.exe", programFiles + ".exe", archive + ".exe"};
        // Then the real Program Files folders: the old program, then today's Lite.
        for (const std::string& folder : ProgramFilesFolders())
            order.push_back(folder + "d-tools\\daemon.exe");
        for (const std::string& folder : ProgramFilesFolders())
            order.push_back(folder + "DAEMON Tools Lite\\DTCommandLine.exe");
        ASSERT_LE(tested.size(), order.size());
        EXPECT_TRUE(std::equal(tested.begin(), tested.end(), order.begin())) << c.command;
    }
}

// ---- starting programs ----

constexpr const char* kMarkerVariable = "VORLISK_TEST_MARKER";
constexpr const char* kReleaseVariable = "VORLISK_TEST_RELEASE";

bool WaitForFile(const std::string& path, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!FileExists(path)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// Not part of the suite: StartCommandLine starts this program again to run only this test.
// It waits until the file named by VORLISK_TEST_RELEASE appears, then writes the window state
// it was started with and its command line to the file named by VORLISK_TEST_MARKER.
TEST(WindowsStartHelper, DISABLED_RecordsHowItWasStarted) {
    const char* marker = std::getenv(kMarkerVariable);
    const char* release = std::getenv(kReleaseVariable);
    if (!marker || !release) GTEST_SKIP() << "started by hand, not by the start test";
    ASSERT_TRUE(WaitForFile(release, 30s));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoA(&startup);
    std::ostringstream report;
    report << ((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1) << "\n"
           << ::GetCommandLineA();
    // Written beside the marker and then renamed, so the test never reads half a report.
    const std::string temp = std::string(marker) + ".part";
    WriteWholeFile(temp, report.str());
    ASSERT_TRUE(::MoveFileExA(temp.c_str(), marker, MOVEFILE_REPLACE_EXISTING));
}

TEST(WindowsProcesses, StartCommandLineStartsWithTheWindowStateAndDoesNotWait) {
    TempFolder temp("vorlisk-start");
    const std::string program = ThisProgram();
    struct Case {
        ShowState state;
        int showWindow;
    };
    const std::vector<Case> cases = {{ShowState::Minimized, SW_SHOWMINIMIZED},
                                     {ShowState::Normal, SW_SHOWNORMAL}};
    PlatformServices services;
    int n = 0;
    for (const Case& c : cases) {
        const std::string marker = temp.Path("marker" + std::to_string(n));
        const std::string release = temp.Path("release" + std::to_string(n++));
        ::SetEnvironmentVariableA(kMarkerVariable, marker.c_str());
        ::SetEnvironmentVariableA(kReleaseVariable, release.c_str());
        const std::string commandLine =
            "\"" + program +
            "\" --gtest_filter=WindowsStartHelper.DISABLED_RecordsHowItWasStarted"
            " --gtest_also_run_disabled_tests --gtest_brief=1 trailing-argument";
        services.StartCommandLine(commandLine, c.state);
        // The helper waits for the release file: had the start waited for the program, it
        // would have returned only after the helper gave up and wrote its report.
        EXPECT_FALSE(FileExists(marker)) << "the start waited for the program";
        WriteWholeFile(release, "go");
        ASSERT_TRUE(WaitForFile(marker, 60s)) << "the program did not start";
        std::string report = ReadWholeFile(marker);
        EXPECT_EQ(report, std::to_string(c.showWindow) + "\n" + commandLine);
    }
    ::SetEnvironmentVariableA(kMarkerVariable, nullptr);
    ::SetEnvironmentVariableA(kReleaseVariable, nullptr);

    // Starts that fail are ignored.
    services.StartCommandLine("", ShowState::Normal);
    services.StartCommandLine(temp.Path("missing program.exe") + " argument", ShowState::Normal);
}

TEST(WindowsProcesses, RunCommandLineWaitsForTheEndWithinTheLimit) {
    TempFolder temp("vorlisk-run");
    const std::string marker = temp.Path("marker");
    const std::string release = temp.Path("release");
    ::SetEnvironmentVariableA(kMarkerVariable, marker.c_str());
    ::SetEnvironmentVariableA(kReleaseVariable, release.c_str());
    const std::string helper =
        "\"" + ThisProgram() +
        "\" --gtest_filter=WindowsStartHelper.DISABLED_RecordsHowItWasStarted"
        " --gtest_also_run_disabled_tests --gtest_brief=1";
    PlatformServices services;

    // Released, the helper ends within the limit, which the run waits for, with its exit code.
    WriteWholeFile(release, "go");
    ProgramRun run = services.RunCommandLine(helper, ShowState::Minimized, 60s, {});
    ASSERT_TRUE(run.started);
    EXPECT_TRUE(run.finished);
    EXPECT_FALSE(run.stillRunning);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(ReadWholeFile(marker), std::to_string(SW_SHOWMINIMIZED) + "\n" + helper);

    // Not released, it outlives the limit: the wait ends and the helper runs on.
    fs::remove(release);
    fs::remove(marker);
    run = services.RunCommandLine(helper, ShowState::Minimized, 300ms, {});
    EXPECT_TRUE(run.started);
    EXPECT_FALSE(run.finished);
    EXPECT_TRUE(run.stillRunning);
    WriteWholeFile(release, "go");
    EXPECT_TRUE(WaitForFile(marker, 60s)) << "the helper did not run on";

    // Told to stop waiting long before the limit, the wait ends and the helper runs on too.
    fs::remove(release);
    fs::remove(marker);
    int asked = 0;
    run = services.RunCommandLine(helper, ShowState::Minimized, 600s, [&] { return ++asked == 3; });
    EXPECT_TRUE(run.stillRunning);
    EXPECT_EQ(asked, 3);
    WriteWholeFile(release, "go");
    EXPECT_TRUE(WaitForFile(marker, 60s)) << "the helper did not run on";
    ::SetEnvironmentVariableA(kMarkerVariable, nullptr);
    ::SetEnvironmentVariableA(kReleaseVariable, nullptr);

    run = services.RunCommandLine("cmd /c exit 3", ShowState::Minimized, 60s, {});
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_FALSE(
        services.RunCommandLine(temp.Path("missing.exe"), ShowState::Normal, 1s, {}).started);
}

// ---- activating a window ----

struct TestWindow {
    HWND handle = nullptr;
    int enterKeys = 0;
};

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TestWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == WM_KEYDOWN && wParam == VK_RETURN) ++self->enterKeys;
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void PumpMessagesFor(std::chrono::milliseconds time, const std::vector<TestWindow*>& windows,
                     int expectedKeys) {
    const auto deadline = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < deadline) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        int keys = 0;
        for (const TestWindow* w : windows) keys += w->enterKeys;
        if (keys >= expectedKeys && expectedKeys > 0) return;
        std::this_thread::sleep_for(10ms);
    }
}

TEST(WindowsWindows, ActivatesTheWindowByTitleAndSendsItEnter) {
    const std::string title = "Vorlisk test window " + RandomTag();
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VorliskTestWindow";
    ::RegisterClassA(&windowClass);

    // The window whose title only begins with the text is made first, so that it is not
    // simply the newest one.
    TestWindow longer, equal;
    auto create = [&](TestWindow& window, const std::string& text) {
        window.handle = ::CreateWindowExA(0, windowClass.lpszClassName, text.c_str(),
                                          WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                          nullptr, windowClass.hInstance, nullptr);
        if (window.handle)
            ::SetWindowLongPtrA(window.handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&window));
    };
    create(longer, title + " - more");
    create(equal, title);
    if (!longer.handle || !equal.handle)
        GTEST_SKIP() << "windows cannot be made here (Wine without a display needs the null "
                        "graphics driver that tools/run-under-wine.sh sets)";
    PumpMessagesFor(200ms, {}, 0);

    struct Case {
        std::string text;
        bool found;
        TestWindow* target;
    };
    std::string lowerCase = title;
    for (char& c : lowerCase) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    const std::vector<Case> cases = {
        {title, true, &equal},             // the equal title wins over the longer one
        {lowerCase, true, &equal},         // case is ignored
        {title + " - mo", true, &longer},  // else a title beginning with the text
        {title + " - none", false, nullptr},
        {"Connectix Virtual Game Station", false, nullptr},
    };
    PlatformServices services;
    for (const Case& c : cases) {
        longer.enterKeys = equal.enterKeys = 0;
        EXPECT_EQ(services.ActivateWindowAndSendEnter(c.text), c.found) << c.text;
        PumpMessagesFor(c.found ? 3000ms : 300ms, {&longer, &equal}, c.found ? 1 : 0);
        EXPECT_EQ(equal.enterKeys, c.target == &equal ? 1 : 0) << c.text;
        EXPECT_EQ(longer.enterKeys, c.target == &longer ? 1 : 0) << c.text;
    }
    ::DestroyWindow(longer.handle);
    ::DestroyWindow(equal.handle);
    ::UnregisterClassA(windowClass.lpszClassName, windowClass.hInstance);
}

}  // namespace
}  // namespace vorlisk

#endif  // _WIN32
