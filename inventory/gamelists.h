#pragma once
// The catalogue in memory: the sorted list of names (each with a link to its record) and the
// unsorted list of records in the order they were added.

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace vorlisk {

// The sort key of a name: alphabetical without regard to case, in the user's locale
// (the C library's collation of the current LC_COLLATE), ties broken by the bytes. Names are
// ordered by comparing these keys; the keys themselves are not kept.
std::wstring NameSortKey(const std::string& name);

// The name at a position of a list of names.
using NameAt = std::function<const std::string&(size_t)>;

// The positions 0 to count - 1 ordered by the sort keys of their names; names whose keys are
// equal keep the order of their positions.
std::vector<size_t> NameOrder(size_t count, const NameAt& nameAt);

// For `addedCount` names `added(k)` in key order, the place of each among `listedCount` names
// `listed(i)`, also in key order: the number of listed names whose keys are not greater.
// So a listed name stays before an added name with an equal key.
std::vector<size_t> PlacesAmong(size_t listedCount, const NameAt& listed, size_t addedCount,
                                const NameAt& added);

class GameLists {
  public:
    int Count() const { return static_cast<int>(names_.size()); }
    const std::string& Name(int position) const { return names_[position].name; }
    int Link(int position) const { return names_[position].link; }
    const std::string& Record(int link) const { return records_[link]; }
    // The record of the game at `position` of the name list.
    const std::string& RecordOf(int position) const { return records_[Link(position)]; }
    void SetRecord(int link, std::string record) { records_[link] = std::move(record); }

    // Adds a game in the three steps: the name goes to its sorted place (after names that
    // compare equal), the record is appended, the name's link is set. Answers the name's position.
    int AddGame(std::string name, std::string record);
    // Adds many games at once; the same result as adding them one by one, in that order.
    void AddGames(std::vector<std::pair<std::string, std::string>> games);
    // Removes the game at `position` of the name list with its record; every other game
    // keeps its own record.
    void RemoveGame(int position);
    void Clear();

    // Position of the first name equal to `name` (exact), or -1.
    int FindName(const std::string& name) const;
    // Position of the first game with this name and record, else FindName(name).
    int FindGame(const std::string& name, const std::string& record) const;

  private:
    struct NameEntry {
        std::string name;
        int link = 0;  // position of the game's record in the record list
    };

    std::vector<NameEntry> names_;
    std::vector<std::string> records_;
};

}  // namespace vorlisk
