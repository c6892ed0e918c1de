#include <gtest/gtest.h>

#include "text/whole_file.h"
#include "platform/code_pages.h"

namespace tht {
namespace {

using Lines = std::vector<std::u32string>;

Lines split(std::string_view bytes) {
    TextLines t = TextLines::fromBytes(std::string(bytes), windows1252());
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
        // A UTF-8 file comes in the tables' page, where what is no character is "?".
        {"\xEF\xBB\xBF" "a\xC3\r\xB1\n\xC3\xB1", {U"a?", U"?", U"\u00F1"}},
    };
    for (const auto& c : cases) EXPECT_EQ(split(c.bytes), c.lines) << testing::PrintToString(c.bytes);
}

TEST(WholeFile, Utf8IsRecognisedWhenAskedAndItsNotesKept) {
    const struct {
        std::string bytes;
        bool guess;
        Lines lines;
        bool utf8;
        Tally unstorable, nuls;
        std::optional<std::int64_t> linesAfterNul;
    } cases[] = {
        {"Garc\xC3\xAD" "a\r\n\xC5\x81?\n", true, {U"Garc\u00EDa", U"??"}, true, {1, 2}, {}, {}},
        {"Garc\xC3\xAD" "a\r\n", false, {U"Garc\u00C3\u00ADa"}, false, {}, {}, {}},
        {"Garc\xED" "a\r\n", true, {U"Garc\u00EDa"}, false, {}, {}, {}},
        {"ascii", true, {U"ascii"}, false, {}, {}, {}},
        {std::string("a\nb\0c\0\nd\n", 9), true, {U"a", U"b"}, false, {}, {2, 2}, 1},
        {std::string("a\nb\0", 4), false, {U"a", U"b"}, false, {}, {1, 2}, 0},
    };
    for (const auto& c : cases) {
        const std::string shown = testing::PrintToString(c.bytes);
        const TextLines t = TextLines::fromBytes(c.bytes, windows1252(), c.guess);
        Lines lines;
        for (std::size_t i = 0; i < t.size(); ++i) lines.push_back(t.line(i));
        EXPECT_EQ(lines, c.lines) << shown;
        EXPECT_EQ(t.notes().readAsUtf8, c.utf8) << shown;
        EXPECT_EQ(t.notes().unstorable.count, c.unstorable.count) << shown;
        EXPECT_EQ(t.notes().unstorable.firstLine, c.unstorable.firstLine) << shown;
        EXPECT_EQ(t.notes().nuls.count, c.nuls.count) << shown;
        EXPECT_EQ(t.notes().nuls.firstLine, c.nuls.firstLine) << shown;
        EXPECT_EQ(t.notes().linesAfterNul, c.linesAfterNul) << shown;
    }
}

TEST(WholeFile, UnsplittableCodePagesAreDecodedFirst) {
    // In UTF-16 a line break byte can stand inside a character.
    const TextLines t = TextLines::fromBytes(std::string("\x0A\x01\x0D\x00\x0A\x00", 6), openCodePage("UTF-16LE"));
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t.line(0), U"\u010A");
}

}  // namespace
}  // namespace tht
