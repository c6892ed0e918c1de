#include <gtest/gtest.h>

#include "charset/byte_map.h"
#include "charset/unicode.h"
#include "platform/code_pages.h"

namespace tht {
namespace {

TEST(ByteMap, OnlyBetweenSingleBytePagesWhosePrintableAsciiIsAscii) {
    const struct {
        const char* from;
        const char* to;
        bool mapped;
    } cases[] = {
        {"windows-1252", "windows-1252", true},
        {"ISO-8859-15", "windows-1252", true},
        {"ibm-850", "windows-1252", true},  // its control characters differ, its printable ASCII does not
        {"ISO-8859-7", "windows-1252", true},
        {"UTF-8", "windows-1252", false},
        {"Shift_JIS", "windows-1252", false},
        {"ibm-037", "windows-1252", false},  // EBCDIC: "A" is not byte 0x41
        {"windows-1252", "UTF-8", false},
    };
    for (const auto& c : cases) {
        const CodePage from = openCodePage(c.from), to = openCodePage(c.to);
        EXPECT_EQ(ByteMap::between(from, to).has_value(), c.mapped) << c.from << " to " << c.to;
    }
}

const char* const kPages[] = {"windows-1252", "ISO-8859-15", "ISO-8859-7", "windows-1253", "ibm-850"};

TEST(ByteMap, EachByteBecomesWhatItsCharacterBecomes) {
    const CodePage& tables = windows1252();
    for (const char* name : kPages) {
        const CodePage page = openCodePage(name);
        const auto map = ByteMap::between(page, tables);
        ASSERT_TRUE(map) << name;
        for (int b = 0; b < 256; ++b) {
            const std::string byte(1, static_cast<char>(b));
            EXPECT_EQ(std::string(1, map->map(static_cast<unsigned char>(b))), tables.encode(page.decode(byte)))
                << name << " byte " << b;
            EXPECT_EQ(map->unreadable(static_cast<unsigned char>(b)), page.decode(byte) == U"\uFFFD")
                << name << " byte " << b;
        }
    }
}

TEST(ByteMap, LongTextAsByteByByte) {
    // Runs of ASCII are stepped over sixteen or eight bytes at a time: lengths and places around that.
    for (const char* name : kPages) {
        const CodePage page = openCodePage(name);
        const auto map = ByteMap::between(page, windows1252());
        ASSERT_TRUE(map);
        for (std::size_t length : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 40u}) {
            for (std::size_t at = 0; at <= length; at += 3) {
                // 0xA4: ISO-8859-15 gives 0x80, which it would map again; 0x3F: a "?" that was one is not lost.
                for (unsigned char odd : {0xAE, 0xE1, 0x7F, 0x1A, 0x81, 0xD2, 0xA4, 0x3F}) {
                    std::string text(length, ' ');
                    for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + i % 26);
                    if (at < length) text[at] = static_cast<char>(odd);
                    if (length > 2) text[length - 1] = static_cast<char>(0xE9);
                    std::string expected;
                    std::size_t unreadable = 0, lost = 0;
                    for (unsigned char b : text) {
                        expected += map->map(b);
                        unreadable += map->unreadable(b);
                        lost += map->map(b) == '?' && b != '?';
                    }
                    std::string out = "<";
                    const ByteMap::Counts counts = map->append(text, out);
                    EXPECT_EQ(out, "<" + expected) << name << " " << length << " " << at << " " << int(odd);
                    EXPECT_EQ(counts.unreadable, unreadable) << name << " " << length << " " << at;
                    EXPECT_EQ(counts.lost, lost) << name << " " << length << " " << at << " " << int(odd);
                }
            }
        }
    }
}

}  // namespace
}  // namespace tht
