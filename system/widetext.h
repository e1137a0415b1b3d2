#pragma once
// Windows only: the program's byte strings and the wide text of the Win32 calls. Bytes that are
// valid UTF-8 are read as UTF-8, any others in the ANSI code page (Windows-1252 on Western
// Windows), as the screen shows them; what Windows answers comes back as UTF-8, which reads
// back the same. File names of any script are so found, and catalogues written by programs
// that know only the code page keep working.

#include <string>
#include <string_view>

namespace vorlisk {

std::wstring WideText(std::string_view bytes);
std::string Utf8Text(std::wstring_view wide);
// What Windows says of the error of the last call that failed (GetLastError).
std::string LastErrorText();

}  // namespace vorlisk
