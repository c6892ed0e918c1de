#include <gtest/gtest.h>

#include "export/short_code.h"
#include "export/step_support.h"
#include "export/steps.h"
#include "support/tuxa_builder.h"

namespace tht {
namespace {

using test::line;

std::string subjectLine(std::string_view base, std::string_view identifier, std::string_view name = "Nombre") {
    return line({{2, base}, {22, name}, {172, identifier}});
}

TEST(ExportarAsignaturas, ShortCodesOfTheWorkedExample) {
    test::RunFixture f;
    std::vector<std::string> lines = {subjectLine("HIS", ""), subjectLine("HIS", ""), subjectLine("his", ""),
                                      subjectLine("GEO", "Q77"), subjectLine("MUSICA", "Q12345"),
                                      subjectLine("MUSICA", "Q12345")};
    for (int i = 7; i <= 18; ++i) lines.push_back(subjectLine("TECNOLOGIA", ""));
    lines.push_back(subjectLine("", "Q9"));
    lines.push_back(subjectLine("", ""));
    f.writeTuxa("tuxa_asignat.txt", test::tuxaFile("TUXA_ASIGNAT.TXT", lines));

    const TableReport report = f.step(ExportarAsignaturas);

    std::vector<std::string> codes;
    for (const auto& row : f.rows("ASIGNOMT", {"COD"})) codes.push_back(row[0]);
    const std::vector<std::string> expected = {
        "HIS",        "HIS1",       "his2",       "GEOQ77",     "MUSIQ12345", "MUSIQ12341", "TECNOLOGIA",
        "TECNOLOGI1", "TECNOLOGI2", "TECNOLOGI3", "TECNOLOGI4", "TECNOLOGI5", "TECNOLOGI6", "TECNOLOGI7",
        "TECNOLOGI8", "TECNOLOGI9", "TECNOLOG10", "Q9"};
    EXPECT_EQ(codes, expected);
    EXPECT_EQ(report.linesRead, 20);
    EXPECT_EQ(report.written, 18);
    ASSERT_EQ(report.drops.size(), 2u);
    EXPECT_EQ(report.drops[0].numbers, std::vector<std::int64_t>{19});  // line 18 of the data, after the title
    EXPECT_EQ(report.drops[1].numbers, std::vector<std::int64_t>{21});
    EXPECT_EQ(f.estado, 0);
    EXPECT_TRUE(f.sink.messages.empty());
}

TEST(ShortCode, TwelveLinesOfANineOrTenCharacterCode) {
    for (const std::string base : {"ABCDEFGHI", "ABCDEFGHIJ"}) {
        CodeList codes;
        int written = 0;
        for (int i = 0; i < 12; ++i) {
            const std::string code = shortCode(base, "", codes);
            if (code.empty() || codes.contains(code)) continue;
            codes.add(code);
            ++written;
        }
        EXPECT_EQ(written, 11);
    }
}

TEST(CodeList, CodesCompareThroughTheFoldingOfTheTablesPage) {
    // Two codes in windows-1252: the same code, or two.
    const struct {
        std::string first, second;
        bool same;
    } cases[] = {
        {"PE\xD1" "A", "pe\xF1" "a", true}, {"\xC9xito", "\xC9XITO", true},
        {"\x8C" "1", "\x9C" "1", true},  // "Œ" and "œ"
        {"\xFF", "\x9F", true},          // "Ÿ" at 0x9F folds to "ÿ" at 0xFF
        {"\xB5", "\xB5", true},          // folds to a Greek letter the page lacks
        {"\xDF", "SS", false},            // one character folds to one
        {"A", "\xC1", false},             // accents count
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        CodeList first, second;
        first.add(c.first);
        second.add(c.second);
        EXPECT_EQ(first.contains(c.second), c.same);
        EXPECT_EQ(second.contains(c.first), c.same);
        EXPECT_EQ(compareIgnoreCase(c.first, c.second) == 0, c.same);
    }
    EXPECT_LT(compareIgnoreCase("a", "B"), 0);
}

TEST(ExportarAsignaturas, FieldsOfSubjectsAndActivities) {
    test::RunFixture f;
    const std::string longName(95, 'x');
    f.writeTuxa("tuxa_asignat.txt",
                test::tuxaFile("TUXA_ASIGNAT.TXT",
                               {line({{2, "LCL"}, {12, "EXTRA"}, {22, "Lengua Castellana y Literatura"}, {172, "ID1"}}),
                                line({{2, "MUS"}, {22, "Música"}}), line({{2, "LAR"}, {22, longName}}), "",
                                line({{2, "ARTE"}, {22, " Arte"}})}));
    f.writeTuxa("TUXA_ACTIVIDADES.TXT",
                test::tuxaFile("TUXA_ACTIVIDADES.TXT",
                               {line({{2, "GUA"}, {6, "Guardia de patio"}, {66, "GUA"}}), "", "",
                                line({{2, "gua"}, {6, "Otra"}}), line({{2, "LCLI"}, {6, "Choca con nada"}})}));

    f.step(ExportarAsignaturas);

    const std::vector<std::vector<std::string>> expected = {
        {"LCLID1", "LCyL", "Lengua Castellana y Literatura", "", "LCL       EXTRA", "ID1"},
        {"MUS", "M", "Música", "", "MUS", ""},
        {"LAR", "x", std::string(80, 'x'), "", "LAR", ""},
        {"ARTE", "A", "Arte", "", "ARTE", ""},
        {"*GUA", "Guardia de", "Guardia de patio", "GUA", "", ""},
        {"*", "", "", "", "", ""},
        {"*LCLI", "Choca con", "Choca con nada", "", "", ""},
    };
    auto rows = f.rows("ASIGNOMT", {"COD", "CODLARGO", "NOMBRE", "CODTAREA", "CODTUXA", "CODIDITUXA"});
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(f.booleans("ASIGNOMT", "ESTAREA"), (std::vector<bool>{false, false, false, false, true, true, true}));
}

TEST(ExportSteps, CodesStayUniqueAsTheTableStoresThem) {
    // 0x81 and 0x8D are undefined in cp1252: both are stored as "?", so the
    // second code must be told apart from the first as the table holds them.
    test::RunFixture f;
    f.writeTuxa("tuxa_asignat.txt", test::tuxaFile("TUXA_ASIGNAT.TXT", {"1A\x81", "1A\x8D"}));
    f.writeTuxa("tuxa_prof.txt", test::tuxaFile("TUXA_PROF.TXT", {"1P\x81  Uno", "1P\x8D  Dos"}));
    f.step(ExportarAsignaturas);
    f.step(ExportarProfesores);
    EXPECT_EQ(f.rows("ASIGNOMT", {"COD"}), (std::vector<std::vector<std::string>>{{"A?"}, {"A?1"}}));
    EXPECT_EQ(f.rows("PROFT", {"ABREV", "NOMBRE"}), (std::vector<std::vector<std::string>>{{"P?", "Uno"}}));
}

TEST(ExportarAsignaturas, MissingSubjectsFileLeavesTheOldTable) {
    test::RunFixture f;
    f.writeTuxa("TUXA_ACTIVIDADES.TXT", test::tuxaFile("TUXA_ACTIVIDADES.TXT", {line({{2, "GUA"}})}));
    const auto old = f.dir.write("htemp/ASIGNOMT.DBF", "not touched");
    const TableReport report = f.step(ExportarAsignaturas);
    EXPECT_TRUE(report.fileMissing);
    EXPECT_EQ(f.sink.messages, std::vector<std::string>{"No existe archivo de asignaturas (TUXA_ASIGNAT.TXT)"});
    // report.fileMissing is what the run turns into status -1.
    EXPECT_EQ(test::readBytes(old), "not touched");
}

TEST(ExportarAsignaturas, OnlyFramingLinesGiveAnEmptyTableWithAllFields) {
    test::RunFixture f;
    f.writeTuxa("TUXA_ASIGNAT.TXT", test::tuxaFile("TUXA_ASIGNAT.TXT", {}));  // found without regard to case
    f.step(ExportarAsignaturas);
    EXPECT_TRUE(f.rows("ASIGNOMT", {"COD", "CODLARGO", "NOMBRE", "ESTAREA", "CODTAREA", "CODTUXA", "CODIDITUXA"}).empty());
    EXPECT_EQ(f.fieldNames("ASIGNOMT"), "COD:C:10|CODLARGO:C:10|NOMBRE:C:80|ESTAREA:L:1|CODTAREA:C:10|CODTUXA:C:20|CODIDITUXA:C:10");
    EXPECT_EQ(f.estado, 0);
}

}  // namespace
}  // namespace tht
