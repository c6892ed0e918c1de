#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "run/lookup_index.h"

namespace tht {
namespace {

using Key = std::vector<std::string>;

std::string valueOf(const LookupIndex& index, std::size_t entry, std::size_t i) {
    return std::string(index.value(entry, i));
}

// Built by appending: GCC 12 warns a false -Wrestrict on "K" + std::to_string(i).
std::string keyOf(int i) {
    std::string key = "K";
    key += std::to_string(i);
    return key;
}

TEST(LookupIndex, KeysOfViewsFindTheFirstRecordAsTheIndexGrows) {
    LookupIndex index(1);
    // Enough records to make the slots grow several times, each key twice.
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 1000; ++i) {
            const std::string key = keyOf(i);
            if (const auto entry = index.add(std::array<std::string_view, 1>{key}))
                index.setValue(*entry, 0, std::to_string(round));
        }
    EXPECT_EQ(index.size(), 1000u);
    for (int i = 0; i < 1000; ++i) {
        const std::string key = keyOf(i);
        const auto entry = index.find(std::array<std::string_view, 1>{key});
        ASSERT_TRUE(entry) << i;
        EXPECT_EQ(valueOf(index, *entry, 0), "0");
    }
    EXPECT_FALSE(index.find(std::array<std::string_view, 1>{"K1000"}));
    EXPECT_FALSE(index.find(std::array<std::string_view, 1>{"k1"}));  // letter case counts
    EXPECT_FALSE(LookupIndex(1).find(std::array<std::string_view, 1>{"K1"}));
}

TEST(LookupIndex, FirstRecordKeepsItsKeyAndTextComesBackExactly) {
    LookupIndex index(2);
    // Parts that join to the same text are still different keys, whatever
    // bytes they hold; every byte of the page comes back as it went in.
    const struct {
        Key key;
        std::string a, b;
    } records[] = {
        {{"a", "bc"}, "first", ""},
        {{"ab", "c"}, "\xF1\xFF", std::string(1, '\0')},
        {{"a", "bc"}, "second", "x"},  // a later record with the same key
        {{"", ""}, "blank", "\x80"},
        {{"a\xFF", "b"}, "ff", "1"},
        {{"a", "\xFF" "b"}, "ff", "2"},
    };
    for (const auto& r : records) {
        if (const auto entry = index.add(r.key)) {
            index.setValue(*entry, 0, r.a);
            index.setValue(*entry, 1, r.b);
        }
    }
    EXPECT_EQ(index.size(), 5u);
    for (const std::size_t i : {0u, 1u, 3u, 4u, 5u}) {
        const auto entry = index.find(records[i].key);
        ASSERT_TRUE(entry) << i;
        EXPECT_EQ(valueOf(index, *entry, 0), records[i].a);
        EXPECT_EQ(valueOf(index, *entry, 1), records[i].b);
    }
    EXPECT_FALSE(index.find(Key{"abc", ""}));
    EXPECT_FALSE(index.find(Key{"A", "bc"}));  // exact, letter case included
}

TEST(LookupIndex, ManyKeys) {
    LookupIndex index(1);
    constexpr int kKeys = 100'000;
    for (int i = 0; i < kKeys; ++i) {
        const std::string n = std::to_string(i);
        const auto entry = index.add(Key{n});
        ASSERT_TRUE(entry);
        index.setValue(*entry, 0, std::string(n.rbegin(), n.rend()));
    }
    for (int i = 0; i < kKeys; i += 997) {
        const std::string n = std::to_string(i);
        const auto entry = index.find(Key{n});
        ASSERT_TRUE(entry);
        EXPECT_EQ(valueOf(index, *entry, 0), std::string(n.rbegin(), n.rend()));
    }
    EXPECT_FALSE(index.find(Key{"-1"}));
}

TEST(LookupIndex, ErrorsOnlyWhereTheyAreUsed) {
    LookupIndex index(2);
    const auto entry = index.add(Key{"K"});
    ASSERT_TRUE(entry);
    index.setValue(*entry, 0, "good");
    index.setError(*entry, 1, std::make_exception_ptr(std::runtime_error("unreadable")));
    EXPECT_EQ(valueOf(index, *entry, 0), "good");
    EXPECT_THROW(valueOf(index, *entry, 1), std::runtime_error);

    LookupIndex unusable(0);
    EXPECT_FALSE(unusable.find(Key{"K"}));
    unusable.setUnusable(std::make_exception_ptr(std::runtime_error("no key field")));
    EXPECT_THROW(unusable.find(Key{"K"}), std::runtime_error);
}

}  // namespace
}  // namespace tht
