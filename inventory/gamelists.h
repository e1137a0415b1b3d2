#pragma once
// The catalogue in memory: the sorted list of names (each with a link to its record) and the
// unsorted list of records in the order they were added.

#include <string>
#include <utility>
#include <vector>

namespace vorlisk {

// The sort key of a name: alphabetical without regard to case, in the user's locale
// (the C library's collation of the current LC_COLLATE), ties broken by the bytes.
std::wstring NameSortKey(const std::string& name);

class GameLists {
  public:
    struct NameEntry {
        std::string name;
        std::wstring key;
        int link = 0;  // position of the game's record in the record list
    };

    int Count() const { return static_cast<int>(names_.size()); }
    const std::string& Name(int position) const { return names_[position].name; }
    int Link(int position) const { return names_[position].link; }
    const std::wstring& Key(int position) const { return names_[position].key; }
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
    std::vector<NameEntry> names_;
    std::vector<std::string> records_;
};

}  // namespace vorlisk
