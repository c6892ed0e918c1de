// The run report as the secretary meets it: INFORME_TRANSHORALOTUXA.TXT after a
// real run of the command line on the example school, comprobar beside a
// filled Horalina folder, and a report that cannot be written.
#include <gtest/gtest.h>

#include <map>

#include "run/run_lock.h"
#include "platform/files.h"
#include "support/processes.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

test::ProgramResult runCli(const Args& args, const fs::path& scratch) { return test::runProgram(THT_CLI, args, scratch); }

std::string text(const fs::path& p) { return displayPath(p); }

// The example school and an empty Horalina folder, in a fresh temporary folder.
struct ExampleRun {
    test::TempDir dir;
    fs::path tuxa = dir.path() / "escuela";
    fs::path htemp = dir.path() / "htemp";
    fs::path report = htemp / "INFORME_TRANSHORALOTUXA.TXT";

    ExampleRun() {
        fs::copy(fs::path(THT_SOURCE_DIR) / "examples" / "escuela", tuxa);
        fs::create_directories(htemp);
    }
    test::ProgramResult run(const std::string& verb, Args more = {}) const {
        Args args{verb, text(tuxa), "--htemp", text(htemp), "--quiet"};
        args.insert(args.end(), more.begin(), more.end());
        return runCli(args, dir.path());
    }
    test::ProgramResult exportThenImport() const {
        if (const auto r = run("exportar"); r.code != 0) return r;
        fs::copy_file(fs::path(THT_SOURCE_DIR) / "examples" / "horalina" / "SOLUC.DBF", htemp / "SOLUC.DBF");
        return run("importar");
    }
};

// The report as Notepad shows it: the byte-order mark and CR LF taken off.
std::string reportText(const fs::path& file) {
    const std::string bytes = test::readBytes(file);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    std::string out;
    for (std::size_t i = 3; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "a line end without CR at byte " << i;
        }
        if (bytes[i] != '\r') out += bytes[i];
    }
    return out;
}

// Every line but those that tell which run it was, when, and what it kept.
std::string withoutRunAndDate(const std::string& report) {
    std::string out;
    std::size_t from = 0;
    while (from < report.size()) {
        std::size_t end = report.find('\n', from);
        end = end == std::string::npos ? report.size() : end + 1;
        const std::string_view line(report.data() + from, end - from);
        // A check replaces nothing, so it keeps nothing: the export's line of what it kept is not its.
        if (!line.starts_with("Ejecución: ") && !line.starts_with("Fecha: ") &&
            !line.starts_with("Copia de lo reemplazado: "))
            out += line;
        from = end;
    }
    return out;
}

// Every file of a folder and its bytes; the lock file only by its name, as the
// lock that a test holds on it may keep it from being read.
std::map<std::string, std::string> folderBytes(const fs::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = text(entry.path().filename());
        files[name] = name == kRunLockFile ? std::string() : test::readBytes(entry.path());
    }
    return files;
}

