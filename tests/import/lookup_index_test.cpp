#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "import/lookup_index.h"

namespace tht {
namespace {

using Key = std::vector<std::u32string>;

std::u32string valueOf(const LookupIndex& index, std::size_t entry, std::size_t i) {
    std::u32string out = U"left over";
    index.value(entry, i, out);
    return out;
}

TEST(LookupIndex, FirstRecordKeepsItsKeyAndTextComesBackExactly) {
    LookupIndex index(2);
    // Parts that join to the same text are still different keys; characters
    // outside the first plane and a lone surrogate come back as they went in.
    const struct {
        Key key;
        std::u32string a, b;
    } records[] = {
        {{U"a", U"bc"}, U"first", U""},
        {{U"ab", U"c"}, U"\u00F1\U0001F600", std::u32string(1, char32_t{0xD800})},
        {{U"a", U"bc"}, U"second", U"x"},  // a later record with the same key
        {{U"", U""}, U"blank", U"\u20AC"},
    };
    for (const auto& r : records) {
        if (const auto entry = index.add(r.key)) {
            index.setValue(*entry, 0, r.a);
            index.setValue(*entry, 1, r.b);
        }
    }
    EXPECT_EQ(index.size(), 3u);
    for (const std::size_t i : {0u, 1u, 3u}) {
        const auto entry = index.find(records[i].key);
        ASSERT_TRUE(entry) << i;
        EXPECT_EQ(valueOf(index, *entry, 0), records[i].a);
        EXPECT_EQ(valueOf(index, *entry, 1), records[i].b);
    }
    EXPECT_FALSE(index.find(Key{U"abc", U""}));
    EXPECT_FALSE(index.find(Key{U"A", U"bc"}));  // exact, letter case included
}

TEST(LookupIndex, ManyKeys) {
    LookupIndex index(1);
    constexpr int kKeys = 100'000;
    for (int i = 0; i < kKeys; ++i) {
        const std::string n = std::to_string(i);
        const auto entry = index.add(Key{std::u32string(n.begin(), n.end())});
        ASSERT_TRUE(entry);
        index.setValue(*entry, 0, std::u32string(n.rbegin(), n.rend()));
    }
    for (int i = 0; i < kKeys; i += 997) {
        const std::string n = std::to_string(i);
        const auto entry = index.find(Key{std::u32string(n.begin(), n.end())});
        ASSERT_TRUE(entry);
        EXPECT_EQ(valueOf(index, *entry, 0), std::u32string(n.rbegin(), n.rend()));
    }
    EXPECT_FALSE(index.find(Key{U"-1"}));
}

TEST(LookupIndex, ErrorsOnlyWhereTheyAreUsed) {
    LookupIndex index(2);
    const auto entry = index.add(Key{U"K"});
    ASSERT_TRUE(entry);
    index.setValue(*entry, 0, U"good");
    index.setError(*entry, 1, std::make_exception_ptr(std::runtime_error("unreadable")));
    EXPECT_EQ(valueOf(index, *entry, 0), U"good");
    EXPECT_THROW(valueOf(index, *entry, 1), std::runtime_error);

    LookupIndex unusable(0);
    EXPECT_FALSE(unusable.find(Key{U"K"}));
    unusable.setUnusable(std::make_exception_ptr(std::runtime_error("no key field")));
    EXPECT_THROW(unusable.find(Key{U"K"}), std::runtime_error);
}

}  // namespace
}  // namespace tht
