#include "inventory/gamelists.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#include "inventory/collation.h"
#include "system/asciicase.h"

namespace vorlisk {

namespace {

// Hands `add` the name's characters folded to lower case, as wide characters: ASCII
// directly, anything else as the language folds it (AppendFolded).
template <typename Add>
void ForEachFolded(const std::string& name, Add&& add) {
    bool ascii = std::all_of(name.begin(), name.end(),
                             [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        for (char c : name) add(static_cast<wchar_t>(LowerAscii(c)));
        return;
    }
    std::wstring folded;
    AppendFolded(name, folded);
    for (wchar_t c : folded) add(c);
}

// Hands `add` the elements of the name's sort key, in order: the folded name (in a locale
// with a collation of its own, the C library's transformation of it), then 0, then each of
// the name's bytes plus 1, so that names equal without regard to case still get a fixed order.
template <typename Add>
void ForEachKeyElement(const std::string& name, Add&& add) {
    if (CollatesByCode()) {
        ForEachFolded(name, add);
    } else {
        std::wstring folded;
        folded.reserve(name.size() + 1);
        ForEachFolded(name, [&folded](wchar_t c) { folded.push_back(c); });
        std::optional<std::wstring> collated = CollationKey(folded);
        for (wchar_t c : collated ? *collated : folded) add(c);
    }
    add(L'\0');
    for (unsigned char c : name) add(static_cast<wchar_t>(c + 1));
}

// ---- ordering names without keeping their keys ----

// The first bytes of a name's sort key, each element written in one to five bytes so that
// comparing the bytes orders as comparing the elements does: the first byte tells how many
// bytes follow, and a larger element never takes fewer bytes. Bytes past the key's end are 0.
// Two abbreviations that differ order their names; equal ones order them only when both keys
// fit whole (they are then equal), otherwise the whole keys must decide.
constexpr size_t kAbbreviatedBytes = 43;

struct Abbreviation {
    unsigned char bytes[kAbbreviatedBytes] = {};
    bool whole = true;  // the whole key fit
    uint32_t position = 0;
};

class AbbreviationWriter {
  public:
    explicit AbbreviationWriter(Abbreviation& into) : into_(into) {}

    void operator()(wchar_t element) {
        // Key elements are character codes, 0 and collation weights: never negative.
        const auto value = static_cast<uint32_t>(element);
        const int more = value < 0x80         ? 0
                         : value < 0x4000     ? 1
                         : value < 0x200000   ? 2
                         : value < 0x10000000 ? 3
                                              : 4;
        static constexpr unsigned char kFirst[] = {0x00, 0x80, 0xC0, 0xE0, 0xF0};
        Put(more == 4 ? kFirst[4] : kFirst[more] | (value >> (8 * more)));
        for (int i = more - 1; i >= 0; --i) Put(value >> (8 * i));
    }

  private:
    void Put(uint32_t byte) {
        if (used_ == kAbbreviatedBytes)
            into_.whole = false;
        else
            into_.bytes[used_++] = static_cast<unsigned char>(byte);
    }

    Abbreviation& into_;
    size_t used_ = 0;
};

bool SameBytes(const Abbreviation& a, const Abbreviation& b) {
    return std::memcmp(a.bytes, b.bytes, kAbbreviatedBytes) == 0;
}

// Orders the entries of [first, last), whose abbreviations are equal, by their whole keys;
// entries with equal keys keep their order.
void OrderByWholeKeys(Abbreviation* first, Abbreviation* last, const NameAt& nameAt) {
    std::vector<std::pair<std::wstring, uint32_t>> keyed;
    keyed.reserve(static_cast<size_t>(last - first));
    for (Abbreviation* entry = first; entry != last; ++entry)
        keyed.emplace_back(NameSortKey(nameAt(entry->position)), entry->position);
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [key, position] : keyed) (first++)->position = position;
}

// The name folded as its key begins (ForEachFolded).
std::wstring Folded(const std::string& name) {
    std::wstring folded;
    folded.reserve(name.size());
    ForEachFolded(name, [&folded](wchar_t c) { folded.push_back(c); });
    return folded;
}

// The order of the keys of `a` and `b` (below, equal to or above 0, as the keys compare),
// given the names folded, found without making the keys: in a locale with a collation of its
// own, the C library compares two texts by it as their transformations compare, but stops at
// the first difference instead of transforming both whole.
int CompareKeys(const std::string& a, const std::wstring& foldedA, const std::string& b,
                const std::wstring& foldedB) {
    if (a == b) return 0;
    if (CollatesByCode()) {
        if (foldedA != foldedB) return foldedA.compare(foldedB);
        return NameSortKey(a).compare(NameSortKey(b));
    }
    const std::optional<int> collated = CollateFolded(foldedA, foldedB);
    // A text that cannot be collated, or two different ones that collate alike: the keys decide.
    if (!collated || (*collated == 0 && foldedA != foldedB))
        return NameSortKey(a).compare(NameSortKey(b));
    if (*collated != 0) return *collated;
    // Equal folded names: the keys go on with the bytes of the names.
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) {
                                            return static_cast<unsigned char>(x) <
                                                   static_cast<unsigned char>(y);
                                        })
               ? -1
               : 1;
}

}  // namespace

