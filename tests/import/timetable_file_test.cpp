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
        std::u32string line;
    } cases[] = {
        {{}, U"1" + std::u32string(53, U' ')},
        {{U"0207", U"X", U"P12", U"2BACH-B", U"LEC", U"MAT", U"A14", U""},
         U"10207XP12 2BACH-B   LEC MAT                 A14       "},
        {{U"", U"", U"ABCDEF", U"G", U"", U"", U"", U""}, U"1     ABCDEFG" + std::u32string(43, U' ')},
        {{U"", U"", U"", U"", U"", U"RE", U"", U"   CAT"}, U"1" + std::u32string(23, U' ') + U"RE" + std::u32string(28, U' ') + U"   CAT"},
        {{U"", U"", U"", U"", U"", U"RE", U"", U"   "}, U"1" + std::u32string(23, U' ') + U"RE" + std::u32string(31, U' ')},
        {{U"0207", U"10", U"P1", U"G", U"T", U"S", U"R", U"ID"}, U"1020710P1  G         T   S                   R         ID"},
    };
    for (const auto& c : cases) EXPECT_EQ(detailLine(c.values), c.line) << toUtf8(c.line);
    EXPECT_EQ(detailLine(cases[2].values).substr(6, 6), U"ABCDEF");
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
