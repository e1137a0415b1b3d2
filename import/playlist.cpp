#include "import/playlist.h"

#include <algorithm>

#include "import/discid.h"
#include "system/asciicase.h"
#include "system/readonlyfile.h"

namespace vorlisk {

namespace {

// `text` without blanks and TABs at either end.
std::string_view Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

bool IsPlaylistName(std::string_view path) { return EndsWithIgnoringCase(path, ".m3u"); }

std::vector<std::string> PlaylistDiscs(const std::string& playlistPath,
                                       const FolderListing* listing) {
    std::string text = ReadOnlyFile(playlistPath).Read(0, kPlaylistLimit);
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);  // a UTF-8 mark
    const std::string folder = FolderOf(playlistPath);
    std::vector<std::string> discs;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        const std::string_view line = Trimmed(std::string_view(text).substr(start, end - start));
        if (!line.empty() && line[0] != '#')
            if (std::string disc = FindNamedFile(folder, std::string(line), listing); !disc.empty())
                discs.push_back(std::move(disc));
        start = end + 1;
    }
    return discs;
}

}  // namespace vorlisk
