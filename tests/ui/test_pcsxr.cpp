// Play boots a disc of the test's own, as an ISO image and packed for the PSP, in Debian's
// PlayStation emulator, PCSX-Reloaded, started by the launch script line that the README gives,
// on an X display of the test's own. The disc's program writes a mark into the console's memory;
// Escape held in the emulator's window ends it with a saved state, named after the disc, that
// holds that memory.
#ifndef _WIN32

#include <dirent.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QTest>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/ui/formGameInventory.h"
#include "system/processes.h"
#include "tests/core/discimages.h"
#include "tests/core/environment.h"
#include "tests/core/tempfolder.h"
#include "tests/ui/fakes.h"

namespace vorlisk::testing {
namespace {

constexpr const char* kPcsxr = "/usr/games/pcsxr";

// A PS-X EXE loaded at 0x80010000 that writes "VORLISK!" to 0x80020000 and then loops: the
// eight letters stand together in the console's memory only once the program ran.
std::string MarkingExe() {
    auto lui = [](uint32_t rt, uint32_t value) { return 0x3C000000u | rt << 16 | value; };
    auto ori = [](uint32_t rt, uint32_t value) {
        return 0x34000000u | rt << 21 | rt << 16 | value;
    };
    auto sw = [](uint32_t rt, uint32_t base, uint32_t at) {
        return 0xAC000000u | base << 21 | rt << 16 | at;
    };
    constexpr uint32_t t0 = 8, t1 = 9, kLoad = 0x80010000;
    const uint32_t vorl = 0x4C524F56, isk = 0x214B5349;  // "VORL", "ISK!" read little-endian
    std::vector<uint32_t> code = {lui(t0, 0x8002), lui(t1, vorl >> 16), ori(t1, vorl & 0xFFFF),
                                  sw(t1, t0, 0),   lui(t1, isk >> 16),  ori(t1, isk & 0xFFFF),
                                  sw(t1, t0, 4)};
    const uint32_t loop = kLoad + 4 * static_cast<uint32_t>(code.size());
    code.push_back(0x08000000u | (loop >> 2 & 0x03FFFFFF));  // j loop
    code.push_back(0);                                       // nop
    std::string exe(4096, '\0');
    auto put = [&exe](size_t at, uint32_t word) {
        for (int i = 0; i < 4; ++i) exe[at + i] = static_cast<char>(word >> (8 * i));
    };
    exe.replace(0, 8, "PS-X EXE");
    put(0x10, kLoad);       // first instruction
    put(0x18, kLoad);       // where the text goes
    put(0x1C, 2048);        // its size
    put(0x30, 0x801FFFF0);  // stack
    const std::string region = "Sony Computer Entertainment Inc. for North America area";
    exe.replace(0x4C, region.size(), region);
    for (size_t i = 0; i < code.size(); ++i) put(2048 + 4 * i, code[i]);
    return exe;
}

// The disc `iso` packed for the PSP as PCSX-Reloaded reads such a package: after PbpFile's
// PARAM.SFO, DATA.PSAR holds a table of contents at 0x800 (entries of 10 bytes: lead-in, track
// count, lead-out, then the data track), an index of 32-byte entries at 0x4000, and from
// 0x100000 on the raw track in blocks of 16 sectors, each a deflate stream of one stored block.
std::string PbpOfDisc(std::string iso) {
    constexpr size_t kBlock = 16 * 2352;
    iso.resize((iso.size() / 2048 + 15) / 16 * 16 * 2048, '\0');
    const std::string raw = RawTrack(iso, 2);
    std::string pbp = PbpFile("SLUS99942");
    const size_t psar = pbp.size() - 256 - 12, toc = psar + 0x800, data = psar + 0x100000;
    pbp.resize(data, '\0');
    auto bcd = [](size_t n) { return static_cast<char>(n / 10 * 16 + n % 10); };
    auto putTime = [&](size_t at, size_t sector) {
        pbp.replace(at, 3, {bcd(sector / 4500), bcd(sector / 75 % 60), bcd(sector % 75)});
    };
    pbp[toc + 17] = bcd(1);
    putTime(toc + 27, raw.size() / 2352 + 150);
    pbp[toc + 30] = 0x41;
    pbp[toc + 32] = bcd(1);
    putTime(toc + 37, 150);
    for (size_t block = 0; block * kBlock < raw.size(); ++block) {
        PutLittle(pbp, psar + 0x4000 + 32 * block, static_cast<uint32_t>(pbp.size() - data), 4);
        PutLittle(pbp, psar + 0x4000 + 32 * block + 4, kBlock + 5, 4);
        std::string stored(5, '\x01');  // the last block of the stream, as it is
        PutLittle(stored, 1, kBlock, 2);
        PutLittle(stored, 3, ~kBlock & 0xFFFF, 2);
        pbp += stored + raw.substr(block * kBlock, kBlock);
    }
    return pbp;
}

// The folder of PCSX-Reloaded's plugins (/usr/lib/<architecture>/psemu/), or empty.
std::string PluginFolder() {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib", error))
        if (std::filesystem::exists(entry.path() / "psemu/libpeopsxgl.so", error))
            return (entry.path() / "psemu/").string();
    return {};
}

// An X server of the test's own, ended with the test.
class XServer {
  public:
    XServer() {
        int ready[2];
        if (::pipe(ready) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            const std::string fd = std::to_string(ready[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
                     "640x480x24", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(ready[1]);
        std::string number;
        pollfd wait{ready[0], POLLIN, 0};
        char c;
        while (pid_ > 0 && ::poll(&wait, 1, 20000) == 1 && ::read(ready[0], &c, 1) == 1 &&
               c != '\n')
            number.push_back(c);
        ::close(ready[0]);
        if (!number.empty()) display_ = ":" + number;
    }
    ~XServer() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
    }
    const std::string& Display() const { return display_; }

  private:
    pid_t pid_ = -1;
    std::string display_;
};

// Kills every process whose command line names `path`.
void KillProcessesNaming(const std::string& path) {
    DIR* proc = ::opendir("/proc");
    if (!proc) return;
    while (const dirent* entry = ::readdir(proc)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        if (pid <= 0) continue;
        const std::string line = ReadWholeFile(std::string("/proc/") + entry->d_name + "/cmdline");
        if (line.find(path) != std::string::npos) ::kill(pid, SIGKILL);
    }
    ::closedir(proc);
}

// The disc as an ISO image, and packed for the PSP.
class PcsxrTest : public ::testing::TestWithParam<const char*> {};

TEST_P(PcsxrTest, PlayBootsTheDiscInPcsxReloaded) {
    if (::access(kPcsxr, X_OK) != 0) GTEST_SKIP() << kPcsxr << " is not installed";
    for (const char* tool : {"Xvfb", "xdotool"})
        if (FindProgramOnPath(tool).empty()) GTEST_SKIP() << tool << " is not installed";
    const std::string plugins = PluginFolder();
    if (plugins.empty()) GTEST_SKIP() << "the OpenGL video plugin of pcsxr is not installed";
    TempFolder temp;
    const std::string iso = temp.Path("mark disc.iso"), image = temp.Path(GetParam());
    const std::string built =
        BuildPlayStationIso(iso, "BOOT = cdrom:\\SLUS_999.42;1", {{"SLUS_999.42", MarkingExe()}});
    if (!built.empty()) GTEST_SKIP() << built;
    if (image != iso) temp.Write(GetParam(), PbpOfDisc(ReadWholeFile(iso)));
    XServer x;
    ASSERT_FALSE(x.Display().empty()) << "Xvfb did not start";

    // PCSX-Reloaded reads its settings by parts of their names: Bios comes before the folders.
    const std::string home = temp.MakeFolder("home");
    const std::string settings[] = {"Bios = HLE",
                                    "Gpu = libpeopsxgl.so",
                                    "Spu = libDFSound.so",
                                    "Cdr = libDFCdrom.so",
                                    "Pad1 = libDFInput.so",
                                    "Pad2 = libDFInput.so",
                                    "Net = Disabled",
                                    "Sio1 = libBladeSio1.so",
                                    "Cpu = 1",
                                    "PsxAuto = 1",
                                    "Mcd1 = " + home + ".pcsxr/card1.mcd",
                                    "Mcd2 = " + home + ".pcsxr/card2.mcd",
                                    "BiosDir = " + home + ".pcsxr/bios/",
                                    "PluginsDir = " + plugins};
    std::string lines;
    for (const std::string& setting : settings) lines += setting + "\n";
    temp.Write("home/.pcsxr/pcsxr.cfg", lines);
    temp.Write("config/daemount.ini", std::string(kPcsxr) + " -nogui -cdfile %image%\r\n");
    temp.Write("app/gameinv.txt", "Mark\tSLUS-99942\tRPG\t1\t" + image + "\t\t\tReal PSX\t\r\n");
    ScopedEnvironment environment;
    environment.Set("HOME", home);
    environment.Set("XDG_CONFIG_HOME", temp.Path("config"));
    environment.Set("DISPLAY", x.Display());
    environment.Set("PATH", temp.Path("app") + ":/usr/bin:/bin");  // no mount helper

    FolderServices services(temp.Folder() + "app/");
    FakeUserInterface ui;
    formGameInventory window(services, ui);
    ASSERT_TRUE(window.Form_Load());
    window.SelectGame(window.Inventory().Lists().FindName("Mark"));
    window.btnPlay_Click();

    // Escape held in the emulator's window, once it shows one, ends it with a saved state
    // named after the disc: its label, a dash, and the ID that pcsxr makes of the boot file.
    const std::string states = home + ".pcsxr/sstates/";
    auto savedState = [&states] {
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(states, error))
            if (entry.path().filename().string().ends_with("-SLUS99942.010"))
                return entry.path().string();
        return std::string();
    };
    std::string emulatorWindow;
    for (int wait = 0; wait < 300 && emulatorWindow.empty(); ++wait) {
        QTest::qWait(100);
        emulatorWindow = LastLines(
            RunProgram({"xdotool", "search", "--name", "^PCSXR"}, std::chrono::seconds(5)).output,
            1);
    }
    EXPECT_FALSE(emulatorWindow.empty()) << "PCSX-Reloaded showed no window";
    for (int tries = 0; tries < 10 && !emulatorWindow.empty() && savedState().empty(); ++tries) {
        QTest::qWait(1000);  // the disc boots
        RunProgram({"xdotool", "keydown", "--window", emulatorWindow, "Escape"},
                   std::chrono::seconds(5));
        QTest::qWait(400);
        RunProgram({"xdotool", "keyup", "--window", emulatorWindow, "Escape"},
                   std::chrono::seconds(5));
        for (int wait = 0; wait < 30 && savedState().empty(); ++wait) QTest::qWait(100);
    }
    KillProcessesNaming(image);

    const std::string state = savedState();
    ASSERT_FALSE(state.empty()) << "no saved state of this disc";
    const ProgramRun marks =
        RunProgram({"/bin/sh", "-c", "gzip -dc <\"$0\" | grep -c 'VORLISK!'", state},
                   std::chrono::seconds(30));
    EXPECT_EQ(marks.output, "1\n") << "the disc's program left no mark";
    EXPECT_TRUE(ui.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Images, PcsxrTest, ::testing::Values("mark disc.iso", "mark disc.pbp"));

}  // namespace
}  // namespace vorlisk::testing

#endif
