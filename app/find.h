#pragma once
// Finding a game in the list of names by part of its name.

#include <functional>
#include <string>

namespace vorlisk {

// The index of the first entry after `selected` (from entry 0 when `selected` is -1 or
// less) whose name contains `searchText`, case ignored: ASCII letters always, and other
// letters as the C library's towlower folds them under the current locale (the text is
// decoded with mbrtowc; bytes that do not decode compare as they are). -1 when no entry up
// to the last one does, or when `searchText` is empty: the search never wraps around.
// `nameAt(i)` gives the name of entry i, for 0 <= i < count.
int FindNextName(int count, const std::function<const std::string&(int)>& nameAt, int selected,
                 const std::string& searchText);

}  // namespace vorlisk
