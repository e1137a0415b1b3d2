#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "system/files.h"
#include "system/services.h"
#include "system/textfile.h"
#include "tests/core/tempfolder.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace vorlisk {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using vorlisk::testing::TempFolder;

std::vector<std::string> ReadAll(const std::string& path, LineEnds ends, bool* failed = nullptr) {
    LineReader reader(path, ends);
    std::vector<std::string> lines;
    std::string line;
    while (reader.Next(line)) lines.push_back(line);
    if (failed) *failed = reader.Failed();
    return lines;
}

// Shows control bytes so that a failing case can be read.
std::string Visible(const std::string& text) {
    std::string shown;
    for (unsigned char c : text) {
        if (c == '\r')
            shown += "<CR>";
        else if (c == '\n')
            shown += "<LF>";
        else if (c == '\0')
            shown += "<NUL>";
        else if (c == '\t')
            shown += "<TAB>";
        else
            shown += static_cast<char>(c);
    }
    return shown;
}

using Lines = std::vector<std::string>;

TEST(LineReaderRules, BothLineEndRules) {
    struct Case {
        std::string content;
        Lines catalogue;
        Lines handWritten;
    };
    const std::vector<Case> cases = {
        {"", {}, {}},
        {"a\r\nb\r\n", {"a", "b"}, {"a", "b"}},
        {"a\rb\r", {"a", "b"}, {"a", "b"}},
        {"a\nb\n", {"a\nb\n"}, {"a", "b"}},
        {"a\r\nb", {"a", "b"}, {"a", "b"}},  // last line without a break
        {"last", {"last"}, {"last"}},
        {"\r\n\r\n", {"", ""}, {"", ""}},
        {"\n", {"\n"}, {""}},
        {"a\r\r\nb", {"a", "", "b"}, {"a", "", "b"}},
        {"a\n\r\nb", {"a\n", "b"}, {"a", "", "b"}},
        {"a\r\n\nb", {"a", "\nb"}, {"a", "", "b"}},
        {"a\r\0b\r\n"s, {"a\rb"}, {"a", "\0b"s}},  // CR NUL belongs to a catalogue line
        {"x\r\0"s, {"x\r"}, {"x", "\0"s}},
        {"a\r\0\0b\r\n"s, {"a\r\0b"s}, {"a", "\0\0b"s}},
        {"a\r\0\nb\r\n"s, {"a\r\nb"}, {"a", "\0"s, "b"}},
        {"a\0b\r\n"s, {"a\0b"s}, {"a\0b"s}},  // a NUL elsewhere is an ordinary byte
        {"caf\xE9\tcr\xE8me\r\n", {"caf\xE9\tcr\xE8me"}, {"caf\xE9\tcr\xE8me"}},
        {"  blanks  \r\n", {"  blanks  "}, {"  blanks  "}},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        std::string path = folder.Write("lines.txt", c.content);
        bool failed = true;
        EXPECT_EQ(ReadAll(path, LineEnds::Catalogue, &failed), c.catalogue)
            << "catalogue: " << Visible(c.content);
        EXPECT_FALSE(failed);
        EXPECT_EQ(ReadAll(path, LineEnds::HandWritten, &failed), c.handWritten)
            << "hand-written: " << Visible(c.content);
        EXPECT_FALSE(failed);
    }
}

TEST(LineReaderRules, LinesLongerThanOneChunk) {
    TempFolder folder;
    const std::string longLine(200000, 'x');
    const std::string withBreaks = longLine.substr(0, 70000) + "\n" + longLine.substr(70000);
    std::string path = folder.Write("long.txt", longLine + "\r\n" + withBreaks + "\r\nshort");
    EXPECT_EQ(ReadAll(path, LineEnds::Catalogue), (Lines{longLine, withBreaks, "short"}));
    EXPECT_EQ(ReadAll(path, LineEnds::HandWritten),
              (Lines{longLine, longLine.substr(0, 70000), longLine.substr(70000), "short"}));
}

