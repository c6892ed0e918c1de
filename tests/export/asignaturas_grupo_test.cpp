#include <gtest/gtest.h>

#include "export/value_error.h"
#include "store/table_error.h"
#include "export/steps.h"
#include "platform/error.h"
#include "support/tuxa_builder.h"

namespace tht {
namespace {

using test::line;
using Rows = std::vector<std::vector<std::string>>;

std::string courseLine(std::string_view level, std::string_view shift, std::string_view course,
                       std::string_view subject, std::string_view hours, std::string_view id) {
    return line({{2, level}, {5, shift}, {8, course}, {24, subject}, {44, hours}, {50, id}});
}

// Subjects and groups exported first, as the run does before this step.
struct AssignmentsFixture : test::RunFixture {
    AssignmentsFixture() {
        writeTuxa("tuxa_asignat.txt",
                  test::tuxaFile("TUXA_ASIGNAT.TXT", {line({{2, "MAT"}, {22, "Matemáticas"}}),
                                                      line({{2, "LEN"}, {22, "Lengua"}, {172, "L1"}}),
                                                      line({{2, "RE"}, {22, "Religión"}, {172, "R"}})}));
        writeTuxa("tuxa_grupo.txt", test::tuxaFile("TUXA_GRUPOS.TXT",
                                                   {line({{2, "1ESOA"}, {15, "ESO"}, {21, "1"}, {33, "M"}}),
                                                    line({{2, "2ESOB"}, {15, "ESO"}, {21, "2"}, {33, "T"}}),
                                                    line({{2, "2ESOB"}, {15, "BAC"}, {21, "9"}, {33, "N"}})}));
        writeTuxa("tuxa_asignatgrupo.txt",
                  test::tuxaFile("TUXA_ASIGNATGRUPO.TXT",
                                 {line({{2, "1ESOA"}, {12, "MAT"}}), line({{2, "2ESOB"}, {12, "LEN"}, {32, "L1"}}),
                                  line({{2, "ZZZ"}, {12, "MAT"}}), line({{2, "1ESOA"}, {12, "XXX"}}),
                                  line({{2, "1ESOA"}, {12, "mat"}}), line({{2, "2ESOB"}, {12, "RE"}, {32, "R"}})}));
        step(ExportarAsignaturas);
        step(ExportarGrupos);
    }
};

TEST(ExportarAsignaturasGrupo, FourPasses) {
    AssignmentsFixture f;
    f.writeTuxa("tuxa_asignatcurso.txt",
                test::tuxaFile("TUXA_ASIGNATCURSO.TXT",
                               {courseLine("ESO", "M", "1", "MAT", "4,5", ""), courseLine("ESO", "M", "1", "MAT", "9", ""),
                                courseLine("ESO", "T", "2", "LEN", "", "L1"), courseLine("", "", "", "MAT", "2", "")}));
    const TableReport report = f.step(ExportarAsignaturasGrupo);

    const Rows expected = {
        {"MAT", "", "1ESOA", "", "*LEC", "M", "ESO", "1", "A", "1111½", "", "MAT", ""},
        {"LENL1", "", "2ESOB", "", "*LEC", "T", "ESO", "2", "B", "1", "", "LEN", "L1"},
        {"MAT", "", "ZZZ", "", "*LEC", "", "", "", "", "11", "", "MAT", ""},
        {"RER", "", "2ESOB", "", "*LEC", "T", "ESO", "2", "B", "1", "", "RE", "R"},
    };
    EXPECT_EQ(f.rows("ASIGT", {"CASIG", "CPROF", "CGRUP", "CAULA", "CTAREA", "TURNO", "NIVEL", "CURSO", "GRUPO",
                               "SESIONES", "NCONEX", "CASIGTUXA", "CODIDITUXA"}),
              expected);
    EXPECT_EQ(f.floats("ASIGT", "HORAS"), (std::vector<double>{4.5, 1, 2, 1}));
    EXPECT_EQ(f.fieldNames("ASIGT"),
              "CASIG:C:10|CPROF:C:10|CGRUP:C:10|CAULA:C:10|CTAREA:C:10|TURNO:C:1|NIVEL:C:5|CURSO:C:3|GRUPO:C:2|"
              "HORAS:N:20:4|SESIONES:C:20|NCONEX:C:4|CASIGTUXA:C:20|CODIDITUXA:C:6");
    EXPECT_EQ(report.written, 4);
    ASSERT_GE(report.drops.size(), 1u);
    EXPECT_EQ(report.drops[0].numbers, (std::vector<std::int64_t>{5, 6}));
    EXPECT_TRUE(f.sink.messages.empty());
}

TEST(ExportarAsignaturasGrupo, WithoutTheCourseFileHoursStayEmpty) {
    AssignmentsFixture f;
    const TableReport report = f.step(ExportarAsignaturasGrupo);
    EXPECT_EQ(f.sink.messages, std::vector<std::string>{"No existe archivo de grupos (TUXA_ASIGNATCURSO.TXT)"});
    EXPECT_FALSE(report.fileMissing) << "the course file does not decide the status";
    EXPECT_EQ(f.floats("ASIGT", "HORAS"), (std::vector<double>{0, 0, 0, 0}));
    for (const auto& row : f.rows("ASIGT", {"SESIONES", "TURNO"})) EXPECT_EQ(row[0], "");
}

TEST(ExportarAsignaturasGrupo, HoursThatAreNoNumberStopAndKeepThePreviousTable) {
    AssignmentsFixture f;
    const auto dbf = f.dir.write("htemp/ASIGT.DBF", "previous table");
    const auto mdx = f.dir.write("htemp/ASIGT.MDX", "previous index");
    f.writeTuxa("tuxa_asignatcurso.txt",
                test::tuxaFile("TUXA_ASIGNATCURSO.TXT", {courseLine("ESO", "T", "2", "LEN", "4;5", "L1")}));
    try {
        f.step(ExportarAsignaturasGrupo);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<TuxaValueError>(), TuxaValueError::NotANumber);
        EXPECT_EQ(e.context().value, "4;5");
        EXPECT_EQ(e.context().line, 2);
        EXPECT_NE(e.context().file.find("tuxa_asignatcurso.txt"), std::string::npos);
    }
    EXPECT_EQ(test::readBytes(dbf), "previous table");
    EXPECT_EQ(test::readBytes(mdx), "previous index");
}

TEST(ExportarAsignaturasGrupo, HoursTooLargeForTheFieldNameTheLine) {
    AssignmentsFixture f;
    f.writeTuxa("tuxa_asignatcurso.txt",
                test::tuxaFile("TUXA_ASIGNATCURSO.TXT", {courseLine("ESO", "T", "2", "LEN", "1e15", "L1")}));
    try {
        f.step(ExportarAsignaturasGrupo);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<TableError>(), TableError::ValueTooWide);
        EXPECT_EQ(e.context().field, "HORAS");
        EXPECT_EQ(e.context().line, 2);
        EXPECT_NE(std::string(e.what()).find("tuxa_asignatcurso.txt, línea 2"), std::string::npos) << e.what();
    }
}

TEST(ExportarAsignaturasGrupo, MissingSubjectsTableIsAnError) {
    test::RunFixture f;
    f.writeTuxa("tuxa_asignatgrupo.txt", test::tuxaFile("TUXA_ASIGNATGRUPO.TXT", {}));
    try {
        f.step(ExportarAsignaturasGrupo);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<TableError>(), TableError::Missing);
    }
}

}  // namespace
}  // namespace tht
