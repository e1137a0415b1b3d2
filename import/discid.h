#pragma once
// The game ID of a PlayStation disc and the table of known games, games.txt.
//
// A PlayStation disc names its boot program in the first line of system.cnf in its root,
// for example "BOOT = cdrom:\SLUS_005.94;1"; the program's file name carries the game ID
// (SLUS-00594). games.txt holds one known game per line: the ID in columns 1 to 10, a blank,
// the name from column 12 up to the first TAB, then free text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vorlisk {

// The game ID cut out of a boot line: from where "cdrom:" begins (case ignored), the next
// "S" (case ignored) at p; then 4 characters from p, "-", 3 characters from p + 5 and 2 from
// p + 9, in upper case. A piece that runs past the end of the line is shorter or empty.
// Empty when the line has no "cdrom:" or no S after it.
std::string GameIdFromBootLine(const std::string& line);

// The boot line in the first bytes of a system.cnf: everything before the first CR or LF, or
// all of `head` when it has no line end. At most kBootLineLimit bytes of the file are read.
inline constexpr size_t kBootLineLimit = 64 * 1024;
std::string FirstLineOf(std::string head);

// The first line of the file at `path` (FirstLineOf its first kBootLineLimit bytes). Empty
// when the file cannot be read.
std::string ReadBootLine(const std::string& path);

// The names of the plain files of one folder, as one listing of it gave them, found without
// regard to the case of their letters.
class FolderListing {
  public:
    // `folder` is empty or ends in a separator.
    FolderListing(std::string folder, std::vector<std::string> names);
    const std::string& Folder() const { return folder_; }
    // The names, in listing order.
    const std::vector<std::string>& Names() const { return names_; }
    // The listed names that differ from `name` in the case of their letters at most, in
    // listing order.
    std::vector<std::string> NamesLike(const std::string& name) const;

  private:
    std::string folder_;
    std::vector<std::string> names_;
    // (hash of the name with its letters lowered, position in names_), in that order: no
    // allocation per name, for a listing may hold tens of thousands.
    std::vector<std::pair<uint64_t, uint32_t>> byLowerHash_;
};

// The path of the non-empty plain file `name` in `folder` (empty, or ending in a separator):
// `folder` + `name` when it exists, else that of a file whose name differs from `name` only
// in the case of its letters. Empty when there is none. `listing`, when it is a listing of
// `folder`, is looked through instead of listing the folder again.
std::string FindFileIgnoringCase(const std::string& folder, const std::string& name,
                                 const FolderListing* listing = nullptr);

// The folder part of `path` with its separator at the end; empty for a bare name.
std::string FolderOf(const std::string& path);

// The path of the file that a cue sheet or a playlist in `sheetFolder` (empty, or ending in a
// separator) names as `named`: taken relative to that folder unless it is absolute, Windows
// separators accepted everywhere, found as FindFileIgnoringCase finds it. A sheet moved with
// its files may still name the folder it came from: the bare name beside the sheet is tried
// next. A name written in Windows-1252 finds a file whose name is the same text in UTF-8, and
// the other way round. Empty when there is no such file.
std::string FindNamedFile(const std::string& sheetFolder, std::string named,
                          const FolderListing* listing = nullptr);

// The game ID of the PlayStation disc in one of the CD-ROM drives, or empty.
// `cdromRoots` are the drives' root folders, each ending in a separator, in the order they
// are searched. A drive whose root holds no non-empty system.cnf (the name's case does not
// matter) is skipped; the first drive that has one ends the search, whatever its first line
// gives.
std::string GetDiscGameId(const std::vector<std::string>& cdromRoots);

// The name of the game `id` in the table at `gamesTxtPath`: of every line that contains
// `id` (case ignored), the columns 12 up to the first TAB; the last such line wins. A
// matching line without a TAB, or with its first TAB before column 12, ends the look-up
// with what was found so far. Empty when nothing matches, when `id` is empty or when the
// table cannot be read.
// `failure`, when given, is set to why a games.txt that is there could not be read (to its end).
std::string LookupGameName(const std::string& gamesTxtPath, const std::string& id,
                           std::string* failure = nullptr);

}  // namespace vorlisk