TEST(RunReport, TheExampleListsEveryPlantedProblemWithItsLineAndValue) {
    const struct {
        std::string verb;
        std::vector<std::string> lines;  // each a whole line of the report
    } cases[] = {
        {"exportar",
         {"Resultado: completado", "Estado: 1 (transformado)", "PROFT: 31 escritos de 32 leídos",
          "  1 línea descartada: código de profesor repetido", "    tuxa_prof.txt, línea 27: profesor \"garc\"",
          "ASIGT: 188 escritos de 190 leídos", "  2 líneas descartadas: asignatura que no está en ASIGNOMT",
          "    tuxa_asignatgrupo.txt, línea 34: asignatura \"lengua\", identificador \"10001\"",
          "    tuxa_asignatgrupo.txt, línea 83: asignatura \"ROBOTICA\", identificador \"10099\"",
          "  1 registro: grupo que no está en GRUPOST",
          "    tuxa_asignatgrupo.txt, línea 100 (ASIGT, registro 97): grupo \"3ESOC\"",
          "  2 registros: sin línea de curso: 1 hora",
          "    tuxa_asignatgrupo.txt, línea 100 (ASIGT, registro 97): asignatura \"MUSICA\", identificador \"10014\", "
          "grupo \"3ESOC\"",
          "    tuxa_asignatgrupo.txt, línea 184 (ASIGT, registro 181): asignatura \"COMUNICACION SOC I\", "
          "identificador \"100037\", grupo \"1FPBA\"",
          "  ninguno", "En total: 6 líneas o registros con problemas y 0 avisos."}},
        {"importar",
         {"TUXA_HORARIO.TXT: 190 escritos de 192 leídos", "  1 registro: tarea que no está en ASIGNOMT: LEC",
          "    SOLUC, registro 1: tarea \"T99\"", "    SOLUC, registro 4: aula \"PATIO\"",
          "  2 registros: grupo que no está en GRUPOST", "    SOLUC, registro 32: grupo \"DESDOBLE3ESO\"",
          "    SOLUC, registro 193: grupo \"3ESOC\"", "    SOLUC, registro 64: asignatura \"PROYECTO\"",
          "  2 registros: DIA 0: sin línea", "    SOLUC, registro 96", "    SOLUC, registro 128",
          "En total: 7 líneas o registros con problemas y 0 avisos."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.verb);
        const ExampleRun example;
        const auto r = c.verb == "exportar" ? example.run("exportar") : example.exportThenImport();
        ASSERT_EQ(r.code, 0) << r.err;
        const std::string report = reportText(example.report);
        EXPECT_TRUE(report.starts_with("INFORME DE TRANSHORALOTUXA\n")) << report;
        for (const std::string& line : c.lines) EXPECT_NE(report.find("\n" + line + "\n"), std::string::npos) << line << "\n" << report;
    }
}

TEST(RunReport, ComprobarGivesTheExportsReportAndLeavesHoralinaUntouched) {
    const ExampleRun example;
    ASSERT_EQ(example.exportThenImport().code, 0);
    ASSERT_EQ(example.run("exportar").code, 0);
    const std::string exported = reportText(example.report);
    // Another run holds Horalina's folder: a check needs no lock on it.
    const RunLock held = RunLock::take(example.htemp, RunLock::Use::Alone);
    const auto before = folderBytes(example.htemp);

    const auto check = example.run("comprobar");
    EXPECT_EQ(check.code, 1) << check.err;
    EXPECT_EQ(withoutRunAndDate(check.out), withoutRunAndDate(exported));
    EXPECT_NE(check.out.find("Ejecución: comprobar"), std::string::npos) << check.out;
    const auto toFile = example.run("comprobar", {"--informe", text(example.dir.path() / "comprobado.txt")});
    EXPECT_EQ(toFile.code, 1);
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(withoutRunAndDate(reportText(example.dir.path() / "comprobado.txt")), withoutRunAndDate(exported));

    EXPECT_TRUE(folderBytes(example.htemp) == before) << "Horalina's folder changed";
    // No status for Horalina: a check takes no --ini, and writes none by itself.
    EXPECT_EQ(example.run("comprobar", {"--ini", text(example.dir.path() / "h.ini")}).code, 64);
    EXPECT_FALSE(fs::exists(example.dir.path() / "h.ini"));
    for (const auto& entry : fs::directory_iterator(example.dir.path()))
        EXPECT_NE(entry.path().extension(), ".ini") << text(entry.path());
}

TEST(RunReport, ARunRefusedBecauseTheFolderIsInUseLeavesTheReportOfTheRunThatHoldsIt) {
    const ExampleRun example;
    ASSERT_EQ(example.exportThenImport().code, 0);
    const std::string before = test::readBytes(example.report);
    // Another run is working in Horalina's folder; its report is the one to keep.
    const RunLock held = RunLock::take(example.htemp, RunLock::Use::Alone);
    for (const std::string verb : {"exportar", "importar"}) {
        SCOPED_TRACE(verb);
        const auto refused = example.run(verb);
        EXPECT_EQ(refused.code, 2) << refused.err;
        EXPECT_NE(refused.err.find("en uso"), std::string::npos) << refused.err;
        EXPECT_EQ(test::readBytes(example.report), before);
        // A report asked for by name is this run's own: it says why nothing was done.
        const fs::path own = example.dir.path() / (verb + ".txt");
        EXPECT_EQ(example.run(verb, {"--informe", text(own)}).code, 2);
        EXPECT_NE(reportText(own).find("Resultado: detenido"), std::string::npos) << reportText(own);
    }
}

TEST(RunReport, AReportThatCannotBeWrittenIsAWarningAndTheStatusStands) {
    const struct {
        std::string verb;
        int code;            // as with the report written
        std::string status;  // in the INI; empty: a check writes none
    } cases[] = {{"exportar", 0, "1"}, {"importar", 0, "1"}, {"comprobar", 1, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.verb);
        const ExampleRun example;
        if (c.verb == "importar") {
            ASSERT_EQ(example.exportThenImport().code, 0);
        }
        const fs::path blocked = example.dir.path() / "informe";
        fs::create_directories(blocked);  // a folder where the report should be
        const fs::path ini = example.dir.path() / "Horalina.ini";
        Args more{"--informe", text(blocked)};
        if (!c.status.empty()) more.insert(more.end(), {"--ini", text(ini)});
        const auto r = example.run(c.verb, more);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_NE(r.err.find("aviso: no se ha podido escribir el informe " + text(blocked)), std::string::npos) << r.err;
        EXPECT_TRUE(fs::is_directory(blocked));
        if (!c.status.empty()) {
            EXPECT_EQ(test::readBytes(ini), "[Transformadores]\r\nTransformado=" + c.status + "\r\n");
        }
    }
}

}  // namespace
}  // namespace tht
