#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/programlog.h"
#include "tests/core/tempfolder.h"

namespace vorlisk {
namespace {

// The log keeps its newest whole entries, each line after the first indented, and never
// grows beyond its size.
TEST(ProgramLog, KeepsTheNewestWholeEntriesWithinItsSize) {
    testing::TempFolder temp;
    const std::string log = temp.Path("vorlisk.log");
    const std::string lines(2000, 'x');
    for (int i = 0; i < 40; ++i)
        AppendToLog(log, "entry " + std::to_string(i) + "\n" + lines + "\n" + lines);
    const std::string kept = temp.Read("vorlisk.log");
    EXPECT_LE(kept.size(), kMostLogBytes);
    EXPECT_GT(kept.size(), kMostLogBytes - 4100);
    EXPECT_NE(kept.find("  entry 39\n    " + lines + "\n    " + lines + "\n"), std::string::npos);
    EXPECT_EQ(kept.find("  entry 0\n"), std::string::npos);
    ASSERT_FALSE(kept.empty());
    EXPECT_NE(kept[0], ' ');  // it begins with an entry's first line
}

#ifndef _WIN32
// A link in the log's place is left as it is, and so is the file it leads to.
TEST(ProgramLog, WritesNothingThroughALink) {
    testing::TempFolder temp;
    std::filesystem::create_symlink(temp.Write("notes.txt", "my notes\n"), temp.Path("vorlisk.log"));
    AppendToLog(temp.Path("vorlisk.log"), "Play started");
    EXPECT_EQ(temp.Read("notes.txt"), "my notes\n");
    EXPECT_TRUE(std::filesystem::is_symlink(temp.Path("vorlisk.log")));
}
#endif

}  // namespace
}  // namespace vorlisk
