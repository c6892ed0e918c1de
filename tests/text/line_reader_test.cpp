#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/code_pages.h"
#include "support/temp_dir.h"
#include "text/line_reader.h"
#include "support/restrict_false_positive.h"

namespace tht {
namespace {

// The lines decoded; every case also checks that the lines given as bytes
// are the same lines, with the same numbers.
std::vector<std::u32string> readAll(std::string bytes, const CodePage& cp = windows1252(),
                                    bool utf8 = false) {
    LineReader reader(std::make_unique<MemorySource>(bytes), cp, utf8);
    std::vector<std::u32string> lines;
    std::vector<std::int64_t> numbers;
    for (std::u32string line; reader.next(line);) {
        lines.push_back(line);
        numbers.push_back(reader.lineNumber());
    }
    LineReader byteReader(std::make_unique<MemorySource>(std::move(bytes)), cp, utf8);
    std::size_t i = 0;
    for (std::string_view line; byteReader.next(line); ++i) {
        EXPECT_EQ(byteReader.codePage().decode(line), i < lines.size() ? lines[i] : U"(more lines than decoded)");
        EXPECT_EQ(byteReader.lineNumber(), i < numbers.size() ? numbers[i] : -1);
    }
    EXPECT_EQ(i, lines.size());
    return lines;
}

using Lines = std::vector<std::u32string>;

TEST(LineReader, LineBreaksCtrlZAndEnd) {
    const struct {
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"\n", {U""}},
        {"a", {U"a"}},
        {"a\n", {U"a"}},
        {"a\r\n", {U"a"}},
        {"a\nb", {U"a", U"b"}},
        {"a\n\nb\n", {U"a", U"", U"b"}},
        {"a\rb\rc\r", {U"abc"}},
        {"a\r\r\nb", {U"a", U"b"}},
        {"\r", {U""}},
        {"a\x1A" "b\nc", {U"a"}},
        {"a\n\x1A\n", {U"a"}},
        {"\x1A" "abc", {}},
        {"\xEF\xBB\xBF" "0TAG", {U"0TAG"}},  // the mark is dropped, and says UTF-8
        {"\xEF\xBB\xBF" "0T\xC3\xB1\n", {U"0T\u00F1"}},
        {"\xEF\xBB\xBF", {}},
        {"\xEF\xBB\xBF" "\x1A", {}},
        {std::string("1E\0OA\n", 6), {U"1E OA"}},  // a NUL reads as a space: columns stay where they were typed
    };
    for (const auto& c : cases) EXPECT_EQ(readAll(c.bytes), c.lines) << testing::PrintToString(c.bytes);
}

TEST(LineReader, DecodesThroughTheCodePage) {
    EXPECT_EQ(readAll("Espa\xF1" "a \x80"), Lines{U"Espa\u00F1a \u20AC"});
    // UTF-8 bytes read through cp1252: each accented letter becomes two characters.
    EXPECT_EQ(readAll("\xC3\xB1" "x"), Lines{U"\u00C3\u00B1x"});
    EXPECT_EQ(readAll("\xC3\xB1" "x", openCodePage("UTF-8")), Lines{U"\u00F1x"});
}

TEST(LineReader, LongLinesAcrossChunks) {
    std::string big(200000, 'x');
    const Lines lines = readAll(big + "\r\n" + big.substr(0, 70000) + "\x1A" + "tail");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 200000u);
    EXPECT_EQ(lines[1].size(), 70000u);
}

TEST(LineReader, Utf8LinesComeInTheTablesPage) {
    // Columns count characters: "García" is six, as its author sees it.
    EXPECT_EQ(readAll("Garc\xC3\xAD" "a|\xE2\x82\xAC|\xC5\x81\xF0\x9F\x98\x80?", windows1252(), true),
              Lines{U"Garc\u00EDa|\u20AC|???"});
    LineReader reader(std::make_unique<MemorySource>("a\n\xC5\x81\xC5\x81?\n"), windows1252(), true);
    for (std::string_view line; reader.next(line);) {
    }
    EXPECT_TRUE(reader.notes().readAsUtf8);
    EXPECT_EQ(reader.notes().unstorable.count, 2);  // the "?" typed as such is not counted
    EXPECT_EQ(reader.notes().unstorable.firstLine, 2);
}

