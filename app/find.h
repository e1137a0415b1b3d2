#pragma once
// Finding a game in the list of names by part of its name.

#include <functional>
#include <string>

namespace vorlisk {

// The index of the first entry after `selected` (from entry 0 when `selected` is -1 or
// less) whose name contains `searchText`, case ignored for every letter that FoldCase folds,
// in any locale. Names and text are read character by character as either encoding wrote
// them (see NextCharacter), so a name written in Windows-1252 is found by a text typed in
// UTF-8 and the other way round. -1 when no entry up to the last one does, or when
// `searchText` is empty: the search never wraps around. A name also matches when it contains
// `otherSpelling`, when given: the text in another encoding, which may read otherwise (the
// Windows-1252 bytes of "Ã©" read as the UTF-8 of "é"). One pass over the names finds either.
// `nameAt(i)` gives the name of entry i, for 0 <= i < count.
int FindNextName(int count, const std::function<const std::string&(int)>& nameAt, int selected,
                 const std::string& searchText, const std::string& otherSpelling = {});

}  // namespace vorlisk
