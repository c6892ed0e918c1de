// The folder as the window's label shows it when it is too wide: measured
// here one unit per character.
#include <gtest/gtest.h>

#include "front_end/shortened_folder.h"

namespace tht {
namespace {

TEST(ShortenedFolder, MiddleFoldersGoFirstThenTheLeft) {
    const auto width = [](const std::u32string& text) { return static_cast<int>(text.size()); };
    const struct {
        std::u32string folder;
        int maxWidth;
        std::u32string shown;
    } cases[] = {
        {U"C:\\uno\\dos\\tres\\escuela", 23, U"C:\\uno\\dos\\tres\\escuela"},  // fits as it is
        {U"C:\\uno\\dos\\tres\\escuela", 22, U"C:\\…\\dos\\tres\\escuela"},
        {U"C:\\uno\\dos\\tres\\escuela", 17, U"C:\\…\\tres\\escuela"},
        {U"C:\\uno\\dos\\tres\\escuela", 12, U"C:\\…\\escuela"},
        {U"C:\\uno\\dos\\tres\\escuela", 11, U"…es\\escuela"},  // not even root and name: the end stays
        {U"C:\\una escuela muy larga", 10, U"…muy larga"},     // nothing in the middle to drop
        {U"Z:\\tmp\\Peña\\ñ", 9, U"Z:\\…\\ñ"},
    };
    for (const auto& c : cases) EXPECT_EQ(shortenFolder(c.folder, U'\\', width, c.maxWidth), c.shown) << c.maxWidth;
}

}  // namespace
}  // namespace tht
