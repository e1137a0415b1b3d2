#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "import/imagegameid.h"
#include "tests/core/discimages.h"
#include "tests/core/tempfolder.h"

namespace vorlisk {
namespace {

using namespace vorlisk::testing;

TEST(PlaylistGameId, IsTheIdOfTheFirstListedDiscThatCanBeRead) {
    const std::string disc1 = PlayStationIso("SLUS_005.94"), disc2 = PlayStationIso("SLUS_005.95");
    const std::vector<std::pair<std::string, std::string>> discs = {
        {"Game (Disc 1).iso", disc1}, {"Game (Disc 2).iso", disc2}, {"sub/Other.iso", disc2}};
    struct Case {
        std::string name;
        std::string playlist;
        std::string id;
    };
    const std::vector<Case> cases = {
        {"two discs", "Game (Disc 1).iso\nGame (Disc 2).iso\n", "SLUS-00594"},
        {"a missing disc first", "Gone.iso\r\nGame (Disc 2).iso\r\n", "SLUS-00595"},
        {"a disc without an ID first", "unreadable.iso\nGame (Disc 2).iso", "SLUS-00595"},
        {"a mark, comments, blank lines and blanks around a name",
         "\xEF\xBB\xBF#EXTM3U\r\n\r\n  \t\r\n# Game (Disc 1).iso\r\n \tGame (Disc 2).iso \t\r\n",
         "SLUS-00595"},
        {"a lone CR", "#Game (Disc 1).iso\rGame (Disc 2).iso", "SLUS-00595"},
        {"a subfolder with Windows separators and other letters", "sub\\OTHER.iso\n", "SLUS-00595"},
#ifndef _WIN32
        {"a Windows-1252 name of a file named in UTF-8", "J\xe9u.iso\n", "SLUS-00594"},
#endif
        {"itself", "list.m3u\nGame (Disc 1).iso\n", ""},
        {"another playlist", "Game (Disc 1).iso\nother.M3U\n", ""},
        {"no disc at all", "#EXTM3U\n", ""},
    };
    for (const Case& c : cases) {
        TempFolder temp("vorlisk-m3u");
        temp.MakeFolder("sub/");
        for (const auto& [name, content] : discs) temp.Write(name, content);
#ifndef _WIN32
        temp.Write("J\xc3\xa9u.iso", disc1);
#endif
        temp.Write("unreadable.iso", "no file system");
        temp.Write("other.m3u", "Game (Disc 2).iso\n");
        EXPECT_EQ(ImageGameId(temp.Write("list.m3u", c.playlist)), c.id) << c.name;
    }
    TempFolder temp("vorlisk-m3u");
    const std::string absolute = temp.Write("Game.iso", disc2);
    TempFolder other("vorlisk-m3u");
    EXPECT_EQ(ImageGameId(other.Write("list.m3u", absolute + "\n")), "SLUS-00595");
}

}  // namespace
}  // namespace vorlisk
