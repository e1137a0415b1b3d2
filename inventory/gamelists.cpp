#include "inventory/gamelists.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace vorlisk {

namespace {

// Decodes the bytes in the current locale; a byte that does not decode stands for itself
// in a private range, so that every name gets a key.
std::wstring DecodeFolded(const std::string& name) {
    std::wstring wide;
    wide.reserve(name.size());
    std::mbstate_t state{};
    const char* p = name.data();
    size_t left = name.size();
    while (left > 0) {
        wchar_t wc = 0;
        size_t used = std::mbrtowc(&wc, p, left, &state);
        if (used == 0) used = 1;  // an embedded NUL
        if (used == static_cast<size_t>(-1) || used == static_cast<size_t>(-2)) {
            wc = static_cast<wchar_t>(0xE000 + static_cast<unsigned char>(*p));
            used = 1;
            state = std::mbstate_t{};
        }
        wide.push_back(static_cast<wchar_t>(std::towlower(static_cast<wint_t>(wc))));
        p += used;
        left -= used;
    }
    return wide;
}

}  // namespace

std::wstring NameSortKey(const std::string& name) {
    std::wstring folded = DecodeFolded(name);
    std::wstring key;
    size_t needed = std::wcsxfrm(nullptr, folded.c_str(), 0);
    if (needed != static_cast<size_t>(-1)) {
        key.resize(needed + 1);
        std::wcsxfrm(key.data(), folded.c_str(), key.size());
        key.resize(needed);
    } else {
        key = folded;
    }
    // Names equal without regard to case still get a fixed order: by their bytes.
    key.push_back(L'\0');
    for (unsigned char c : name) key.push_back(static_cast<wchar_t>(c + 1));
    return key;
}

namespace {

bool KeyLess(const GameLists::NameEntry& a, const GameLists::NameEntry& b) { return a.key < b.key; }

}  // namespace

int GameLists::AddGame(std::string name, std::string record) {
    NameEntry entry{std::move(name), {}, static_cast<int>(records_.size())};
    entry.key = NameSortKey(entry.name);
    auto place = std::upper_bound(names_.begin(), names_.end(), entry, KeyLess);
    place = names_.insert(place, std::move(entry));
    records_.push_back(std::move(record));
    return static_cast<int>(place - names_.begin());
}

void GameLists::AddGames(std::vector<std::pair<std::string, std::string>> games) {
    size_t first = names_.size();
    names_.reserve(names_.size() + games.size());
    records_.reserve(records_.size() + games.size());
    for (auto& [name, record] : games) {
        NameEntry entry{std::move(name), {}, static_cast<int>(records_.size())};
        entry.key = NameSortKey(entry.name);
        names_.push_back(std::move(entry));
        records_.push_back(std::move(record));
    }
    auto middle = names_.begin() + static_cast<std::ptrdiff_t>(first);
    std::stable_sort(middle, names_.end(), KeyLess);
    std::inplace_merge(names_.begin(), middle, names_.end(), KeyLess);
}

void GameLists::RemoveGame(int position) {
    if (position < 0 || position >= Count()) return;
    int link = names_[position].link;
    records_.erase(records_.begin() + link);
    names_.erase(names_.begin() + position);
    for (auto& entry : names_)
        if (entry.link > link) --entry.link;
}

void GameLists::Clear() {
    names_.clear();
    records_.clear();
}

int GameLists::FindName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (names_[i].name == name) return i;
    return -1;
}

}  // namespace vorlisk