std::wstring NameSortKey(const std::string& name) {
    std::wstring key;
    key.reserve(name.size() * 2 + 1);
    ForEachKeyElement(name, [&key](wchar_t element) { key.push_back(element); });
    return key;
}

std::vector<size_t> NameOrder(size_t count, const NameAt& nameAt) {
    // The catalogue is saved in the list's order, so its names mostly come in order already;
    // seeing that, pair by pair, costs far less than making their keys.
    size_t inOrder = 1;
    if (count > 0) {
        std::wstring before = Folded(nameAt(0));
        for (; inOrder < count; ++inOrder) {
            std::wstring folded = Folded(nameAt(inOrder));
            if (CompareKeys(nameAt(inOrder - 1), before, nameAt(inOrder), folded) > 0) break;
            before = std::move(folded);
        }
    }
    if (inOrder >= count) {
        std::vector<size_t> order(count);
        for (size_t i = 0; i < count; ++i) order[i] = i;
        return order;
    }
    // Sorted by abbreviations, then by position: equal keys keep the order of their positions.
    std::vector<Abbreviation> entries(count);
    for (size_t i = 0; i < count; ++i) {
        entries[i].position = static_cast<uint32_t>(i);
        ForEachKeyElement(nameAt(i), AbbreviationWriter(entries[i]));
    }
    std::sort(entries.begin(), entries.end(), [](const Abbreviation& a, const Abbreviation& b) {
        int order = std::memcmp(a.bytes, b.bytes, kAbbreviatedBytes);
        return order != 0 ? order < 0 : a.position < b.position;
    });
    // Runs of equal abbreviations that hold a cut key and different names: their whole keys
    // decide. Equal names have equal keys and stay in position order.
    for (size_t first = 0; first < count;) {
        size_t last = first + 1;
        bool cut = !entries[first].whole;
        bool differ = false;
        for (; last < count && SameBytes(entries[last], entries[first]); ++last) {
            cut = cut || !entries[last].whole;
            differ = differ || nameAt(entries[last].position) != nameAt(entries[first].position);
        }
        if (cut && differ) OrderByWholeKeys(&entries[first], entries.data() + last, nameAt);
        first = last;
    }
    std::vector<size_t> order(count);
    for (size_t i = 0; i < count; ++i) order[i] = entries[i].position;
    return order;
}

std::vector<size_t> PlacesAmong(size_t listedCount, const NameAt& listed, size_t addedCount,
                                const NameAt& added) {
    // Each added name's place is at or after the place of the one before it: search onwards
    // from there in doubling steps, then halve the last step. Each added name costs the keys
    // of about twice the logarithm of how far it lands from the one before: few keys both for
    // a few names added to a long list and for two long lists merged.
    std::vector<size_t> places(addedCount);
    size_t from = 0;
    for (size_t k = 0; k < addedCount; ++k) {
        if (from == listedCount) {
            places[k] = from;
            continue;
        }
        const std::wstring key = NameSortKey(added(k));
        auto before = [&](size_t i) { return !(key < NameSortKey(listed(i))); };
        size_t step = 1;
        size_t to = from;
        while (to < listedCount && before(to)) {
            from = to + 1;
            to = from + step;
            step *= 2;
        }
        to = std::min(to, listedCount);
        // Now every listed name before `from` goes before the added one, none from `to` on.
        while (from < to) {
            size_t middle = from + (to - from) / 2;
            if (before(middle))
                from = middle + 1;
            else
                to = middle;
        }
        places[k] = from;
    }
    return places;
}

int GameLists::AddGame(std::string name, std::string record) {
    size_t place =
        PlacesAmong(
            names_.size(), [this](size_t i) -> const std::string& { return names_[i].name; }, 1,
            [&name](size_t) -> const std::string& { return name; })
            .front();
    names_.insert(names_.begin() + static_cast<std::ptrdiff_t>(place),
                  NameEntry{std::move(name), static_cast<int>(records_.size())});
    records_.push_back(std::move(record));
    return static_cast<int>(place);
}

void GameLists::AddGames(std::vector<std::pair<std::string, std::string>> games) {
    const std::vector<size_t> order = NameOrder(
        games.size(), [&games](size_t i) -> const std::string& { return games[i].first; });
    const std::vector<size_t> places = PlacesAmong(
        names_.size(), [this](size_t i) -> const std::string& { return names_[i].name; },
        order.size(), [&](size_t k) -> const std::string& { return games[order[k]].first; });

    std::vector<NameEntry> merged;
    merged.reserve(names_.size() + games.size());
    const int firstLink = static_cast<int>(records_.size());
    size_t listed = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        for (; listed < places[k]; ++listed) merged.push_back(std::move(names_[listed]));
        merged.push_back(
            {std::move(games[order[k]].first), firstLink + static_cast<int>(order[k])});
    }
    for (; listed < names_.size(); ++listed) merged.push_back(std::move(names_[listed]));
    names_ = std::move(merged);

    records_.reserve(records_.size() + games.size());
    for (auto& game : games) records_.push_back(std::move(game.second));
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