// The reader takes the file in chunks of 64 KiB; a line break or a CR NUL pair split
// between two chunks must read the same as anywhere else.
TEST(LineReaderRules, BreaksAcrossChunkBoundaries) {
    TempFolder folder;
    for (size_t length : {65534u, 65535u, 65536u, 131071u, 131072u}) {
        const std::string head(length, 'a');
        struct Case {
            std::string tail;
            Lines catalogue;
            Lines handWritten;
        };
        const std::vector<Case> cases = {
            {"\r\nb\r\n", {head, "b"}, {head, "b"}},
            {"\r\nb", {head, "b"}, {head, "b"}},
            {"\rb", {head, "b"}, {head, "b"}},
            {"\r", {head}, {head}},
            {"\r\n", {head}, {head}},
            {"\r\r\n", {head, ""}, {head, ""}},
            {"\nb", {head + "\nb"}, {head, "b"}},
            {"\r\0c\r\n"s, {head + "\rc"}, {head, "\0c"s}},
        };
        for (const auto& c : cases) {
            std::string path = folder.Write("chunks.txt", head + c.tail);
            EXPECT_EQ(ReadAll(path, LineEnds::Catalogue), c.catalogue)
                << length << " bytes then " << Visible(c.tail);
            EXPECT_EQ(ReadAll(path, LineEnds::HandWritten), c.handWritten)
                << length << " bytes then " << Visible(c.tail);
        }
    }
}

TEST(LineReaderRules, MissingFileOrFolderFails) {
    TempFolder folder;
    LineReader reader(folder.Path("missing.txt"), LineEnds::HandWritten);
    std::string line = "left over";
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_FALSE(reader.Next(line));
    EXPECT_TRUE(line.empty());
    EXPECT_TRUE(reader.Failed());
    EXPECT_FALSE(reader.FailureReason().empty());

    // A folder opens on some systems but never reads.
    LineReader folderReader(folder.Path(), LineEnds::Catalogue);
    EXPECT_FALSE(folderReader.Next(line));
    EXPECT_TRUE(folderReader.Failed());
    EXPECT_FALSE(folderReader.FailureReason().empty());

    LineReader present(folder.Write("present.txt", "one\r\ntwo"), LineEnds::HandWritten);
    EXPECT_TRUE(present.IsOpen());
    while (present.Next(line)) {
    }
    EXPECT_FALSE(present.Failed());
}

TEST(LineReaderRules, ReadTextLinesStopsAtTheLimit) {
    TempFolder folder;
    std::string path = folder.Write("four.txt", "1\r\n2\n3\r4");
    struct Case {
        size_t maxLines;
        Lines lines;
    };
    const std::vector<Case> cases = {
        {0, {}}, {2, {"1", "2"}}, {4, {"1", "2", "3", "4"}}, {SIZE_MAX, {"1", "2", "3", "4"}}};
    for (const auto& c : cases) {
        TextLines read = ReadTextLines(path, LineEnds::HandWritten, c.maxLines);
        EXPECT_EQ(read.lines, c.lines) << c.maxLines;
        EXPECT_TRUE(read.complete) << c.maxLines;
    }
    TextLines missing = ReadTextLines(folder.Path("missing.txt"), LineEnds::HandWritten);
    EXPECT_TRUE(missing.lines.empty());
    EXPECT_FALSE(missing.complete);
    EXPECT_FALSE(missing.failureReason.empty());
}

// What EncodeCatalogueLine writes, a catalogue reader gives back unchanged.
TEST(LineReaderRules, EncodedCatalogueLinesReadBackUnchanged) {
    const Lines lines = {"plain",      "",           "lone\rCR", "\rfirst",   "last\r",
                         "two\r\rCRs", "in\r\nline", "lone\nLF", "nul\r\0x"s, "caf\xE9\r"};
    std::string content;
    for (const auto& line : lines) content += EncodeCatalogueLine(line) + "\r\n";
    TempFolder folder;
    EXPECT_EQ(ReadAll(folder.Write("encoded.txt", content), LineEnds::Catalogue), lines);
    EXPECT_EQ(EncodeCatalogueLine("a\rb"), "a\r\0b"s);
    EXPECT_EQ(EncodeCatalogueLine("no CR\n"), "no CR\n");
    EXPECT_EQ(JoinLinesCrLf({"a", "", "b\n"}), "a\r\n\r\nb\n\r\n");
    EXPECT_EQ(JoinLinesCrLf({}), "");
}

