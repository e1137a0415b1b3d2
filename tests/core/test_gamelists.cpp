#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "inventory/collation.h"
#include "inventory/gamelists.h"
#include "tests/core/scopedlocale.h"

namespace vorlisk {
namespace {

using Game = std::pair<std::string, std::string>;  // name, record

// The games in the order of the name list, each with the record its link reaches.
std::vector<Game> Listed(const GameLists& lists) {
    std::vector<Game> games;
    for (int i = 0; i < lists.Count(); ++i) games.emplace_back(lists.Name(i), lists.RecordOf(i));
    return games;
}

// Adds the games one by one, in this order.
void AddEach(GameLists& lists, const std::vector<Game>& games) {
    for (const auto& [name, record] : games) lists.AddGame(name, record);
}

// Every name links to a record of its own, and both lists hold the same number of entries.
void ExpectLinksDistinctAndInRange(const GameLists& lists) {
    std::set<int> links;
    for (int i = 0; i < lists.Count(); ++i) {
        EXPECT_GE(lists.Link(i), 0) << i;
        EXPECT_LT(lists.Link(i), lists.Count()) << i;
        links.insert(lists.Link(i));
    }
    EXPECT_EQ(static_cast<int>(links.size()), lists.Count());
}

TEST(GameLists, AddsKeepNamesSortedWithoutRegardToCase) {
    struct Case {
        std::vector<std::string> added;
        std::vector<std::string> listed;
    };
    const std::vector<Case> cases = {
        {{"banana", "Apple", "cherry", "apricot", "Banana split"},
         {"Apple", "apricot", "banana", "Banana split", "cherry"}},
        {{"zeta", "ZETA", "Zeta"}, {"ZETA", "Zeta", "zeta"}},  // equal names: a fixed order
        {{"Zeta", "zeta", "ZETA"}, {"ZETA", "Zeta", "zeta"}},  // whatever the order of adding
        {{"b", "", "a"}, {"", "a", "b"}},
        {{"Tekken 3", "Tekken 2", "tekken", "TEKKEN 10"},
         {"tekken", "TEKKEN 10", "Tekken 2", "Tekken 3"}},
    };
    for (const auto& c : cases) {
        GameLists lists;
        for (const auto& name : c.added) lists.AddGame(name, "record of " + name);
        std::vector<Game> expected;
        for (const auto& name : c.listed) expected.emplace_back(name, "record of " + name);
        EXPECT_EQ(Listed(lists), expected) << c.added.front();
        ExpectLinksDistinctAndInRange(lists);
    }
}

TEST(GameLists, AddGameAnswersThePositionAndLinksTheAppendedRecord) {
    GameLists lists;
    struct Step {
        std::string name;
        int position;
    };
    const std::vector<Step> steps = {{"m", 0}, {"x", 1}, {"c", 0}, {"M", 1}, {"zz", 4}, {"m", 3}};
    for (size_t i = 0; i < steps.size(); ++i) {
        const std::string record = "record " + std::to_string(i);
        int position = lists.AddGame(steps[i].name, record);
        EXPECT_EQ(position, steps[i].position) << steps[i].name;
        EXPECT_EQ(lists.Name(position), steps[i].name);
        EXPECT_EQ(lists.RecordOf(position), record);
        EXPECT_EQ(lists.Link(position), static_cast<int>(i)) << "records are appended";
        EXPECT_EQ(lists.Record(static_cast<int>(i)), record);
    }
    EXPECT_EQ(lists.Count(), static_cast<int>(steps.size()));
}

TEST(GameLists, EqualNamesKeepTheirOwnRecords) {
    GameLists lists;
    AddEach(lists, {{"Same", "first"}, {"Other", "other"}, {"Same", "second"}, {"Same", "third"}});
    EXPECT_EQ(Listed(lists),
              (std::vector<Game>{
                  {"Other", "other"}, {"Same", "first"}, {"Same", "second"}, {"Same", "third"}}));
    ExpectLinksDistinctAndInRange(lists);
}

TEST(GameLists, NameSortingFirstMovesTheOthersButNotTheirRecords) {
    GameLists lists;
    const std::vector<Game> games = {{"Medievil", "r1"}, {"Oddworld", "r2"}, {"Nightmare", "r3"}};
    AddEach(lists, games);
    std::vector<int> linksBefore;
    for (int i = 0; i < lists.Count(); ++i) linksBefore.push_back(lists.Link(i));

    EXPECT_EQ(lists.AddGame("ape escape", "r0"), 0);
    EXPECT_EQ(
        Listed(lists),
        (std::vector<Game>{
            {"ape escape", "r0"}, {"Medievil", "r1"}, {"Nightmare", "r3"}, {"Oddworld", "r2"}}));
    for (int i = 1; i < lists.Count(); ++i)
        EXPECT_EQ(lists.Link(i), linksBefore[static_cast<size_t>(i - 1)]) << "links stay";
}

// Removing any one game leaves every other name with its own record, whatever the order of
// the names against the order of the records.
TEST(GameLists, RemoveGameKeepsEveryOtherGamesRecord) {
    // Added in this order, so the record of "beta" comes first, "alpha" second, ...
    const std::vector<Game> added = {
        {"beta", "rb"}, {"alpha", "ra"}, {"delta", "rd"}, {"Gamma", "rg"}, {"alpha", "ra2"}};
    for (int removed = 0; removed < static_cast<int>(added.size()); ++removed) {
        GameLists lists;
        AddEach(lists, added);
        std::vector<Game> expected = Listed(lists);
        expected.erase(expected.begin() + removed);
        lists.RemoveGame(removed);
        EXPECT_EQ(Listed(lists), expected) << "removed position " << removed;
        ExpectLinksDistinctAndInRange(lists);
    }

    // The first of three by record order, which is in the middle of the name list.
    GameLists lists;
    AddEach(lists, {{"b", "rb"}, {"a", "ra"}, {"c", "rc"}});
    ASSERT_EQ(lists.Link(1), 0);
    lists.RemoveGame(1);
    EXPECT_EQ(Listed(lists), (std::vector<Game>{{"a", "ra"}, {"c", "rc"}}));
    ExpectLinksDistinctAndInRange(lists);
    // A game added afterwards gets a record of its own as well.
    lists.AddGame("b2", "rb2");
    EXPECT_EQ(Listed(lists), (std::vector<Game>{{"a", "ra"}, {"b2", "rb2"}, {"c", "rc"}}));
    ExpectLinksDistinctAndInRange(lists);

    // Positions outside the list change nothing.
    lists.RemoveGame(-1);
    lists.RemoveGame(lists.Count());
    EXPECT_EQ(lists.Count(), 3);
}

TEST(GameLists, BatchAddEqualsAddingOneByOne) {
    const std::vector<Game> first = {{"Crash", "c1"}, {"spyro", "s1"}};
    const std::vector<Game> batch = {
        {"Wipeout", "w"}, {"crash", "c2"},   {"", "empty"},       {"Crash", "c3"}, {"Abe", "a"},
        {"SPYRO", "s2"},  {"Wipeout", "w2"}, {"caf\xE9", "cafe"}, {"Zed", "z"},    {"a", "a2"}};
    struct Case {
        const char* what;
        std::vector<Game> before;
    };
    const std::vector<Case> cases = {{"into empty lists", {}}, {"after other games", first}};
    for (const auto& c : cases) {
        GameLists single;
        GameLists batched;
        AddEach(single, c.before);
        AddEach(single, batch);
        AddEach(batched, c.before);
        batched.AddGames(batch);

        ASSERT_EQ(batched.Count(), single.Count()) << c.what;
        for (int i = 0; i < single.Count(); ++i) {
            EXPECT_EQ(batched.Name(i), single.Name(i)) << c.what << " at " << i;
            EXPECT_EQ(batched.Link(i), single.Link(i)) << c.what << " at " << i;
            EXPECT_EQ(batched.RecordOf(i), single.RecordOf(i)) << c.what << " at " << i;
        }
        ExpectLinksDistinctAndInRange(batched);
    }
}

TEST(NameOrder, IsTheOrderOfTheKeysWhateverOrderTheNamesComeIn) {
    const std::vector<std::string> names = {
        "Crash", "crash", "CRASH", "Crash 2", "Crash-2", "Crash  2", "Abe", "abe's", "Ape Escape",
        "ApeEscape", "caf\xC3\xA9", "CAF\xC3\x89", "caf\xE9", "Cafe", "\xC3\x89toile", "Etoile",
        "Ni\xF1o", "Nino", "", " ", "Zed", "zed", "a\x81" "b", "42", "Final Fantasy", "final fantasy",
        "Crash"};
    for (const char* locale : {"C.UTF-8", "en_US.UTF-8"}) {
        testing::ScopedLocale scoped(locale);
        if (!scoped.Installed()) continue;
        // The order by the keys; equal keys keep the names' order.
        auto byKeys = [](const std::vector<std::string>& list) {
            std::vector<size_t> order(list.size());
            std::iota(order.begin(), order.end(), 0);
            std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
                return NameSortKey(list[a]) < NameSortKey(list[b]);
            });
            return order;
        };
        std::vector<std::string> sorted;
        for (size_t i : byKeys(names)) sorted.push_back(names[i]);
        std::vector<std::string> almostSorted = sorted;
        std::swap(almostSorted.back(), almostSorted[almostSorted.size() - 3]);
        std::vector<std::vector<std::string>> inputs = {names, sorted, almostSorted};
        std::mt19937 random(7);
        for (int i = 0; i < 20; ++i) {
            inputs.push_back(names);
            std::shuffle(inputs.back().begin(), inputs.back().end(), random);
        }
        for (const auto& input : inputs) {
            const std::vector<size_t> order =
                NameOrder(input.size(), [&](size_t i) -> const std::string& { return input[i]; });
            EXPECT_EQ(order, byKeys(input)) << locale;
        }
    }
}

