#include <gtest/gtest.h>

#include "charset/codepage.h"
#include "platform/code_pages.h"
#include "text/trim.h"

namespace tht {
namespace {

struct TrimCase {
    std::u32string in, all, left, right;
};

TEST(Trim, TrimsOnlySpaces) {
    const TrimCase cases[] = {
        {U"", U"", U"", U""},
        {U"   ", U"", U"", U""},
        {U"  ab cd   ", U"ab cd", U"ab cd   ", U"  ab cd"},
        {U"\tab\t", U"\tab\t", U"\tab\t", U"\tab\t"},
        {U"  \tx  ", U"\tx", U"\tx  ", U"  \tx"},
        {U"x \t  ", U"x \t", U"x \t  ", U"x \t"},
        {U"\u00A0a\u00A0", U"\u00A0a\u00A0", U"\u00A0a\u00A0", U"\u00A0a\u00A0"},
        // Long padding, as fixed columns have: runs shorter and longer than the blocks stepped over.
        {U"x" + std::u32string(16, U' '), U"x", U"x" + std::u32string(16, U' '), U"x"},
        {U"x\t" + std::u32string(37, U' '), U"x\t", U"x\t" + std::u32string(37, U' '), U"x\t"},
        {U"ab" + std::u32string(15, U' ') + U"c" + std::u32string(64, U' '), U"ab" + std::u32string(15, U' ') + U"c",
         U"ab" + std::u32string(15, U' ') + U"c" + std::u32string(64, U' '), U"ab" + std::u32string(15, U' ') + U"c"},
        {std::u32string(100, U' '), U"", U"", U""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AllTrim(c.in), c.all);
        EXPECT_EQ(LTrim(c.in), c.left);
        EXPECT_EQ(RTrim(c.in), c.right);
        EXPECT_EQ(std::u32string(trimmedView(c.in)), c.all);
        // The same trim on the bytes of a single-byte code page.
        const CodePage& cp = windows1252();
        EXPECT_EQ(std::string(trimmedView(std::string_view(cp.encode(c.in)))), cp.encode(c.all));
    }
}

TEST(Trim, Iniciales) {
    const std::pair<std::string, std::string> cases[] = {
        {"Lengua Castellana y Literatura", "CyL"},
        {"Dibujo  Tecnico", " T"},
        {"Historia ", ""},
        {"Historia  ", " "},
        {" Arte", "A"},
        {"", ""},
        {"X", ""},
        {"a\tb c", "c"},
        {"   ", "  "},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(Iniciales(in), out) << in;
}

}  // namespace
}  // namespace tht
