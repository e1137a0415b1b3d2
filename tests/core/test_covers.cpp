#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/covers.h"

namespace vorlisk {
namespace {

const std::vector<std::string> kTypes = {".png", ".jpg", ".jpeg", ".bmp", ".gif"};

TEST(CoverFolder, FindsTheFirstNameInOrderWithAnyCase) {
    const CoverKeys race{"SLUS-00594", "/psx/Race Day (USA).cue", "Race: Day?"};
    struct Case {
        const char* what;
        CoverKeys keys;
        std::vector<std::string> files;
        std::string found;  // the file found, or empty
    };
    const Case cases[] = {
        {"ID as written", race, {"Race Day (USA).png", "SLUS-00594.png"}, "SLUS-00594.png"},
        {"ID with point", race, {"Race_ Day_.png", "slus_005.94.JPG"}, "slus_005.94.JPG"},
        {"ID run together", race, {"SLUS00594.gif"}, "SLUS00594.gif"},
        {"dotted ID gives the dashed form",
         {"SLUS_005.94", "", ""},
         {"SLUS-00594.bmp"},
         "SLUS-00594.bmp"},
        {"image name before libretro name",
         race,
         {"Race_ Day_.png", "race day (usa).JPEG"},
         "race day (usa).JPEG"},
        {"libretro name", race, {"Race_ Day_.PNG", "SLUS-00595.png"}, "Race_ Day_.PNG"},
        {"every forbidden character",
         {"", "", "a&b*c/d:e`f<g>h?i\\j|k"},
         {"a_b_c_d_e_f_g_h_i_j_k.png"},
         "a_b_c_d_e_f_g_h_i_j_k.png"},
        {"types in order",
         race,
         {"SLUS-00594.gif", "SLUS-00594.jpg", "SLUS-00594.bmp"},
         "SLUS-00594.jpg"},
        {"an ID of another shape as it is",
         {"HOMEBREW 1", "", ""},
         {"homebrew 1.png"},
         "homebrew 1.png"},
        {"playlist name before the ID",
         {"SLUS-00594", "C:\\psx\\Epic.m3u", "Epic Saga"},
         {"SLUS-00594.png", "Epic.png"},
         "Epic.png"},
        {"playlist falls back to the ID",
         {"SLUS-00594", "/psx/Epic.M3U", ""},
         {"SLUS-00594.png"},
         "SLUS-00594.png"},
        {"no picture type", race, {"SLUS-00594.txt", "SLUS-00594"}, ""},
        {"nothing to go by", {"", "", ""}, {".png"}, ""},
    };
    for (const Case& c : cases) {
        const CoverFolder folder("/covers/", c.files);
        EXPECT_EQ(folder.Find(c.keys, kTypes), c.found.empty() ? "" : "/covers/" + c.found)
            << c.what;
    }
}

}  // namespace
}  // namespace vorlisk
