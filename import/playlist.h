#pragma once
// Playlists (.m3u) that hold the discs of a game of several discs together: one disc image a
// line, such as "Game (Disc 1).cue".

#include <string>
#include <string_view>
#include <vector>

namespace vorlisk {

class FolderListing;

// True when `path` names a playlist: it ends in ".m3u", case ignored.
bool IsPlaylistName(std::string_view path);

// The paths of the disc images that the playlist at `playlistPath` lists, in its order. A line
// names one image, relative to the playlist's folder or absolute, and is found as a cue sheet's
// data file is found (FindNamedFile); a line naming no existing file is left out. Blanks around
// a line are ignored; blank lines and lines beginning with "#" are skipped; lines end at CR LF,
// LF or CR; a UTF-8 byte-order mark is skipped. At most kPlaylistLimit bytes are read.
// `listing`, a listing of a folder, spares listing that folder again.
inline constexpr size_t kPlaylistLimit = 64 * 1024;
std::vector<std::string> PlaylistDiscs(const std::string& playlistPath,
                                       const FolderListing* listing = nullptr);

}  // namespace vorlisk
