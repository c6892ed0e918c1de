#include <gtest/gtest.h>

#include "text/whole_file.h"

namespace tht {
namespace {

using Lines = std::vector<std::u32string>;

Lines split(std::string_view bytes) {
    TextLines t = TextLines::fromBytes(std::string(bytes), CodePage::windows1252());
    Lines out;
    for (std::size_t i = 0; i < t.size(); ++i) out.push_back(t.line(i));
    return out;
}

TEST(WholeFile, BreaksMarksAndNul) {
    const struct {
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a", {U"a"}},
        {"a\r\n", {U"a"}},
        {"a\rb\rc\r", {U"a", U"b", U"c"}},
        {"a\r\r\nb", {U"a", U"", U"b"}},
        {"a\n\rb", {U"a", U"", U"b"}},
        {"\n", {U""}},
        {"a\x1A" "b", {U"a\x1A" "b"}},
        {std::string("a\nb\0c\nd", 7), {U"a", U"b"}},
        {"\xEF\xBB\xBF" "0TAG\r\n1\xC3\xB1", {U"0TAG", U"1\u00F1"}},
        {std::string("\xFF\xFE" "a\0\r\0\n\0\xF1\0", 10), {U"a", U"\u00F1"}},
        {std::string("\xFE\xFF\0a\0\n\xD8\x3D\xDE\x00", 10), {U"a", U"\U0001F600"}},
        {"\xF1", {U"\u00F1"}},
        {"\xEF\xBB\xBF" "a\xC3\r\xB1\n\xC3\xB1", {U"a\uFFFD", U"\uFFFD", U"\u00F1"}},
    };
    for (const auto& c : cases) EXPECT_EQ(split(c.bytes), c.lines) << testing::PrintToString(c.bytes);
}

TEST(WholeFile, UnsplittableCodePagesAreDecodedFirst) {
    // In UTF-16 a line break byte can stand inside a character.
    const TextLines t = TextLines::fromBytes(std::string("\x0A\x01\x0D\x00\x0A\x00", 6), CodePage::open("UTF-16LE"));
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t.line(0), U"\u010A");
}

}  // namespace
}  // namespace tht
