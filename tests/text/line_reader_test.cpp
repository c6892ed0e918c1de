#include <gtest/gtest.h>

#include "platform/error.h"
#include "support/temp_dir.h"
#include "text/line_reader.h"

namespace tht {
namespace {

// The lines decoded; every case also checks that the lines given as bytes
// are the same lines, with the same numbers.
std::vector<std::u32string> readAll(std::string bytes, const CodePage& cp = CodePage::windows1252()) {
    LineReader reader(std::make_unique<MemorySource>(bytes), cp);
    std::vector<std::u32string> lines;
    for (std::u32string line; reader.next(line);) lines.push_back(line);
    LineReader byteReader(std::make_unique<MemorySource>(std::move(bytes)), cp);
    std::size_t i = 0;
    for (std::string_view line; byteReader.next(line); ++i) {
        EXPECT_EQ(cp.decode(line), i < lines.size() ? lines[i] : U"(more lines than decoded)");
        EXPECT_EQ(byteReader.lineNumber(), static_cast<std::int64_t>(i) + 1);
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
        {"\xEF\xBB\xBF" "0TAG", {U"\u00EF\u00BB\u00BF0TAG"}},
    };
    for (const auto& c : cases) EXPECT_EQ(readAll(c.bytes), c.lines) << testing::PrintToString(c.bytes);
}

TEST(LineReader, DecodesThroughTheCodePage) {
    EXPECT_EQ(readAll("Espa\xF1" "a \x80"), Lines{U"Espa\u00F1a \u20AC"});
    // UTF-8 bytes read through cp1252: each accented letter becomes two characters.
    EXPECT_EQ(readAll("\xC3\xB1" "x"), Lines{U"\u00C3\u00B1x"});
    EXPECT_EQ(readAll("\xC3\xB1" "x", CodePage::open("UTF-8")), Lines{U"\u00F1x"});
}

TEST(LineReader, LongLinesAcrossChunks) {
    std::string big(200000, 'x');
    const Lines lines = readAll(big + "\r\n" + big.substr(0, 70000) + "\x1A" + "tail");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 200000u);
    EXPECT_EQ(lines[1].size(), 70000u);
}

TEST(LineReader, LineNumbers) {
    LineReader reader(std::make_unique<MemorySource>("a\nb\n"), CodePage::windows1252());
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
