#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "launch/playtime.h"
#include "tests/core/tempfolder.h"

namespace vorlisk {
namespace {

using vorlisk::testing::TempFolder;

TEST(PlayHistory, ReadsAddsAndKeepsEachGamesOwnTime) {
    TempFolder temp;
    const std::string path =
        temp.Write("playtime.txt",
                   std::string("SLUS-00594\tRace Day\t1765300000\t600\r\n"
                               "\tOld Name\t1765300100\t120\r\n"
                               "SLUS-00001\tno total\t1765300000\r\n"  // broken: three fields
                               "SLUS-00002\tGame\tyesterday\t60\r\n"   // broken: no number
                               "SLUS-00003\tGame\t1765300000\t-5\r\n"  // broken: below zero
                               "\t\t1765300000\t60\r\n"                // broken: no key
                               "SCES-00010\tCR\r" +
                               std::string(1, '\0') + "in name\t1765300200\t30"));
    PlayHistory history(path);
    history.Read();
    struct Case {
        const char* what;
        std::string id, name;
        std::optional<long long> seconds;
    };
    const Case read[] = {
        {"by ID, whatever the name", "SLUS-00594", "Renamed", 600},
        {"by ID, blanks around it", " SLUS-00594 ", "", 600},
        {"by name without an ID", "", "Old Name", 120},
        {"a renamed game without ID", "", "New Name", std::nullopt},
        {"a name is no ID", "SLUS-09999", "Old Name", std::nullopt},
        {"an ID is no name", "", "Race Day", std::nullopt},
        {"three fields", "SLUS-00001", "", std::nullopt},
        {"no number", "SLUS-00002", "", std::nullopt},
        {"below zero", "SLUS-00003", "", std::nullopt},
        {"a CR in a name", "SCES-00010", "", 30},
    };
    for (const Case& c : read) {
        std::optional<PlayTime> time = history.Of(c.id, c.name);
        EXPECT_EQ(time ? std::optional<long long>(time->seconds) : std::nullopt, c.seconds)
            << c.what;
    }

    history.Add("SLUS-00594", "Race Day", 90, 1765400000);
    history.Add("", "New Name", 45, 1765400100);
    ASSERT_TRUE(history.Save().ok);
    PlayHistory again(path);
    again.Read();
    EXPECT_EQ(again.Of("SLUS-00594", "").value_or(PlayTime{}).seconds, 690);
    EXPECT_EQ(again.Of("SLUS-00594", "").value_or(PlayTime{}).lastPlayed, 1765400000);
    EXPECT_EQ(again.Of("", "New Name").value_or(PlayTime{}).seconds, 45);
    EXPECT_EQ(again.Of("SCES-00010", "").value_or(PlayTime{}).seconds, 30);
    EXPECT_EQ(temp.Read("playtime.txt").substr(0, 36), "SLUS-00594\tRace Day\t1765400000\t690\r\n");
}

}  // namespace
}  // namespace vorlisk
