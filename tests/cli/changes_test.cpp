// What an export changes against the tables it replaces, by their codes, in
// the report and the summary; `comprobar` shows the same and changes
// nothing; a big loss is a warning. Run end to end through the command line.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "platform/files.h"
#include "support/processes.h"
#include "support/temp_dir.h"
#include "support/tuxa_builder.h"

namespace tht {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using Lines = std::vector<std::string>;

struct Folders {
    test::TempDir dir;
    const fs::path tuxa = dir / "tuxa";
    const fs::path htemp = dir / "htemp";

    test::ProgramResult cli(const std::string& verb) const {
        return test::runProgram(THT_CLI, {verb, displayPath(tuxa), "--htemp", displayPath(htemp)}, dir.path());
    }
    std::string report() const { return test::readBytes(htemp / "INFORME_TRANSHORALOTUXA.TXT"); }
    // A TUXA file's data lines, each changed, kept or dropped by edit, its frame kept.
    void editLines(const std::string& file, const std::function<void(Lines&)>& edit) const {
        const std::string bytes = test::readBytes(tuxa / file);
        Lines lines;
        for (std::size_t at = 0; at < bytes.size();) {
            const std::size_t end = bytes.find("\r\n", at);
            lines.push_back(bytes.substr(at, end - at));
            at = end == std::string::npos ? bytes.size() : end + 2;
        }
        edit(lines);
        std::string out;
        for (const std::string& l : lines) out += l + "\r\n";
        dir.write("tuxa/" + file, out);
    }
    // Every file under Horalina's folder, with its bytes.
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(htemp))
            files[e.path().string()] = e.is_regular_file() ? test::readBytes(e.path()) : "(folder)";
        return files;
    }
};

// The report's section of changes, its line ends made "\n".
std::string changesSection(std::string report) {
    std::erase(report, '\r');
    const std::size_t begin = report.find("Cambios frente a las tablas que había:\n");
    const std::size_t end = report.find("\nAvisos:\n");
    if (begin == std::string::npos || end == std::string::npos) return "(no section) " + report;
    return report.substr(begin, end - begin);
}

void dropLinesStarting(Lines& lines, std::initializer_list<std::string_view> prefixes) {
    std::erase_if(lines, [&](const std::string& l) {
        for (const std::string_view p : prefixes)
            if (l.starts_with(p)) return true;
        return false;
    });
}

TEST(Changes, PlantedChangesToTheExampleSchoolAreListedByCodeAndComprobarShowsThemChangingNothing) {
    Folders s;
    fs::copy(fs::path(THT_SOURCE_DIR) / "examples" / "escuela", s.tuxa, fs::copy_options::recursive);
    ASSERT_EQ(s.cli("exportar").code, 0);
    EXPECT_NE(s.report().find("no había tablas anteriores en la carpeta de Horalina: es la primera exportación"),
              std::string::npos)
        << "said once, with no record listed";

    // A teacher added, two removed, a subject renamed, a group gone.
    s.editLines("tuxa_prof.txt", [](Lines& l) {
        dropLinesStarting(l, {"1MOLI", "1ROME"});
        l.insert(l.end() - 1, test::line({{2, "NUEV"}, {6, "Nuevo Ramos, Ana"}, {96, "Lengua"}}));
    });
    s.editLines("tuxa_asignat.txt", [](Lines& l) {
        for (std::string& line : l)
            if (line.starts_with("1MATEMATICAS         ")) line.replace(21, 21, "Matem\xE1ticas Generales");  // as wide: the columns stay
    });
    s.editLines("tuxa_grupo.txt", [](Lines& l) { dropLinesStarting(l, {"12ESOB"}); });

    const std::string expected =
        "Cambios frente a las tablas que había:\n"
        "  ASIGNOMT (por COD): 47 registros antes, 47 ahora: 0 nuevos, 0 quitados, 1 cambiado\n"
        "    cambiados:\n"
        "      MATEM10002  Matemáticas Generales (antes: Matemáticas)\n"
        "  PROFT (por ABREV): 31 registros antes, 30 ahora: 1 nuevo, 2 quitados, 0 cambiados\n"
        "    nuevos:\n"
        "      NUEV  Nuevo Ramos, Ana\n"
        "    quitados:\n"
        "      MOLI  Molina Sáez, José Ramón\n"
        "      ROME  Romero Núñez, Álvaro\n"
        "  AULAT (por ABREV): sin cambios, 12 registros\n"
        "  GRUPOST (por ABREV): 12 registros antes, 11 ahora: 0 nuevos, 1 quitado, 0 cambiados\n"
        "    quitados:\n"
        "      2ESOB  (2º ESO B) M ESO 2 B\n"
        // The group's subjects lose its details: changed, listed by subject and group.
        "  ASIGT (por CASIG, CGRUP): 188 registros antes, 188 ahora: 0 nuevos, 0 quitados, 16 cambiados\n"
        "    cambiados:\n"
        "      LENGU10001 / 2ESOB\n      MATEM10002 / 2ESOB\n      INGLE10007 / 2ESOB\n      GEOGR10009 / 2ESOB\n"
        "      FISIC10011 / 2ESOB\n      EDUCA10012 / 2ESOB\n      TECNO10015 / 2ESOB\n      MUSIC10014 / 2ESOB\n"
        "      FRANC10008 / 2ESOB\n      RECAT / 2ESOB\n      VALOR10017 / 2ESOB\n      TUTORIA / 2ESOB\n"
        "      REFUE10040 / 2ESOB\n      REFUE10041 / 2ESOB\n      EDUCA10013 / 2ESOB\n      CIUDA10019 / 2ESOB\n"
        "  DIASHORAST (por DIHO): sin cambios, 30 registros\n";

    const auto before = s.snapshot();
    const auto check = s.cli("comprobar");
    EXPECT_EQ(check.code, 1) << check.err;  // the example drops lines on purpose
    EXPECT_EQ(changesSection(check.out), expected);
    EXPECT_NE(check.err.find("línea 25)\n  cambios: 1 nuevo, 2 quitados, 0 cambiados\nAULAT:"),
              std::string::npos)
        << check.err;
    EXPECT_EQ(s.snapshot(), before) << "comprobar changes nothing in Horalina's folder";

    const auto run = s.cli("exportar");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(changesSection(s.report()), expected);
    EXPECT_EQ(s.report().find("cambio grande"), std::string::npos);
}

