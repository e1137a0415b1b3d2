#pragma once
// Command lines as the program builds them and as the mount script holds them: one text that
// names a program and its arguments. They are split into separate arguments the way Windows
// splits a command line and then started directly, never through a shell.

#include <functional>
#include <string>
#include <vector>

namespace vorlisk {

// Splits `commandLine` into its words:
// - blanks and TABs outside double quotes separate words; runs of them count as one;
// - a double quote starts or ends a quoted stretch and is itself removed, so "a b" is one
//   word; a pair of quotes with nothing between them makes an empty word;
// - backslashes are literal, except before a double quote: 2n backslashes and a quote give
//   n backslashes and the quote toggles the quoted stretch; 2n+1 backslashes and a quote give
//   n backslashes and a literal quote.
// An unclosed quote runs to the end of the text. The first word is the program.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

// SplitCommandLine for a line that is to be started, with its program looked for on the disk:
// when the line begins unquoted, the program is the longest run of words, up to a blank
// before the first double quote, that names one (`isProgram` is true); the rest of the line
// gives the arguments. So an emulator path with blanks, written without quotes, starts, and a
// file planted at a shorter run (C:\Program for C:\Program Files\emu) never starts in its
// place. Without such a run the words of SplitCommandLine come back.
std::vector<std::string> SplitProgramAndArguments(
    const std::string& commandLine, const std::function<bool(const std::string&)>& isProgram);

// The folder, ending in its separator, of the program that `commandLine` starts when the line
// names it by a full Windows path (C:\Emu\emu.exe, \\server\share\emu.exe), the program found
// as SplitProgramAndArguments finds it; empty for a program given by its name alone or by a
// relative path. A Windows program starts there, as a shortcut's "Start in".
std::string WindowsProgramFolder(const std::string& commandLine,
                                 const std::function<bool(const std::string&)>& isProgram);

// The text that SplitCommandLine turns back into exactly `argument`: the argument itself when
// it holds no blank, TAB or double quote and is not empty, otherwise the argument in double
// quotes with its quotes and the backslashes before them escaped.
std::string QuoteArgument(const std::string& argument);

// The inside of a double-quoted stretch that SplitCommandLine reads back as `text`: a double
// quote becomes \" and backslashes before a quote or at the end are doubled. Text without
// double quotes and without a trailing backslash comes back unchanged.
std::string EscapeInsideQuotes(const std::string& text);

}  // namespace vorlisk
