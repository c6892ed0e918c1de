#include <gtest/gtest.h>

#include "charset/codepage.h"
#include "platform/code_pages.h"
#include "text/record.h"
#include "text/tuxa_files.h"
#include "support/restrict_false_positive.h"

namespace tht {
namespace {

std::u32string padTo(std::u32string s, std::size_t n) {
    s.resize(std::max(n, s.size()), U' ');
    return s;
}

THT_RESTRICT_FALSE_POSITIVE_BEGIN
TEST(LineTest, TitleTrailerAndTagLines) {
    const std::u32string tag = U"TUXA_PROF.TXT";
    struct Case {
        std::u32string line;
        bool data;
    } cases[] = {
        {U"", true},
        {U"     ", true},
        {U"0anything", false},
        {U"9", false},
        {U"0", false},
        {U"1AB  Nombre", true},
        {U" TUXA_PROF.TXT", false},
        {U"X" + padTo(U"   tuxa_prof.txt", 50) + U"CENTRO01", false},
        {U"XTUXA_PROF.TXTX", true},
        {U"XTUXA_PROF.TX", true},
        {U"X\tTUXA_PROF.TXT", true},
        // The tag must fit columns 2-51 and be alone in them.
        {U"X" + std::u32string(37, U' ') + U"TUXA_PROF.TXT" + U"CENTRO01", false},
        {U"X" + std::u32string(38, U' ') + U"TUXA_PROF.TXT", true},
        {U"X" + padTo(U"TUXA_PROF.TXT", 49) + U"Z", true},
        {U"X  tuxa_prof.txt  ", false},
        {U"X  tuxa_prof.txt\u00A0", true},
    };
    for (const auto& c : cases)  // a line as the export reads it: bytes of windows-1252
        EXPECT_EQ(isDataLine(std::string_view(windows1252().encode(c.line)), tag), c.data)
            << std::string(c.line.begin(), c.line.end());
}
THT_RESTRICT_FALSE_POSITIVE_END

TEST(LineTest, GroupsFileTagHasAnS) {
    EXPECT_FALSE(isDataLine(" TUXA_GRUPOS.TXT", tuxa::grupos.tag));
    EXPECT_TRUE(isDataLine(" TUXA_GRUPO.TXT", tuxa::grupos.tag));
    EXPECT_FALSE(isDataLine("0TUXA_GRUPO.TXT", tuxa::grupos.tag));
}

TEST(LineTest, OnlyAsciiLettersAreRaised) {
    // "ñ" is not raised, so a tag written with a lower-case non-ASCII letter never matches.
    EXPECT_TRUE(isDataLine(" tuxa_\xF1.txt", U"TUXA_\u00d1.TXT"));
}

TEST(Slice, CutsTrimsAndStopsAtTheEnd) {
    const std::string_view line = "1ABCD  Ana  ";
    EXPECT_EQ((Column{2, 4}(line)), "ABCD");
    EXPECT_EQ((Column{6, 90}(line)), "Ana");
    EXPECT_EQ((Column{13, 5}(line)), "");
    EXPECT_EQ((Column{100, 5}(line)), "");
    EXPECT_EQ((Column{1, 1}("")), "");
    EXPECT_EQ(rawSlice(line, 6, 4), "  An");
    EXPECT_EQ(rawSlice(std::u32string_view(U"1ABCD  Ana  "), 6, 4), U"  An");
}

TEST(TuxaFiles, NamesAndMessagesAsTheUserSeesThem) {
    EXPECT_EQ(tuxa::actividades.fileName, "TUXA_ACTIVIDADES.TXT");
    EXPECT_TRUE(tuxa::actividades.missingMessage.empty());
    EXPECT_EQ(tuxa::grupos.missingMessage, "No existe archivo de grupos (TUXA_GRUPO.TXT)");
    EXPECT_EQ(tuxa::sesiones.reading, Reading::WholeFile);
    for (const TuxaFile* f : tuxa::all) {
        if (f == &tuxa::grupos) continue;
        std::string upper(f->fileName);
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(std::u32string(upper.begin(), upper.end()), f->tag);
    }
}

}  // namespace
}  // namespace tht