TEST(FileServices, FileExistsNeedsOneByte) {
    TempFolder folder;
    folder.Write("empty.txt", "");
    folder.Write("one.txt", "x");
    folder.MakeFolder("sub");
    struct Case {
        std::string path;
        bool exists;
        bool pathExists;
    };
    const std::vector<Case> cases = {
        {folder.Path("empty.txt"), false, true},
        {folder.Path("one.txt"), true, true},
        {folder.Path("sub"), false, true},
        {folder.Path("missing.txt"), false, false},
        {folder.Path("one.txt") + "/inside", false, false},
        {"", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileExists(c.path), c.exists) << "'" << c.path << "'";
        EXPECT_EQ(PathExists(c.path), c.pathExists) << "'" << c.path << "'";
    }
}

TEST(FileServices, WriteFileSafelyWritesAndReplaces) {
    TempFolder folder;
    const std::string path = folder.Path("data.txt");
    struct Step {
        std::string content;
    };
    const std::vector<Step> steps = {
        {"first\r\nfile\r\n"},
        {std::string(100000, 'y') + "\r\n"},  // longer than before
        {"short\r\0\xE9"s},                   // shorter: nothing of the old content stays
        {""},
    };
    for (const auto& step : steps) {
        WriteResult result = WriteFileSafely(path, step.content);
        EXPECT_TRUE(result.ok) << result.reason;
        EXPECT_TRUE(result.reason.empty());
        EXPECT_EQ(folder.Read("data.txt"), step.content);
        EXPECT_EQ(folder.Entries(), Lines{"data.txt"}) << "only the file itself is left";
    }

    WriteResult failed = WriteFileSafely(folder.Path("no such folder/data.txt"), "x");
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.reason.empty());
    EXPECT_EQ(folder.Entries(), Lines{"data.txt"});
}

#ifndef _WIN32
// After the rename the folder is synced where it can be: a save by a bare name (in the working
// folder) and one into a folder that can be written but not read are complete all the same.
TEST(FileServices, WriteFileSafelySyncsItsFolderWhereItCan) {
    TempFolder folder;
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    const WriteResult bare = WriteFileSafely("data.txt", "here");
    std::filesystem::current_path(before);
    EXPECT_TRUE(bare.ok) << bare.reason;
    EXPECT_EQ(folder.Read("data.txt"), "here");

    const std::string unreadable = folder.MakeFolder("unreadable");
    const std::string saved = folder.Write("unreadable/data.txt", "old");
    ::chmod(unreadable.c_str(), 0300);
    const WriteResult blind = WriteFileSafely(saved, "new");
    ::chmod(unreadable.c_str(), 0700);
    EXPECT_TRUE(blind.ok) << blind.reason;
    EXPECT_EQ(folder.Read("unreadable/data.txt"), "new");
}

TEST(FileServices, WriteFileSafelyKeepsPermissionsLinksAndReadOnlyFiles) {
    TempFolder folder;
    const std::string path = folder.Path("data.txt");
    namespace fs = std::filesystem;
    ASSERT_TRUE(WriteFileSafely(path, "old").ok);

    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(WriteFileSafely(path, "new").ok);
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    fs::create_symlink(path, folder.Path("link.txt"));
    ASSERT_TRUE(WriteFileSafely(folder.Path("link.txt"), "through the link").ok);
    EXPECT_TRUE(fs::is_symlink(folder.Path("link.txt")));
    EXPECT_EQ(folder.Read("data.txt"), "through the link");

    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
    WriteResult refused = WriteFileSafely(path, "not written");
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.reason.empty());
    EXPECT_EQ(folder.Read("data.txt"), "through the link");
}

