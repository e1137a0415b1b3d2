#include "inventory/gamelists.h"

#include <algorithm>
#include <clocale>
#include <cwchar>
#include <cwctype>
#include <string_view>

#include "system/asciicase.h"

namespace vorlisk {

namespace {

// The name with its letters folded to lower case, as wide characters: ASCII directly,
// anything else decoded in the current locale. A byte that does not decode stands for
// itself in a private range, so that every name gets a key.
std::wstring DecodeFolded(const std::string& name) {
    std::wstring wide;
    wide.reserve(name.size() + 1);
    bool ascii = std::all_of(name.begin(), name.end(),
                             [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        for (char c : name) wide.push_back(static_cast<wchar_t>(LowerAscii(c)));
        return wide;
    }
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

// True when the collation of the current locale is the order of the characters' codes
// ("C", "POSIX", "C.UTF-8"): the folded text is then its own key.
bool CollatesByCode() {
    const char* locale = std::setlocale(LC_COLLATE, nullptr);
    if (!locale) return true;
    std::string_view name(locale);
    return name == "C" || name == "POSIX" || name.substr(0, 2) == "C.";
}

}  // namespace

std::wstring NameSortKey(const std::string& name) {
    std::wstring key = DecodeFolded(name);
    if (!CollatesByCode()) {
        size_t needed = std::wcsxfrm(nullptr, key.c_str(), 0);
        if (needed != static_cast<size_t>(-1)) {
            std::wstring collated(needed + 1, L'\0');
            std::wcsxfrm(collated.data(), key.c_str(), collated.size());
            collated.resize(needed);
            key = std::move(collated);
        }
    }
    // Names equal without regard to case still get a fixed order: by their bytes.
    key.reserve(key.size() + name.size() + 1);
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

int GameLists::FindGame(const std::string& name, const std::string& record) const {
    for (int i = 0; i < Count(); ++i)
        if (names_[i].name == name && RecordOf(i) == record) return i;
    return FindName(name);
}

}  // namespace vorlisk
