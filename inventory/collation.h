#pragma once
// The order of names in the user's language, without regard to case: the C library's locale on
// Linux, the user's locale of Windows (as Explorer sorts) on Windows.

#include <optional>
#include <string>

namespace vorlisk {

// True when names are ordered by their characters' codes (the "C", "POSIX" and "C.*" locales
// of Linux): the folded name is then its own key.
bool CollatesByCode();

// Appends the characters of `name` folded to lower case. Linux decodes the name in the current
// locale, a byte that does not decode standing for itself in a private range; Windows decodes
// it as the screen shows it (UTF-8 when valid, else the ANSI code page).
void AppendFolded(const std::string& name, std::wstring& folded);

// The language's collation key of a folded name, whose elements compare as the names order;
// nothing when it cannot be made.
std::optional<std::wstring> CollationKey(const std::wstring& folded);

}  // namespace vorlisk
