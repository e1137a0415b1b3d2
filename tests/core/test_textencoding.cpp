#include "system/textencoding.h"

#include <gtest/gtest.h>

#include <set>

namespace vorlisk {
namespace {

TEST(TextEncoding, RecognisesWellFormedUtf8Only) {
    struct Case {
        std::string bytes;
        bool utf8;
    };
    const Case cases[] = {
        {"", true},
        {std::string("a\0\r\n\t", 5), true},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xae \xf4\x8f\xbf\xbf", true},
        {"caf\xe9", false},           // Windows-1252
        {"\xc3", false},              // cut short
        {"\xc0\xaf", false},          // overlong
        {"\xe0\x80\xaf", false},      // overlong
        {"\xed\xa0\x80", false},      // a surrogate
        {"\xf4\x90\x80\x80", false},  // above U+10FFFF
        {"\x80", false},              // a lone continuation byte
    };
    for (const Case& c : cases) EXPECT_EQ(IsUtf8(c.bytes), c.utf8) << c.bytes;
}

TEST(TextEncoding, EveryByteStringIsShownOnceAndComesBack) {
    EXPECT_EQ(ShownUtf8("caf\xe9 \x80 \x81\x8d\x8f\x90\x9d \x9f"),
              "caf\xc3\xa9 \xe2\x82\xac \xc2\x81\xc2\x8d\xc2\x8f\xc2\x90\xc2\x9d \xc5\xb8");
    EXPECT_EQ(ShownUtf8("caf\xc3\xa9"), "caf\xc3\xa9");
    // Each of the 256 bytes has a text of its own, alone and beside others, and writing that
    // text in the encoding the bytes were read in gives the same bytes again.
    std::set<std::string> shown;
    for (int b = 0; b < 256; ++b) {
        for (const std::string& bytes : {std::string(1, static_cast<char>(b)),
                                         "x" + std::string(1, static_cast<char>(b)) + "\xe9"}) {
            std::string text = ShownUtf8(bytes);
            EXPECT_TRUE(IsUtf8(text)) << b;
            for (TextEncoding ascii : {TextEncoding::Utf8, TextEncoding::Windows1252})
                EXPECT_EQ(EncodeText(text, EncodingOf(bytes, ascii)), bytes) << b;
        }
        shown.insert(ShownUtf8(std::string(1, static_cast<char>(b))));
    }
    EXPECT_EQ(shown.size(), 256u);
}

TEST(TextEncoding, TextThatDoesNotFitWindows1252StaysUtf8) {
    EXPECT_EQ(EncodeText("cr\xc3\xa8me \xe2\x82\xac", TextEncoding::Windows1252), "cr\xe8me \x80");
    EXPECT_EQ(EncodeText("cr\xc3\xa8me \xe6\xbc\xa2", TextEncoding::Windows1252),
              "cr\xc3\xa8me \xe6\xbc\xa2");
    EXPECT_EQ(EncodeText("cr\xc3\xa8me", TextEncoding::Utf8), "cr\xc3\xa8me");
    EXPECT_EQ(EncodingOf("plain", TextEncoding::Windows1252), TextEncoding::Windows1252);
    EXPECT_EQ(EncodingOf("caf\xc3\xa9", TextEncoding::Windows1252), TextEncoding::Utf8);
}

// A text is written in Windows-1252 only when those bytes are shown as the same text again.
TEST(TextEncoding, Windows1252IsWrittenOnlyWhenItReadsBackTheSame) {
    struct Case {
        const char* text;  // UTF-8
        std::string stored;
    };
    const Case cases[] = {
        {"Gro\xc3\x9f\xe2\x80\xa6", "Gro\xc3\x9f\xe2\x80\xa6"},  // Groß… would be DF 85, also UTF-8
        {"\xc3\x83\xc2\xa9", "\xc3\x83\xc2\xa9"},                // Ã© would be C3 A9, that is é
        {"Gro\xc3\x9f \xe2\x80\xa6", "Gro\xdf \x85"},
    };
    for (const Case& c : cases) {
        const std::string stored = EncodeText(c.text, TextEncoding::Windows1252);
        EXPECT_EQ(stored, c.stored) << c.text;
        EXPECT_EQ(ShownUtf8(stored), c.text);
    }
}

}  // namespace
}  // namespace vorlisk
