#include <gtest/gtest.h>

#include "export/hours.h"

namespace tht {
namespace {

TEST(Hours, TextToStoredHours) {
    const struct {
        std::u32string text;
        std::optional<double> hours;
    } cases[] = {
        {U"", 1},        {U"2", 2},        {U"4,5", 4.5},   {U"4.5", 4.5},     {U"0", 1},    {U"0,5", 1},
        {U"-3", 1},      {U"+2", 2},       {U"1.", 1},      {U".5e1", 5},      {U"1E1", 10}, {U"999999", 999999},
        {U"1,5,", {}},   {U"abc", {}},     {U" 2", {}},     {U"2 ", {}},       {U".", {}},   {U"1e", {}},
        {U"1,2.3", {}},  {U"inf", {}},     {U"1e999", {}},  {U"\u0661", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(weeklyHours(c.text), c.hours) << std::string(c.text.begin(), c.text.end());
}

TEST(Hours, LessonPatterns) {
    const struct {
        double hours;
        std::u32string pattern;
    } cases[] = {
        {1, U"1"},
        {1.5, U"1\u00BD"},
        {2, U"11"},
        {4.5, U"1111\u00BD"},
        {13, U"1111111111111"},
        {14, U"11111111111111"},
        {15.5, U"21111111111111\u00BD"},
        {25, U"121111111111111"},
        {999999, U"9999861111111111111"},
    };
    for (const auto& c : cases) EXPECT_EQ(lessonPattern(c.hours), c.pattern) << c.hours;
}

}  // namespace
}  // namespace tht
