#include <gtest/gtest.h>

#include "platform/casefold.h"
#include "charset/codepage.h"
#include "platform/code_pages.h"
#include "platform/error.h"

namespace tht {
namespace {

TEST(CodePage, Windows1252RoundTrip) {
    const CodePage& cp = windows1252();
    EXPECT_TRUE(cp.isSingleByte());
    EXPECT_EQ(cp.decode("\x80\xBD\xF1\xD1"), U"\u20AC\u00BD\u00F1\u00D1");
    EXPECT_EQ(cp.encode(U"\u20AC\u00BD\u00F1\u00D1abc"), "\x80\xBD\xF1\xD1" "abc");
    EXPECT_EQ(cp.encode(U"\u4E2D\U0001F600"), "??");
    // 0x9D is undefined in cp1252: read as a control character, never written back.
    EXPECT_EQ(cp.encode(cp.decode("\x9D")), "?");
}

TEST(CodePage, LongMixedTextMatchesCharacterByCharacter) {
    // Long runs of ASCII take a faster path than other characters: both must agree.
    const CodePage& cp = windows1252();
    for (std::size_t length : {0u, 1u, 15u, 16u, 17u, 31u, 33u, 70u}) {
        for (std::size_t at = 0; at <= length; at += 5) {
            std::string bytes(length, 'a');
            for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>('A' + i % 26);
            if (at < length) bytes[at] = '\xF1';
            std::u32string expected;
            for (unsigned char b : bytes) expected.push_back(cp.decodeByte(b));
            EXPECT_EQ(cp.decode(bytes), expected) << length << " " << at;
            EXPECT_EQ(cp.encode(expected), bytes) << length << " " << at;
            std::u32string withUnmappable = expected;
            if (at < length) withUnmappable[at] = U'\u4E2D';
            std::string question = bytes;
            if (at < length) question[at] = '?';
            EXPECT_EQ(cp.encode(withUnmappable), question);
        }
    }
}

TEST(CodePage, OtherConverters) {
    EXPECT_EQ(openCodePage("ibm-850").decode("\xA4"), U"\u00F1");
    const CodePage utf8 = openCodePage("UTF-8");
    EXPECT_TRUE(utf8.isUtf8());
    EXPECT_EQ(utf8.encode(U"\u00F1"), "\xC3\xB1");
    EXPECT_EQ(openCodePage("ISO-8859-15").decode("\xA4"), U"\u20AC");
}

TEST(CodePage, NamesAsTuxaCodepageGivesThem) {
    // Each system knows the pages by its own means (ICU, Windows' numbers); the names are the same.
    const struct {
        const char* name;
        const char* byte;
        char32_t character;
    } cases[] = {{"windows-1252", "\x80", U'\u20AC'}, {"windows-1250", "\x8A", U'\u0160'}, {"cp850", "\xA4", U'\u00F1'},
                 {"ibm-437", "\xA4", U'\u00F1'},      {"ISO-8859-1", "\xA4", U'\u00A4'},  {"iso-8859-15", "\xA4", U'\u20AC'},
                 {"UTF-8", "\xC3\xB1", U'\u00F1'}};
    for (const auto& c : cases) EXPECT_EQ(openCodePage(c.name).decode(c.byte), std::u32string(1, c.character)) << c.name;
}

TEST(CodePage, UnknownNameIsAnError) {
    try {
        openCodePage("no-such-page");
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<FileError>(), FileError::CodePageUnknown);
        EXPECT_EQ(e.context().value, "no-such-page");
    }
}

TEST(CaseFold, PairsCapitalAndSmallLetters) {
    EXPECT_TRUE(equalsIgnoreCase(U"his", U"HIS"));
    EXPECT_TRUE(equalsIgnoreCase(U"\u00F1\u00E1", U"\u00D1\u00C1"));
    EXPECT_FALSE(equalsIgnoreCase(U"a", U"a "));
    EXPECT_LT(compareIgnoreCase(U"08:00", U"09:00"), 0);
    EXPECT_EQ(compareIgnoreCase(U"ab", U"AB"), 0);
    EXPECT_GT(compareIgnoreCase(U"83:0", U"10:20"), 0);
}

}  // namespace
}  // namespace tht