// A link whose file is missing gets it made where it points; one that cannot lead anywhere
// fails and stays as it is.
TEST(FileServices, WriteFileSafelyFollowsDanglingLinksAndRefusesLoops) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> links;  // link, where it points
        std::string madeFile;                                    // empty: the write fails
        Lines entries;                                           // what the folder holds afterwards
    };
    const std::vector<Case> cases = {
        {"dangling", {{"data.txt", "real.txt"}}, "real.txt", {"data.txt", "real.txt", "sub"}},
        {"dangling twice",
         {{"data.txt", "one.txt"}, {"one.txt", "sub/two.txt"}},
         "sub/two.txt",
         {"data.txt", "one.txt", "sub"}},
        {"into a missing folder", {{"data.txt", "missing/real.txt"}}, "", {"data.txt", "sub"}},
        {"loop",
         {{"data.txt", "other.txt"}, {"other.txt", "data.txt"}},
         "",
         {"data.txt", "other.txt", "sub"}},
        {"itself", {{"data.txt", "data.txt"}}, "", {"data.txt", "sub"}},
    };
    for (const auto& c : cases) {
        TempFolder folder;
        folder.MakeFolder("sub");
        for (const auto& [link, target] : c.links) fs::create_symlink(target, folder.Path(link));
        WriteResult result = WriteFileSafely(folder.Path("data.txt"), "content");
        EXPECT_EQ(result.ok, !c.madeFile.empty()) << c.what;
        EXPECT_EQ(result.reason.empty(), result.ok) << c.what;
        for (const auto& [link, target] : c.links)
            EXPECT_EQ(fs::read_symlink(folder.Path(link)), target) << c.what;
        if (!c.madeFile.empty()) EXPECT_EQ(folder.Read(c.madeFile), "content") << c.what;
        EXPECT_EQ(folder.Entries(), c.entries) << c.what;
    }
}

// Non-regular files are never read: a FIFO would wait for a writer for ever.
TEST(LineReaderRules, OnlyRegularFilesAreRead) {
    TempFolder folder;
    ASSERT_EQ(::mkfifo(folder.Path("fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", folder.Path("device"));
    fs::create_symlink(folder.Write("plain", "a\r\nb"), folder.Path("link"));
    folder.MakeFolder("folder");
    for (const std::string name : {"fifo", "device", "folder"}) {
        TextLines read = ReadTextLines(folder.Path(name), LineEnds::HandWritten);
        EXPECT_FALSE(read.complete) << name;
        EXPECT_FALSE(read.failureReason.empty()) << name;
        EXPECT_FALSE(FileExists(folder.Path(name))) << name;
    }
    EXPECT_EQ(ReadTextLines(folder.Path("link"), LineEnds::HandWritten).lines, (Lines{"a", "b"}));
}

// What runs in a child process: a save over the file-size limit, with the limit's signal
// as the program leaves it (`ignored`) or as the system has it. Ends with 0 when the save
// reported its failure.
[[noreturn]] void SaveOverTheSizeLimit(const std::string& path, bool ignored) {
    if (ignored) LetOversizedWritesFail();
    rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    WriteResult result = WriteFileSafely(path, std::string(100000, 'x'));
    ::_exit(!result.ok && !result.reason.empty() ? 0 : 1);
}

// A save cut short leaves a temporary file; the next save takes it away, but never a file
// that only looks like one, nor one that a save is still writing.
TEST(FileServices, SavesCutShortLeaveNothingBehind) {
    TempFolder folder;
    const std::string path = folder.Write("gameinv.txt", "old");
    for (bool ignored : {false, true}) {
        pid_t child = ::fork();
        if (child == 0) SaveOverTheSizeLimit(path, ignored);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        if (ignored) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "failed, not killed";
            EXPECT_EQ(folder.Entries(), Lines{"gameinv.txt"}) << "the leftover went too";
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ);
            EXPECT_EQ(folder.Entries().size(), 2u) << "a save cut short leaves its file";
        }
    }

    // Names as the temporary files of gameinv.txt have them, but not ours to remove.
    pid_t child = ::fork();
    if (child == 0) SaveOverTheSizeLimit(path, false);
    ::waitpid(child, nullptr, 0);
    const Lines leftover = folder.Entries();
    ASSERT_EQ(leftover.size(), 2u);
    const std::string like = leftover[1].substr(0, leftover[1].size() - 6);
    folder.Write("gameinv.txt.backup", "mine");
    folder.MakeFolder(like + "folder");
    fs::create_symlink(folder.Write("mine.txt", "mine"), folder.Path(like + "link12"));
    int writing = ::open(folder.Write(like + "in-use", "being written").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(writing, LOCK_EX), 0);
    if (::geteuid() == 0) ASSERT_EQ(::chown(folder.Write(like + "others", "").c_str(), 1, 1), 0);

    Lines expected = folder.Entries();
    expected.erase(std::find(expected.begin(), expected.end(), leftover[1]));
    ASSERT_TRUE(WriteFileSafely(path, "new").ok);
    EXPECT_EQ(folder.Entries(), expected);
    EXPECT_EQ(folder.Read("gameinv.txt"), "new");
    ::close(writing);
}
#endif

}  // namespace
}  // namespace vorlisk