// A school of one table: every other file there, without data lines.
void writeBareSchool(const Folders& s, const std::string& file, const Lines& data) {
    const std::pair<const char*, const char*> files[] = {
        {"tuxa_asignat.txt", "TUXA_ASIGNAT.TXT"},   {"tuxa_prof.txt", "TUXA_PROF.TXT"},
        {"tuxa_aulas.txt", "TUXA_AULAS.TXT"},       {"tuxa_grupo.txt", "TUXA_GRUPOS.TXT"},
        {"tuxa_asignatgrupo.txt", "TUXA_ASIGNATGRUPO.TXT"}, {"tuxa_asignatcurso.txt", "TUXA_ASIGNATCURSO.TXT"},
        {"tuxa_sesiones.txt", "TUXA_SESIONES.TXT"}, {"TUXA_ACTIVIDADES.TXT", "TUXA_ACTIVIDADES.TXT"}};
    for (const auto& [name, tag] : files)
        s.dir.write(std::string("tuxa/") + name, test::tuxaFile(tag, name == file ? data : Lines{}));
}

Lines teachers(const std::string& prefix, int n) {
    Lines out;
    for (int i = 0; i < n; ++i) {
        const std::string code = prefix + std::to_string(100 + i);
        out.push_back(test::line({{2, code}, {6, "Docente " + code}}));
    }
    return out;
}

Lines rooms(int n) {
    Lines out;
    for (int i = 0; i < n; ++i) out.push_back(test::line({{2, std::string("A").append(std::to_string(i))}, {12, "Aula"}}));
    return out;
}

TEST(Changes, ATableThatLosesMoreThanAThirdOfItsRecordsIsWarnedAndListsStopAtFifty) {
    const struct {
        const char* what;
        std::string file;
        Lines first, second;
        std::string warning;  // empty: none
        std::vector<std::string> listed;
    } cases[] = {
        {"two thirds of the teachers gone", "tuxa_prof.txt", teachers("P", 30), Lines(teachers("P", 10)),
         "cambio grande en PROFT: 30 registros antes, 10 ahora (20 quitados)", {"P129  Docente P129"}},
        {"a third gone is not big", "tuxa_prof.txt", teachers("P", 30), teachers("P", 20), "", {}},
        {"every room gone", "tuxa_aulas.txt", rooms(3), {},
         "cambio grande en AULAT: 3 registros antes, 0 ahora (3 quitados)", {"A2  Aula"}},
        {"sixty teachers for sixty others", "tuxa_prof.txt", teachers("P", 60), teachers("Q", 60),
         "cambio grande en PROFT: 60 registros antes, 60 ahora (60 quitados)",
         {"PROFT (por ABREV): 60 registros antes, 60 ahora: 60 nuevos, 60 quitados, 0 cambiados",
          "      Q149  Docente Q149\n      y 10 más\n    quitados:\n", "      P149  Docente P149\n      y 10 más\n"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Folders s;
        writeBareSchool(s, c.file, c.first);
        const auto first = s.cli("exportar");
        ASSERT_EQ(first.code, 0) << first.err;
        writeBareSchool(s, c.file, c.second);

        const auto check = s.cli("comprobar");
        EXPECT_EQ(check.code, c.warning.empty() ? 0 : 1) << check.out << check.err;
        const auto run = s.cli("exportar");
        EXPECT_EQ(run.code, 0) << run.err;
        const std::string report = changesSection(s.report()) + s.report();
        if (c.warning.empty()) {
            EXPECT_EQ(report.find("cambio grande"), std::string::npos) << report;
        } else {
            for (const std::string& text : {check.out, check.err, run.err, report})
                EXPECT_NE(text.find(c.warning), std::string::npos) << text;
        }
        for (const std::string& text : c.listed) EXPECT_NE(report.find(text), std::string::npos) << text << "\n" << report;
    }
}

}  // namespace
}  // namespace tht
