// Teachers, rooms and groups: one record per data line, with their own rules
// for repeats and for the values they build.
#include <gtest/gtest.h>

#include "export/steps.h"
#include "support/tuxa_builder.h"

namespace tht {
namespace {

using test::line;
using Rows = std::vector<std::vector<std::string>>;

TEST(ExportarProfesores, FirstLineOfACodeDecides) {
    test::RunFixture f;
    f.writeTuxa("tuxa_prof.txt",
                test::tuxaFile("TUXA_PROF.TXT",
                               {line({{2, "AB1"}, {6, "Ana Núñez"}, {96, "Matemáticas"}}),
                                line({{2, "ab1"}, {6, "Otra"}}), "", line({{6, "Sin código"}}),
                                line({{2, "CD"}, {6, std::string(70, 'n')}}),
                                line({{2, "EF"}, {6, std::string(100, 'y')}, {96, std::string(45, 'd')}})}));
    const TableReport report = f.step(ExportarProfesores);
    const Rows expected = {{"AB1", "Ana Núñez", "Matemáticas", ""},
                           {"", "", "", ""},
                           {"CD", std::string(70, 'n'), "", ""},
                           {"EF", std::string(80, 'y'), std::string(40, 'd'), ""}};
    EXPECT_EQ(f.rows("PROFT", {"ABREV", "NOMBRE", "DEPART", "EMAIL"}), expected);
    EXPECT_EQ(f.floats("PROFT", "DNI"), (std::vector<double>{0, 0, 0, 0}));
    EXPECT_EQ(f.fieldNames("PROFT"), "ABREV:C:10|NOMBRE:C:80|DEPART:C:40|EMAIL:C:100|DNI:N:11");
    EXPECT_EQ(report.written, 4);
    EXPECT_EQ(report.linesRead, 6);
}

TEST(ExportarAulas, EveryLineGivesARecordWithAJoinedName) {
    test::RunFixture f;
    f.writeTuxa("tuxa_aulas.txt",
                test::tuxaFile("TUXA_AULAS.TXT", {line({{2, "A12"}, {12, "Laboratorio"}, {82, "Planta baja"}}),
                                                  line({{2, "A12"}, {12, "Laboratorio"}}),
                                                  line({{2, "B1"}, {82, "Sótano"}}), "", "",
                                                  line({{2, "C"}, {12, std::string(70, 'a')}, {82, "bbb"}})}));
    f.step(ExportarAulas);
    const Rows expected = {{"A12", "Laboratorio Planta baja", ""}, {"A12", "Laboratorio", ""},
                           {"B1", " Sótano", ""},                 {"", "", ""},
                           {"", "", ""},                          {"C", std::string(70, 'a') + " bbb", ""}};
    // A name of one space reads back without its trailing blank.
    EXPECT_EQ(f.rows("AULAT", {"ABREV", "NOMBRE", "EDIFICIO"}), expected);
    EXPECT_EQ(f.fieldNames("AULAT"), "ABREV:C:10|NOMBRE:C:80|EDIFICIO:C:1|MAXALUM:N:11");
}

TEST(ExportarGrupos, DescriptionsShiftsAndLevels) {
    test::RunFixture f;
    f.writeTuxa("tuxa_grupo.txt",
                test::tuxaFile("TUXA_GRUPOS.TXT",
                               {
                                   line({{2, "1ESOA"}, {21, "1"}, {24, "1 ESO A"}, {34, "M"}}),
                                   line({{2, "1ESOB"}, {15, "ESO"}, {21, "1"}, {24, "1 ESO A"}, {33, "M"}}),
                                   line({{2, "2BACH"}, {15, "BAC"}, {21, "2"}, {24, "2º Bach"}, {33, "TAR"}}),
                                   line({{2, "X"}, {15, "ESO"}}),
                                   "",
                                   line({{1, " "}, {2, "TUXA_GRUPO.TXT"}}),
                                   line({{1, " "}, {2, "tuxa_grupos.txt"}}),
                               }));
    f.step(ExportarGrupos);
    const Rows expected = {
        {"1ESOA", "M", "NIV", "1", "A", "0", "1ESOA", "(1 ESO A) M NIV 1 A"},
        {"1ESOB", "M", "ESO", "1", "B", "0", "1ESOB", "(1 ESO A  M) M ESO 1 B"},
        {"2BACH", "T", "BAC", "2", "H", "0", "2BACH", "(2º Bach  T) TAR BAC 2 H"},
        {"X", "", "ESO", "", "X", "0", "X", "()  ESO  X"},
        {"", "", "NIV", "", "", "0", "", "()  NIV"},
        {"TUXA_GRUPO", "", "T", "", "O", "0", "TUXA_GRUPO", "()  T  O"},
    };
    EXPECT_EQ(f.rows("GRUPOST", {"ABREV", "TURNO", "NIVEL", "CURSO", "GRUPO", "MARCO", "UNIDAD", "DESCRIP"}), expected);
}

TEST(ExportSteps, MissingInputFilesShowTheirMessages) {
    const struct {
        TableReport (*step)(const ExportContext&);
        std::string message;
    } cases[] = {
        {ExportarProfesores, "No existe archivo de profesores (TUXA_PROF.TXT)"},
        {ExportarAulas, "No existe archivo de aulas (TUXA_AULAS.TXT)"},
        {ExportarGrupos, "No existe archivo de grupos (TUXA_GRUPO.TXT)"},
        {ExportarAsignaturasGrupo, "No existe archivo de grupos (TUXA_ASIGNATGRUPO.TXT)"},
        {ExportarSesiones, "No existe archivo de grupos (TUXA_SESIONES.TXT)"},
    };
    for (const auto& c : cases) {
        test::RunFixture f;
        const TableReport report = f.step(c.step);
        EXPECT_TRUE(report.fileMissing);  // which the run turns into status -1
        EXPECT_EQ(f.sink.messages, std::vector<std::string>{c.message});
        EXPECT_TRUE(std::filesystem::is_empty(f.htemp));
    }
}

}  // namespace
}  // namespace tht
