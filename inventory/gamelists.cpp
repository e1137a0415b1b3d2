#include "inventory/gamelists.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <system_error>
#include <thread>

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
        if (!into_.whole) return;  // cut already: the rest of the key cannot matter
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

// In a locale with a collation of its own, a name's abbreviation is only the beginning of its
// key up to the first element below 2: the collation's first level, which the level separator
// 1, or the 0 after the transformation, ends. Abbreviations that differ order the names as
// their keys do: at the first difference either both hold an element of 2 or more, or the
// shorter goes on with 0 where its key has an element below 2 and the other with one above.
// Equal abbreviations never tell the order: the whole keys decide.
size_t PrimaryLength(const std::wstring& key) {
    size_t length = 0;
    while (length < key.size() && static_cast<uint32_t>(key[length]) >= 2) ++length;
    return length;
}

// The first level of the keys of names of printable ASCII characters, made from a table of each
// character's own instead of by the C library: in most languages such a name's first level is
// its characters' weights one after the other. Made, and usable, only when the language shows
// that for every pair of those characters, so that no two of them collate as one.
class AsciiPrimaries {
  public:
    AsciiPrimaries() {
        for (int c = ' '; c <= '~'; ++c)
            if (StaysFolded(c)) weights_[c] = Primary(std::wstring(1, static_cast<wchar_t>(c)));
        usable_ = true;
        for (int a = ' '; a <= '~' && usable_; ++a)
            for (int b = ' '; b <= '~' && usable_; ++b)
                if (StaysFolded(a) && StaysFolded(b))
                    usable_ = Primary({static_cast<wchar_t>(a), static_cast<wchar_t>(b)}) ==
                              weights_[a] + weights_[b];
    }

    // Hands `add` the first level of the name's key when the table holds it; false otherwise.
    template <typename Add>
    bool ForEachWeight(const std::string& name, Add&& add) const {
        if (!usable_ ||
            !std::all_of(name.begin(), name.end(), [](char c) { return c >= ' ' && c <= '~'; }))
            return false;
        for (char c : name)
            for (wchar_t weight : weights_[static_cast<unsigned char>(LowerAscii(c))]) add(weight);
        return true;
    }

  private:
    // Upper-case letters never reach a key: names are folded first.
    static bool StaysFolded(int c) { return c < 'A' || c > 'Z'; }

    static std::wstring Primary(const std::wstring& folded) {
        std::wstring key = CollationKey(folded).value_or(folded);  // as ForEachKeyElement
        key.resize(PrimaryLength(key));
        return key;
    }

    std::wstring weights_[128];
    bool usable_ = false;
};

// Hands `add` the first level of the name's key (PrimaryLength): from the table when it holds
// the name, else from the key that the C library makes.
template <typename Add>
void ForEachPrimaryElement(const std::string& name, const AsciiPrimaries& ascii, Add&& add) {
    if (ascii.ForEachWeight(name, add)) return;
    const std::wstring key = NameSortKey(name);
    for (size_t i = 0, length = PrimaryLength(key); i < length; ++i) add(key[i]);
}

// Writes the abbreviation of the first level of the name's key.
void AbbreviatePrimary(const std::string& name, const AsciiPrimaries& ascii, Abbreviation& into) {
    AbbreviationWriter write(into);
    ForEachPrimaryElement(name, ascii, write);
    into.whole = false;
}

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

// What the check of the names' order compares first: in a locale that orders by code, the
// folded name, with which the key begins; in one with a collation of its own (`ascii` given),
// the first level of the key (PrimaryLength).
std::wstring FirstPart(const std::string& name, const AsciiPrimaries* ascii) {
    std::wstring part;
    part.reserve(name.size());
    auto add = [&part](wchar_t c) { part.push_back(c); };
    if (ascii)
        ForEachPrimaryElement(name, *ascii, add);
    else
        ForEachFolded(name, add);
    return part;
}

// The order of the keys of `a` and `b` (below, equal to or above 0, as the keys compare),
// given their first parts: parts that differ order the keys, equal ones leave it to the keys.
int CompareKeys(const std::string& a, const std::wstring& partA, const std::string& b,
                const std::wstring& partB) {
    if (a == b) return 0;
    if (partA != partB) return partA.compare(partB);
    return NameSortKey(a).compare(NameSortKey(b));
}

}  // namespace

std::wstring NameSortKey(const std::string& name) {
    std::wstring key;
    key.reserve(name.size() * 2 + 1);
    ForEachKeyElement(name, [&key](wchar_t element) { key.push_back(element); });
    return key;
}

std::vector<size_t> NameOrder(size_t count, const NameAt& nameAt) {
    const bool byCode = CollatesByCode();
    const std::optional<AsciiPrimaries> ascii =
        byCode ? std::nullopt : std::optional<AsciiPrimaries>(std::in_place);
    // The catalogue is saved in the list's order, so its names mostly come in order already;
    // seeing that, pair by pair, costs far less than making their keys.
    size_t inOrder = 1;
    if (count > 0) {
        std::wstring before = FirstPart(nameAt(0), ascii ? &*ascii : nullptr);
        for (; inOrder < count; ++inOrder) {
            std::wstring part = FirstPart(nameAt(inOrder), ascii ? &*ascii : nullptr);
            if (CompareKeys(nameAt(inOrder - 1), before, nameAt(inOrder), part) > 0) break;
            before = std::move(part);
        }
    }
    if (inOrder >= count) {
        std::vector<size_t> order(count);
        for (size_t i = 0; i < count; ++i) order[i] = i;
        return order;
    }
    // Sorted by abbreviations, then by position: equal keys keep the order of their positions.
    // Making the keys costs the most: each half is abbreviated and sorted on a core of its
    // own, then the halves are merged.
    std::vector<Abbreviation> entries(count);
    auto before = [](const Abbreviation& a, const Abbreviation& b) {
        int order = std::memcmp(a.bytes, b.bytes, kAbbreviatedBytes);
        return order != 0 ? order < 0 : a.position < b.position;
    };
    auto sortPart = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) {
            entries[i].position = static_cast<uint32_t>(i);
            if (byCode)
                ForEachKeyElement(nameAt(i), AbbreviationWriter(entries[i]));
            else
                AbbreviatePrimary(nameAt(i), *ascii, entries[i]);
        }
        std::sort(entries.begin() + static_cast<std::ptrdiff_t>(from),
                  entries.begin() + static_cast<std::ptrdiff_t>(to), before);
    };
    // Below this many names a second thread costs more than it saves.
    constexpr size_t kNamesForTwoCores = 4096;
    const size_t half = count >= kNamesForTwoCores ? count / 2 : count;
    std::thread other;
    if (half < count) {
        try {
            other = std::thread(sortPart, half, count);
        } catch (const std::system_error&) {  // no thread to be had: one core does both
            sortPart(half, count);
        }
    }
    sortPart(0, half);
    if (other.joinable()) other.join();
    std::inplace_merge(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(half),
                       entries.end(), before);
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
