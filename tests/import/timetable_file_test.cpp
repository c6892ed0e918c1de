#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "import/timetable_file.h"
#include "platform/code_pages.h"
#include "platform/error.h"
#include "charset/unicode.h"
#include "support/temp_dir.h"
#include "support/restrict_false_positive.h"

namespace tht {
namespace {

const LocalDateTime k1405{2024, 12, 9, 14, 5, 0};
const LocalDateTime k1407{2024, 12, 9, 14, 7, 0};
const std::u32string kTagAndSpaces = U"TUXA_HORARIO.TXT" + std::u32string(34, U' ');

TEST(TimetableFile, TitleAndTrailerLines) {
    EXPECT_EQ(titleLine(U"CENTRO01", k1405), U"0" + kTagAndSpaces + U"CENTRO01091220241405");
    EXPECT_EQ(titleLine(U"CENTRO01", k1405).size(), 71u);
    EXPECT_EQ(trailerLine(U"CENTRO01", k1407, 2), U"9" + kTagAndSpaces + U"CENTRO010912202414072");
    EXPECT_EQ(titleLine(U"", k1405), U"0" + kTagAndSpaces + U"        091220241405");
    EXPECT_EQ(titleLine(U"41001", k1405).substr(51, 8), U"41001   ");
    EXPECT_EQ(trailerLine(U"", k1405, 0).back(), U'0');
    const std::u32string longTrailer = trailerLine(U"C", k1405, 1234);
    EXPECT_EQ(longTrailer.size(), 75u);
    EXPECT_EQ(longTrailer.substr(71), U"1234");
    EXPECT_EQ(dateTimeText({2025, 1, 2, 3, 4, 59}), U"020120250304");
}

THT_RESTRICT_FALSE_POSITIVE_BEGIN
TEST(TimetableFile, DetailLinesPadAndNeverCut) {
    const struct {
        DetailValues values;
        std::string line;
    } cases[] = {
        {{}, "1" + std::string(53, ' ')},
        {{"0207", "X", "P12", "2BACH-B", "LEC", "MAT", "A14", ""},
         "10207XP12 2BACH-B   LEC MAT                 A14       "},
        {{"", "", "ABCDEF", "G", "", "", "", ""}, "1     ABCDEFG" + std::string(43, ' ')},
        {{"", "", "", "", "", "RE", "", "   CAT"}, "1" + std::string(23, ' ') + "RE" + std::string(28, ' ') + "   CAT"},
        {{"", "", "", "", "", "RE", "", "   "}, "1" + std::string(23, ' ') + "RE" + std::string(31, ' ')},
        {{"0207", "10", "P1", "G", "T", "S", "R", "ID"}, "1020710P1  G         T   S                   R         ID"},
    };
    for (const auto& c : cases) EXPECT_EQ(detailLine(c.values), c.line) << c.line;
    EXPECT_EQ(detailLine(cases[2].values).substr(6, 6), "ABCDEF");
    EXPECT_EQ(detailLine(cases[3].values).size(), 60u);
    EXPECT_EQ(detailLine(cases[4].values).size(), 57u);
}
THT_RESTRICT_FALSE_POSITIVE_END

TEST(TimetableFile, EncodingAndLineEnds) {
    for (const auto& [page, bytes] : {std::pair{windows1252(), std::string("0a\xF1\r\n9b\r\n")},
                                      std::pair{openCodePage("UTF-8"), std::string("\xEF\xBB\xBF" "0a\xC3\xB1\r\n9b\r\n")}}) {
        test::TempDir dir;
        TimetableFile file(dir.path().string() + "/", page);
        file.add(U"0a\u00F1");
        file.add(U"9b");
        EXPECT_EQ(file.lines(), 2);
        file.commit();
        EXPECT_EQ(test::readBytes(dir.path() / "TUXA_HORARIO.TXT"), bytes);
    }
}

// Detail lines come in the tables' page and go out in TUXA's: byte by byte
// between single-byte pages ("?" where TUXA's page lacks the character),
// through their characters to UTF-8.
TEST(TimetableFile, TablePageLinesReachTuxasPage) {
    const std::string line = "1a\xF1\x80\x82\xFF";  // n tilde, euro, low quote, y diaeresis
    for (const auto& [name, bytes] :
         {std::pair{"windows-1252", std::string("1a\xF1\x80\x82\xFF\r\n")},
          std::pair{"ISO-8859-15", std::string("1a\xF1\xA4?\xFF\r\n")},
          std::pair{"UTF-8", std::string("\xEF\xBB\xBF" "1a\xC3\xB1\xE2\x82\xAC\xE2\x80\x9A\xC3\xBF\r\n")}}) {
        test::TempDir dir;
        const CodePage page = openCodePage(name);  // the file keeps a reference
        TimetableFile file(dir.path().string() + "/", page);
        file.add(std::string_view(line));
        file.commit();
        EXPECT_EQ(test::readBytes(dir.path() / "TUXA_HORARIO.TXT"), bytes) << name;
    }
}

// The names in dir, sorted.
std::vector<std::string> entries(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(TimetableFile, ReplacesWholeOrNotAtAll) {
    test::TempDir dir;
    const std::string dirTxt = dir.path().string() + "/";
    const std::string earlier = "an earlier timetable that is longer than the new one";
    const auto path = dir.write("TUXA_HORARIO.TXT", earlier);
    {
        TimetableFile file(dirTxt, windows1252());
        file.add(U"0x");
        file.add(U"9y0");
        file.commit();
    }
    EXPECT_EQ(test::readBytes(path), "0x\r\n9y0\r\n");

    TimetableFile missing(dir.path().string() + "/missing/", windows1252());
    missing.add(U"0x");
    EXPECT_THROW(missing.commit(), Error);
    EXPECT_EQ(test::readBytes(path), "0x\r\n9y0\r\n");
}

THT_RESTRICT_FALSE_POSITIVE_BEGIN
// Millions of lines go out a piece at a time, all of them and in order; a run
// that stops after some pieces went out leaves the earlier file and no
// temporary one.
TEST(TimetableFile, StreamsLargeFilesAndLeavesNothingWhenStopped) {
    test::TempDir dir;
    const std::string dirTxt = dir.path().string() + "/";
    const auto path = dir.write("TUXA_HORARIO.TXT", "earlier");
    auto line = [](int i) {
        const std::string number = "1" + std::to_string(i);
        std::u32string text(number.begin(), number.end());
        text += U" \u00F1";
        return text;
    };
    constexpr int kLines = 300'000;  // several megabytes
    std::string expected;
    {
        TimetableFile file(dirTxt, windows1252());
        for (int i = 0; i < kLines; ++i) file.add(line(i));
        EXPECT_EQ(test::readBytes(path), "earlier");
        EXPECT_EQ(entries(dir.path()).size(), 2u);  // the earlier file and the one being written
    }
    EXPECT_EQ(test::readBytes(path), "earlier");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"TUXA_HORARIO.TXT"});

    TimetableFile file(dirTxt, windows1252());
    for (int i = 0; i < kLines; ++i) {
        file.add(line(i));
        expected += "1" + std::to_string(i) + " \xF1\r\n";
    }
    file.commit();
    EXPECT_EQ(test::readBytes(path), expected);
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"TUXA_HORARIO.TXT"});
}
THT_RESTRICT_FALSE_POSITIVE_END

}  // namespace
}  // namespace tht
