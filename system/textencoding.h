#pragma once
// How the bytes of the user's files become text on the screen and back, without loss.
//
// Catalogues written on Windows hold Windows-1252 bytes, those written on Linux UTF-8. A byte
// string that is valid UTF-8 is shown as UTF-8; any other is shown as Windows-1252, its five
// unassigned bytes (81, 8D, 8F, 90 and 9D hexadecimal) as the control characters of the same
// number. Every byte string therefore has exactly one shown text, and a text shown from
// Windows-1252 turns back into the very same bytes.

#include <string>
#include <string_view>

namespace vorlisk {

enum class TextEncoding { Utf8, Windows1252 };

// True when `bytes` are well-formed UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF. NUL and other control characters are allowed.
bool IsUtf8(std::string_view bytes);

// The encoding `bytes` were written in: Windows-1252 when they are not UTF-8, UTF-8 when
// they are and hold a byte above 7F, and `plainAscii` when every byte is ASCII (which both
// encodings write alike).
TextEncoding EncodingOf(std::string_view bytes, TextEncoding plainAscii);

// The text shown for `bytes`, as UTF-8: the bytes themselves when they are UTF-8, otherwise
// their Windows-1252 reading.
std::string ShownUtf8(std::string_view bytes);

// `utf8` written in `encoding`: in Windows-1252 when every character has a byte there (the
// five control characters above included) and those bytes read back as the same text (they
// are not also UTF-8, unless plain ASCII); otherwise, like any text for UTF-8, unchanged.
std::string EncodeText(std::string_view utf8, TextEncoding encoding);

// UTF-16 `bytes` (without their byte-order mark), little- or big-endian, as UTF-8. A surrogate
// without its partner becomes U+FFFD, and so does an odd last byte.
std::string Utf8FromUtf16(std::string_view bytes, bool littleEndian);

// The character that begins at byte `i` of `bytes`, read as either encoding may have written
// it: a well-formed UTF-8 sequence as its character, any other byte as its Windows-1252
// character. `i` moves past it.
char32_t NextCharacter(std::string_view bytes, size_t& i);

// `c` case-folded, for comparing texts without regard to case and without a locale: the
// capital letters of ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic become their small
// letters (final sigma becomes sigma; the micro, Kelvin and Angstrom signs, the long s and the
// capital sharp s become the letters they stand for); any other character stays itself.
char32_t FoldCase(char32_t c);

}  // namespace vorlisk
