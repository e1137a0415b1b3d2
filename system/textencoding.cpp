#include "system/textencoding.h"

#include <cstdint>

namespace vorlisk {

namespace {

// The characters of the bytes 80 to 9F in Windows-1252; the five it leaves unassigned stand
// for the control characters of the same number.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t Windows1252Character(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
}

// The Windows-1252 byte of `c`, or -1 when it has none.
int Windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c) return 0x80 + i;
    return -1;
}

// Every character of Windows-1252 lies below U+10000: one to three bytes.
void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Length of the well-formed UTF-8 sequence at `i`, or 0.
size_t SequenceLength(std::string_view s, size_t i) {
    auto at = [&s](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = at(i);
    if (lead < 0x80) return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > s.size() || at(i + 1) < low || at(i + 1) > high) return 0;
    for (size_t k = 2; k < length; ++k)
        if (at(i + k) < 0x80 || at(i + k) > 0xBF) return 0;
    return length;
}

// The character of the well-formed sequence of `length` bytes at `i`.
char32_t DecodeSequence(std::string_view s, size_t i, size_t length) {
    static constexpr unsigned char kLeadMask[5] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t c = static_cast<unsigned char>(s[i]) & kLeadMask[length];
    for (size_t k = 1; k < length; ++k)
        c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    return c;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size();) {
        size_t length = SequenceLength(bytes, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

TextEncoding EncodingOf(std::string_view bytes, TextEncoding plainAscii) {
    if (!IsUtf8(bytes)) return TextEncoding::Windows1252;
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return TextEncoding::Utf8;
    return plainAscii;
}

std::string ShownUtf8(std::string_view bytes) {
    if (IsUtf8(bytes)) return std::string(bytes);
    std::string shown;
    shown.reserve(bytes.size() * 2);
    for (char c : bytes) AppendUtf8(shown, Windows1252Character(static_cast<unsigned char>(c)));
    return shown;
}

std::string EncodeText(std::string_view utf8, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8 || !IsUtf8(utf8)) return std::string(utf8);
    std::string encoded;
    encoded.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        size_t length = SequenceLength(utf8, i);
        int byte = Windows1252Byte(DecodeSequence(utf8, i, length));
        if (byte < 0) return std::string(utf8);  // a character Windows-1252 cannot hold
        encoded.push_back(static_cast<char>(byte));
        i += length;
    }
    // Bytes that are also UTF-8 would read back as other text ("Gro\xDF\x85" as "Gro" and
    // U+07C5): such a text stays UTF-8. Plain ASCII is the same in both.
    return IsUtf8(encoded) ? std::string(utf8) : encoded;
}

char32_t NextCharacter(std::string_view bytes, size_t& i) {
    const size_t length = SequenceLength(bytes, i);
    if (length == 0) return Windows1252Character(static_cast<unsigned char>(bytes[i++]));
    const char32_t c = DecodeSequence(bytes, i, length);
    i += length;
    return c;
}

char32_t FoldCase(char32_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
    if (c < 0x100) {
        if (c == 0xB5) return 0x3BC;  // micro sign: mu
        return c >= 0xC0 && c <= 0xDE && c != 0xD7 ? c + 0x20 : c;
    }
    if (c < 0x180) {  // Latin Extended-A: capital and small letters in pairs
        switch (c) {
            case 0x130:
                return 'i';  // I with dot above
            case 0x178:
                return 0xFF;  // Y with diaeresis
            case 0x17F:
                return 's';  // long s
            case 0x131:
            case 0x138:
            case 0x149:
                return c;  // no capital of their own here
        }
        const bool oddCapital = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        return (c % 2 == 1) == oddCapital ? c + 1 : c;
    }
    if (c >= 0x386 && c <= 0x3AB) {  // Greek capitals
        if (c == 0x386) return 0x3AC;
        if (c >= 0x388 && c <= 0x38A) return c + 37;
        if (c == 0x38C) return 0x3CC;
        if (c == 0x38E || c == 0x38F) return c + 63;
        return c >= 0x391 && c != 0x3A2 ? c + 0x20 : c;
    }
    if (c == 0x3C2) return 0x3C3;    // final sigma
    if (c >= 0x400 && c <= 0x52F) {  // Cyrillic
        if (c <= 0x40F) return c + 0x50;
        if (c <= 0x42F) return c + 0x20;
        if (c == 0x4C0) return 0x4CF;
        const bool evenCapital =
            (c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || c >= 0x4D0;
        if (evenCapital) return c % 2 == 0 ? c + 1 : c;
        return c >= 0x4C1 && c <= 0x4CE && c % 2 == 1 ? c + 1 : c;
    }
    switch (c) {
        case 0x1E9E:
            return 0xDF;  // capital sharp s
        case 0x212A:
            return 'k';  // Kelvin sign
        case 0x212B:
            return 0xE5;  // Angstrom sign
    }
    return c;
}

std::string Utf8FromUtf16(std::string_view bytes, bool littleEndian) {
    auto unit = [&](size_t at) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        return littleEndian ? first | second << 8 : first << 8 | second;
    };
    std::string utf8;
    utf8.reserve(bytes.size());
    auto put = [&utf8](char32_t c) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else if (c < 0x800) {
            utf8 += static_cast<char>(0xC0 | c >> 6);
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            utf8 += static_cast<char>(0xE0 | c >> 12);
            utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            utf8 += static_cast<char>(0xF0 | c >> 18);
            utf8 += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            utf8 += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    };
    size_t at = 0;
    for (; at + 1 < bytes.size(); at += 2) {
        const char32_t c = unit(at);
        if (c >= 0xD800 && c < 0xDC00 && at + 3 < bytes.size()) {
            const char32_t low = unit(at + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                put(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                at += 2;
                continue;
            }
        }
        put(c >= 0xD800 && c < 0xE000 ? 0xFFFD : c);
    }
    if (at < bytes.size()) put(0xFFFD);
    return utf8;
}

}  // namespace vorlisk
