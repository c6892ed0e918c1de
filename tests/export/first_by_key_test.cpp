#include <gtest/gtest.h>

#include <string>

#include "export/first_by_key.h"

namespace tht {
namespace {

// Built by appending: GCC 12 warns a false -Wrestrict on "K" + std::to_string(i).
std::string keyOf(int i) {
    std::string key = "K";
    key += std::to_string(i);
    return key;
}

TEST(FirstByKey, TheFirstRecordOfEachKeyIsFound) {
    FirstByKey index(2);
    // Enough records to make the slots grow several times, each key twice.
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 1000; ++i) {
            index.add(keyOf(i), {"first " + std::to_string(round), std::string(i % 7, 'x')});
        }
    index.add("", {"empty key", ""});
    index.add("", {"second empty key", ""});
    FirstByKey::Found found;
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(index.find(keyOf(i), found)) << i;
        EXPECT_EQ(found.value(0), "first 0");
        EXPECT_EQ(found.value(1), std::string(i % 7, 'x'));
    }
    ASSERT_TRUE(index.find("", found));
    EXPECT_EQ(found.value(0), "empty key");
    EXPECT_FALSE(index.find("K1000", found));
    EXPECT_FALSE(index.find("k1", found));  // letter case counts
    EXPECT_FALSE(FirstByKey(1).find("K1", found));
}

}  // namespace
}  // namespace tht