THT_RESTRICT_FALSE_POSITIVE_BEGIN
TEST(LineReader, Utf8IsRecognisedOnlyWhenTheWholeFileIsUtf8WithMultiByteSequences) {
    test::TempDir dir;
    const std::string big(200000, 'x');
    const struct {
        std::string bytes;
        bool utf8;
    } cases[] = {
        {"Garc\xC3\xAD" "a\n", true},
        {"Garc\xED" "a\n", false},                       // windows-1252
        {"plain ascii\n", false},                      // reads the same either way
        {"\xC3\xAD\n" + big + "\xED\n", false},       // a windows-1252 byte beyond the first chunk
        {big + "\xC3\xAD\n", true},                    // the only sequence beyond the first chunk
        {"\xC3\xAD\x1A\xED", true},                     // nothing after Ctrl-Z is read, nor judged
        {"\xC3", false},                               // a sequence cut short
        {"\xC0\xAF", false},                           // an overlong form
        {"\xED\xA0\x80", false},                       // a surrogate
        {"\xEF\xBB\xBF" "ascii", true},                 // the mark says so
    };
    int n = 0;
    for (const auto& c : cases) {
        const auto path = dir.write("f" + std::to_string(n++) + ".txt", c.bytes);
        LineReader reader = LineReader::open(path, windows1252(), true);
        for (std::string_view line; reader.next(line);) {
        }
        EXPECT_EQ(reader.notes().readAsUtf8, c.utf8) << testing::PrintToString(c.bytes.substr(0, 20));
        LineReader named = LineReader::open(path, windows1252(), false);
        for (std::string_view line; named.next(line);) {
        }
        EXPECT_EQ(named.notes().readAsUtf8, c.bytes.starts_with("\xEF\xBB\xBF"));
    }
}
THT_RESTRICT_FALSE_POSITIVE_END

TEST(LineReader, PhysicalLineNumbersNulsAndLoneCarriageReturns) {
    const struct {
        std::string bytes;
        std::vector<std::int64_t> numbers;
        Tally loneCrs, nuls;
    } cases[] = {
        {"a\nb\n", {1, 2}, {}, {}},
        {"a\rb\rc\nd\n", {1, 4}, {2, 1}, {}},
        {"a\r\nb\rc\r\nd", {1, 2, 4}, {1, 2}, {}},
        {"a\r\r\nb", {1, 3}, {1, 1}, {}},
        {std::string("a\nb\0\0\nc\0", 8), {1, 2, 3}, {}, {3, 2}},
        {std::string(70000, 'x') + "\r\n" + std::string(70000, 'y') + "\ry\n", {1, 2}, {1, 2}, {}},
    };
    for (const auto& c : cases) {
        LineReader reader(std::make_unique<MemorySource>(c.bytes), windows1252());
        std::vector<std::int64_t> numbers;
        for (std::string_view line; reader.next(line);) {
            EXPECT_EQ(line.find('\0'), std::string_view::npos);
            numbers.push_back(reader.lineNumber());
        }
        const std::string shown = testing::PrintToString(c.bytes.substr(0, 20));
        EXPECT_EQ(numbers, c.numbers) << shown;
        EXPECT_EQ(reader.notes().loneCrs.count, c.loneCrs.count) << shown;
        EXPECT_EQ(reader.notes().loneCrs.firstLine, c.loneCrs.firstLine) << shown;
        EXPECT_EQ(reader.notes().nuls.count, c.nuls.count) << shown;
        EXPECT_EQ(reader.notes().nuls.firstLine, c.nuls.firstLine) << shown;
    }
}

TEST(LineReader, LineNumbers) {
    LineReader reader(std::make_unique<MemorySource>("a\nb\n"), windows1252());
    std::u32string line;
    reader.next(line);
    reader.next(line);
    EXPECT_EQ(reader.lineNumber(), 2);
}

TEST(LineReader, MissingOrFolderIsAnErrorNamingTheFile) {
    test::TempDir dir;
    for (const auto& p : {dir / "nope.txt", dir.path()}) {
        try {
            LineReader::open(p);
            FAIL() << "no error for " << p;
        } catch (const Error& e) {
            EXPECT_EQ(e.kindOf<FileError>(), FileError::Unreadable);
            EXPECT_EQ(e.context().file, p.string());
            EXPECT_NE(std::string(e.what()).find(p.string()), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace tht
