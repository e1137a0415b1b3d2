#pragma once
// playtime.txt: when each game was last played and for how long in all. One line a game:
// its ID, its name, the time it was last played (seconds since 1970, UTC) and the seconds
// played in all, separated by TABs. A game with an ID is known by its ID alone (its name is
// kept for the reader); a game without one by its name.

#include <optional>
#include <string>
#include <vector>

#include "system/files.h"

namespace vorlisk {

struct PlayTime {
    long long lastPlayed = 0;  // seconds since 1970, UTC
    long long seconds = 0;     // played in all
};

class PlayHistory {
  public:
    explicit PlayHistory(std::string path = {}) : path_(std::move(path)) {}

    // Reads the file; a line that is not of the form above is left out, a missing file is an
    // empty history.
    void Read();
    // What is known of the game with `id` (trimmed; empty when it has none) and `name`.
    std::optional<PlayTime> Of(const std::string& id, const std::string& name) const;
    // Adds `seconds` of play that ended at `endedAt` to the game's time.
    void Add(const std::string& id, const std::string& name, long long seconds, long long endedAt);
    // Writes the file as the catalogue is written: in place only once all of it is on the disk.
    WriteResult Save() const;

  private:
    struct Entry {
        std::string id;
        std::string name;
        PlayTime time;
    };
    // The entry of the game, or entries_.size().
    size_t IndexOf(const std::string& id, const std::string& name) const;

    std::string path_;
    std::vector<Entry> entries_;
};

}  // namespace vorlisk