// Thousands of names with accents in UTF-8 and in Windows-1252, punctuation, digits and case,
// and every name of one or two printable ASCII characters, come out in the order of the C
// library's keys of the folded names (names that fold alike by their bytes) whether they come
// sorted, nearly sorted, reversed, shuffled or in the order of a plain strcoll sort. (glibc's
// strcoll differs from its keys for names that differ only where punctuation stands: "1 a",
// " 1a" in en_US.)
TEST(NameOrder, IsTheCollationKeysOrderForManyNamesInAnyOrder) {
    const std::vector<std::string> words = {
        "Crash",         "crash",   "Caf\xC3\xA9", "CAF\xC3\x89", "caf\xE9", "Cafe",
        "\xC3\x89toile", "Ni\xF1o", "Nino",        "co-op",       "coop",    "abe's",
        "Ape",           "2",       "10",          "!bang",       "_under",  "Zed"};
    std::set<std::string> distinct;
    for (const std::string& a : words)
        for (const std::string& b : words)
            for (const char* join : {" ", "-", ": ", ""})
                for (const char* end : {"", " 2", "'s", " \xC3\xA0"})
                    distinct.insert(a + join + b + end);
    for (char a = ' '; a <= '~'; ++a) {
        distinct.insert(std::string(1, a));
        for (char b = ' '; b <= '~'; ++b) distinct.insert(std::string{a, b});
    }
    for (const char* locale : {"C.UTF-8", "en_US.UTF-8"}) {
        testing::ScopedLocale scoped(locale);
        if (!scoped.Installed()) continue;
        auto folded = [](const std::string& name) {
            std::wstring text;
            AppendFolded(name, text);
            return text;
        };
        auto key = [&](const std::string& name) {
            return std::make_pair(CollationKey(folded(name)).value_or(folded(name)), name);
        };
        std::vector<std::string> sorted(distinct.begin(), distinct.end());
        std::sort(sorted.begin(), sorted.end(), [&](auto& a, auto& b) { return key(a) < key(b); });
        std::vector<std::string> nearly = sorted, shuffled = sorted, byStrcoll = sorted;
        for (size_t i = 0; i + 1 < nearly.size(); i += 997) std::swap(nearly[i], nearly[i + 1]);
        std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(27));
        std::stable_sort(byStrcoll.begin(), byStrcoll.end(), [&](auto& a, auto& b) {
            const int order = std::wcscoll(folded(a).c_str(), folded(b).c_str());
            return order != 0 ? order < 0 : a < b;
        });
        const std::vector<std::string> reversed(sorted.rbegin(), sorted.rend());
        const std::pair<const char*, const std::vector<std::string>*> inputs[] = {
            {"sorted", &sorted},     {"nearly sorted", &nearly}, {"reversed", &reversed},
            {"shuffled", &shuffled}, {"by strcoll", &byStrcoll}};
        for (const auto& [how, input] : inputs) {
            std::vector<std::string> ordered;
            for (size_t i : NameOrder(
                     input->size(), [&](size_t i) -> auto& { return (*input)[i]; }))
                ordered.push_back((*input)[i]);
            EXPECT_TRUE(ordered == sorted) << locale << ", " << how;
        }
    }
}

TEST(GameLists, FindNameIsExact) {
    GameLists lists;
    AddEach(lists, {{"Tekken", "t1"}, {"tekken", "t2"}, {"Tekken", "t3"}, {"", "none"}});
    struct Case {
        std::string name;
        std::string record;  // of the game found; empty when none
    };
    const std::vector<Case> cases = {
        {"Tekken", "t1"}, {"tekken", "t2"}, {"TEKKEN", ""}, {"Tekk", ""}, {"", "none"}};
    for (const auto& c : cases) {
        int position = lists.FindName(c.name);
        if (c.record.empty()) {
            EXPECT_EQ(position, -1) << c.name;
        } else {
            ASSERT_GE(position, 0) << c.name;
            EXPECT_EQ(lists.Name(position), c.name);
            EXPECT_EQ(lists.RecordOf(position), c.record) << c.name;
        }
    }
    lists.Clear();
    EXPECT_EQ(lists.Count(), 0);
    EXPECT_EQ(lists.FindName("Tekken"), -1);
}

}  // namespace
}  // namespace vorlisk
