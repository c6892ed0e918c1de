// The bundled example school through both directions, each table read back
// by the independent reader and compared with records worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "export/export_run.h"
#include "charset/unicode.h"
#include "import/import_run.h"
#include "platform/code_pages.h"
#include "support/processes.h"
#include "support/dbfread.h"
#include "support/tuxa_builder.h"

namespace tht {
namespace {

std::size_t records(const std::string& dump) { return static_cast<std::size_t>(std::count(dump.begin(), dump.end(), '\n')) - 1; }

// What the summary would list: "TABLE: reason: first numbers".
std::vector<std::string> notes(const std::vector<TableReport>& reports) {
    std::vector<std::string> out;
    for (const auto& r : reports)
        for (const auto& d : r.drops) {
            std::string s = r.table + ": " + d.reason + ":";
            for (const auto n : d.numbers) s.append(" ").append(std::to_string(n));
            out.push_back(s);
        }
    return out;
}

TEST(ExampleSchool, ExportThenImport) {
    test::RunFixture f;
    std::filesystem::copy(std::filesystem::path(THT_SOURCE_DIR) / "examples" / "escuela", f.tuxa);
    ASSERT_EQ(f.exportar(), RunOutcome::Completed);
    EXPECT_EQ(f.estado, 1);
    // Only the problems planted in the example, nothing else.
    EXPECT_EQ(notes(f.reports), (std::vector<std::string>{
                                  "PROFT: código de profesor repetido: 27",
                                  "ASIGT: asignatura que no está en ASIGNOMT: 34 83",
                                  "ASIGT: grupo que no está en GRUPOST: 97",
                                  "ASIGT: sin línea de curso: 1 hora: 97 181",
                              }));

    const struct {
        std::string table;
        std::size_t count;
        std::vector<std::string> rows;
    } tables[] = {
        {"ASIGNOMT", 47,
         {"COD=*LEC|CODLARGO=Docencia d|NOMBRE=Docencia directa con el grupo|ESTAREA=True|CODTAREA=LEC|",
          "COD=LENGU10001|CODLARGO=LCyL|NOMBRE=Lengua Castellana y Literatura|ESTAREA=False|CODTAREA=|CODTUXA=LENGUA|CODIDITUXA=10001",
          "COD=MATEMATICA|", "COD=MATEMATIC1|CODLARGO=MAalCSI|",
          "COD=RECAT|CODLARGO=RC|NOMBRE=Religión Católica|ESTAREA=False|CODTAREA=|CODTUXA=RE|CODIDITUXA=CAT",
          "COD=ESPAÑ10039|", "COD=COMU100037|"}},
        {"PROFT", 31, {"ABREV=PEÑA|NOMBRE=Peña Ibáñez, Begoña|DEPART=Matemáticas|EMAIL=|DNI=None"}},
        {"AULAT", 12, {"ABREV=A2-03|NOMBRE=Aula 2.03|EDIFICIO=|MAXALUM=None"}},
        {"GRUPOST", 12,
         {"ABREV=2BACA|TURNO=M|NIVEL=BAC|CURSO=2|GRUPO=A|MARCO=0|UNIDAD=2BACA|DESCRIP=(2º BACH AM) M BAC 2 A",
          "ABREV=1FPBA|TURNO=T|NIVEL=NIV|CURSO=1|GRUPO=A|MARCO=0|UNIDAD=1FPBA|DESCRIP=(1º FPB A) T NIV 1 A"}},
        {"ASIGT", 188,
         {"CASIG=LENGU10001|CPROF=|CGRUP=1ESOA|CAULA=|CTAREA=*LEC|TURNO=M|NIVEL=ESO|CURSO=1|GRUPO=A|HORAS=4.5|"
          "SESIONES=1111½|NCONEX=|CASIGTUXA=LENGUA|CODIDITUXA=10001",
          "CASIG=MUSIC10014|CPROF=|CGRUP=3ESOC|CAULA=|CTAREA=*LEC|TURNO=|NIVEL=|CURSO=|GRUPO=|HORAS=1.0|SESIONES=1|"}},
        {"DIASHORAST", 30,
         {"DIHO=11|CODDIHO=P001|DIA=1|TEXTODIA=|HORA=1|TEXTOHOR=1-08:00-09:00|HORADESDE=08:00|HORAHASTA=09:00|"
          "MINUTOS=60|MARCO=0|MARCOXML=",
          "DIHO=56|CODDIHO=P030|DIA=5|TEXTODIA=|HORA=6|TEXTOHOR=6-13:30-14:30|"}},
    };
    for (const auto& t : tables) {
        const std::string dump = test::dumpWithDbfread(f.htemp / (t.table + ".DBF"));
        EXPECT_EQ(records(dump), t.count) << t.table;
        for (const auto& row : t.rows) EXPECT_NE(dump.find("\n" + row), std::string::npos) << t.table << ": " << row;
    }

    std::filesystem::copy_file(std::filesystem::path(THT_SOURCE_DIR) / "examples" / "horalina" / "SOLUC.DBF",
                               f.htemp / "SOLUC.DBF");
    ASSERT_EQ(f.importar(), RunOutcome::Completed);
    // The lessons' task *LEC is found in ASIGNOMT; only the planted entries fall back.
    EXPECT_EQ(notes(f.reports), (std::vector<std::string>{
                                  "TUXA_HORARIO.TXT: tarea que no está en ASIGNOMT: LEC: 1",
                                  "TUXA_HORARIO.TXT: aula que no está en AULAT: 4",
                                  "TUXA_HORARIO.TXT: grupo que no está en GRUPOST: 32 193",
                                  "TUXA_HORARIO.TXT: asignatura que no está en ASIGNOMT: 64",
                                  "TUXA_HORARIO.TXT: DIA 0: sin línea: 96 128",
                              }));
    const std::string timetable = test::readBytes(f.tuxa / "TUXA_HORARIO.TXT");
    EXPECT_EQ(std::count(timetable.begin(), timetable.end(), '\n'), 192);
    EXPECT_TRUE(timetable.starts_with("0TUXA_HORARIO.TXT" + std::string(34, ' ') + "41000001091220241405\r\n"));
    EXPECT_TRUE(timetable.ends_with("41000001091220241405190\r\n"));
    EXPECT_NE(timetable.find("1P004LCANO1ESOA     LEC RE                  A1-01        CAT\r\n"), std::string::npos);
    EXPECT_NE(timetable.find("1P001LCAST1ESOA     LEC LENGUA              A1-01     10001\r\n"), std::string::npos);

    // The same solution written as a Visual FoxPro table gives the same timetable.
    const std::string command = "/usr/bin/python3 '" + std::string(THT_SOURCE_DIR) + "/examples/make_soluc.py' '" +
                                test::hostPath(f.htemp) + "' '" + test::hostPath(f.htemp / "SOLUC.DBF") + "' --tipo vfp";
    int status = -1;
    test::runHostCommand(command, status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(test::readBytes(f.htemp / "SOLUC.DBF")[0], '\x30');
    ASSERT_EQ(f.importar(), RunOutcome::Completed);
    EXPECT_EQ(test::readBytes(f.tuxa / "TUXA_HORARIO.TXT"), timetable);
}

// The example school as an editor saves it today: some of its files or all
// of them re-saved as UTF-8, with or without a byte-order mark.
TEST(ExampleSchool, Utf8FilesGiveTheSameTables) {
    const std::filesystem::path example = std::filesystem::path(THT_SOURCE_DIR) / "examples" / "escuela";
    const char* kTables[] = {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "ASIGT", "DIASHORAST"};
    // The header's date (bytes 1-3) is the day of the run.
    auto tableBytes = [&](const test::RunFixture& f, const char* table) {
        std::string bytes = test::readBytes(f.htemp / (std::string(table) + ".DBF"));
        return bytes.size() > 4 ? bytes.replace(1, 3, "DAT") : bytes;
    };
    test::RunFixture original;
    std::filesystem::copy(example, original.tuxa);
    ASSERT_EQ(original.exportar(), RunOutcome::Completed);

    const std::vector<std::string> all = {"tuxa_asignat.txt", "TUXA_ACTIVIDADES.TXT", "tuxa_prof.txt",
                                          "tuxa_aulas.txt", "tuxa_grupo.txt", "tuxa_asignatgrupo.txt",
                                          "tuxa_asignatcurso.txt", "tuxa_sesiones.txt"};
    const struct {
        std::vector<std::string> files;
        bool bom;
        bool guess;             // false: TUXA_CODEPAGE names the page
        std::size_t utf8Warnings;  // without a mark, a file of plain ASCII reads the same either way
    } cases[] = {
        {all, false, true, 7},
        {{"tuxa_prof.txt"}, false, true, 1},
        {all, true, true, 8},
        {{"tuxa_asignatgrupo.txt"}, true, true, 1},
        {{"tuxa_prof.txt"}, false, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.files.front() + (c.bom ? " with a mark" : "") + (c.guess ? "" : ", TUXA_CODEPAGE set"));
        test::RunFixture f;
        f.ctx.guessUtf8 = c.guess;
        std::filesystem::copy(example, f.tuxa);
        for (const auto& name : c.files)
            f.writeTuxa(name, (c.bom ? "\xEF\xBB\xBF" : "") +
                                  toUtf8(windows1252().decode(test::readBytes(example / name))));
        ASSERT_EQ(f.exportar(), RunOutcome::Completed);
        std::size_t utf8Warnings = 0;
        for (const auto& w : allWarnings(f.reports)) utf8Warnings += w.find("guardado en UTF-8") != std::string::npos;
        EXPECT_EQ(utf8Warnings, c.utf8Warnings);
        if (!c.guess) {  // the named page holds: the names come out as their UTF-8 bytes read in it
            const std::string dump = test::dumpWithDbfread(f.htemp / "PROFT.DBF");
            EXPECT_NE(dump.find("Ã±"), std::string::npos);
            EXPECT_EQ(dump.find("Peña Ibáñez"), std::string::npos);
            continue;
        }
        EXPECT_EQ(notes(f.reports), notes(original.reports));
        for (const char* table : kTables) EXPECT_TRUE(tableBytes(f, table) == tableBytes(original, table)) << table;
        const std::string dump = test::dumpWithDbfread(f.htemp / "PROFT.DBF");
        EXPECT_NE(dump.find("\nABREV=PEÑA|NOMBRE=Peña Ibáñez, Begoña|DEPART=Matemáticas|"), std::string::npos);
    }
}

}  // namespace
}  // namespace tht
