#pragma once
// The filter text of the open-file chooser: pairs of a description and a pattern list, all
// separated by "|", the patterns of one list by ";", such as
// "ISO Images|*.iso;*.cue;*.ccd;*.bwt|All files (*.*)|*.*".

#include <string>
#include <vector>

namespace vorlisk {

// The filter as the Windows open-file dialog takes it: a "|" is appended unless the text
// already ends in one, then every "|" becomes a NUL. The result is a run of NUL-ended
// strings (description, patterns, description, patterns, ...); the NUL that ends the whole
// text, which doubly terminates the list, is the one c_str() adds.
std::string ConvertFilterText(std::string filter);

// The name filters of a Qt file chooser built from the filter text (in its "|" form or
// converted): one "Description (p1 p2 ...)" per pair, whose patterns are the ";"-separated
// list with blanks around each pattern removed. File names are case-sensitive on POSIX, so
// "*.*" becomes "*" (every file, also one without a dot) and a pattern "*.ext" brings its
// lower- and upper-case twins along ("*.iso *.ISO"). A pair without any pattern is left out;
// an empty string (two "|" in a row) ends the list, as it ends it for the Windows dialog.
std::vector<std::string> ChooserNameFilters(const std::string& filter);

}  // namespace vorlisk
