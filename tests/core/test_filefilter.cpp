#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/filefilter.h"

namespace vorlisk {
namespace {

using namespace std::string_literals;

TEST(ConvertFilterText, EndsEveryStringInOneNul) {
    struct Case {
        std::string filter;
        std::string converted;
    };
    const std::vector<Case> cases = {
        {"ISO Images|*.iso;*.cue;*.ccd;*.bwt|All files (*.*)|*.*",
         "ISO Images\0*.iso;*.cue;*.ccd;*.bwt\0All files (*.*)\0*.*\0"s},
        {"Emulator Executables|*.exe;*.com", "Emulator Executables\0*.exe;*.com\0"s},
        // A filter that already ends in "|" gets no second one.
        {"Emulator Executables|*.exe;*.com|", "Emulator Executables\0*.exe;*.com\0"s},
        {"A|*.a||", "A\0*.a\0\0"s},
        {"", "\0"s},
        {"|", "\0"s},
        {"no bar", "no bar\0"s},
    };
    for (const Case& c : cases) {
        std::string converted = ConvertFilterText(c.filter);
        EXPECT_EQ(converted, c.converted) << c.filter;
        // c_str() adds the NUL that ends the whole list.
        EXPECT_EQ(converted.c_str()[converted.size()], '\0');
    }
    std::string filter = "ISO|*.iso";
    ConvertFilterText(filter);
    EXPECT_EQ(filter, "ISO|*.iso");
}

TEST(ChooserNameFilters, BuildsOneEntryPerPair) {
    struct Case {
        std::string filter;
        std::vector<std::string> filters;
    };
    const std::vector<Case> cases = {
        {"ISO Images|*.iso;*.cue;*.ccd;*.bwt|All files (*.*)|*.*",
         {"ISO Images (*.iso *.ISO *.cue *.CUE *.ccd *.CCD *.bwt *.BWT)", "All files (*.*) (*)"}},
        {"All Pictures|*.gif;*.jpg;*.bmp;*.ico|All files (*.*)|*.*",
         {"All Pictures (*.gif *.GIF *.jpg *.JPG *.bmp *.BMP *.ico *.ICO)", "All files (*.*) (*)"}},
        {"Emulator Executables|*.exe;*.com", {"Emulator Executables (*.exe *.EXE *.com *.COM)"}},
        {"Emulator Executables|*.exe;*.com|", {"Emulator Executables (*.exe *.EXE *.com *.COM)"}},
        {"Mixed|*.Iso", {"Mixed (*.Iso *.iso *.ISO)"}},
        {"Upper|*.ISO;*.iso", {"Upper (*.ISO *.iso)"}},
        {"Blanks| *.iso ; ;*.*", {"Blanks (*.iso *.ISO *)"}},
        {"Other|readme.txt;*.t?t;*.[ab]c;*", {"Other (readme.txt *.t?t *.[ab]c *)"}},
        {"No patterns||Images|*.iso", {}},
        {"Empty list|;|Images|*.iso", {"Images (*.iso *.ISO)"}},
        {"Lonely description", {}},
        {"A|*.a|Dangling", {"A (*.a *.A)"}},
        {"", {}},
        // The converted form gives the same filters.
        {"ISO Images\0*.iso\0All files (*.*)\0*.*\0"s,
         {"ISO Images (*.iso *.ISO)", "All files (*.*) (*)"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooserNameFilters(c.filter), c.filters) << c.filter;
    }
}

}  // namespace
}  // namespace vorlisk
