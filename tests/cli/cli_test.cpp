// The command line as a user or a script runs it: a real process, its
// standard output and error, its exit code and the settings file it writes.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/processes.h"
#include "support/tuxa_builder.h"
#include "version.h"

namespace tht {
namespace {

using Args = std::vector<std::string>;

test::ProgramResult runCli(const Args& args, const std::filesystem::path& scratch) {
    return test::runProgram(THT_CLI, args, scratch);
}

std::string text(const std::filesystem::path& p) { return displayPath(p); }

void writeCompleteSchool(const test::RunFixture& f) {
    using test::line;
    f.writeTuxa("tuxa_asignat.txt", test::tuxaFile("TUXA_ASIGNAT.TXT", {line({{2, "MAT"}, {22, "Matemáticas"}})}));
    f.writeTuxa("tuxa_prof.txt", test::tuxaFile("TUXA_PROF.TXT", {line({{2, "P1"}}), line({{2, "p1"}})}));
    f.writeTuxa("tuxa_aulas.txt", test::tuxaFile("TUXA_AULAS.TXT", {line({{2, "A1"}})}));
    f.writeTuxa("tuxa_grupo.txt", test::tuxaFile("TUXA_GRUPOS.TXT", {line({{2, "1A"}})}));
    f.writeTuxa("tuxa_asignatgrupo.txt", test::tuxaFile("TUXA_ASIGNATGRUPO.TXT", {line({{2, "1A"}, {12, "MAT"}})}));
    f.writeTuxa("tuxa_asignatcurso.txt", test::tuxaFile("TUXA_ASIGNATCURSO.TXT", {}));
    f.writeTuxa("tuxa_sesiones.txt", test::tuxaFile("TUXA_SESIONES.TXT", {line({{5, "P1"}, {9, "L"}, {10, "08000900"}})}));
}

TEST(CommandLine, ExportsACompleteFolder) {
    test::RunFixture f;
    writeCompleteSchool(f);
    const auto ini = f.dir / "Horalina.ini";
    f.dir.write("Horalina.ini", "[Otra]\r\nClave=1\r\n");
    const auto r = runCli({"exportar", text(f.tuxa), "--htemp", text(f.htemp), "--ini", text(ini)}, f.dir.path());
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Proceso finalizado\n");
    EXPECT_NE(r.err.find("PROFT: 1 escrito de 2 leídos"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("1 línea descartada: código de profesor repetido (línea 3)"), std::string::npos) << r.err;
    EXPECT_EQ(test::readBytes(ini), "[Otra]\r\nClave=1\r\n[Transformadores]\r\nTransformado=1\r\n");
}

TEST(CommandLine, MissingFilesGiveStatusMinusOne) {
    test::RunFixture f;
    writeCompleteSchool(f);
    std::filesystem::remove(f.tuxa / "tuxa_aulas.txt");
    const auto ini = f.dir / "h.ini";
    const auto r = runCli({"exportar", text(f.tuxa), "--quiet", "--htemp", text(f.htemp), "--ini", text(ini)}, f.dir.path());
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "No existe archivo de aulas (TUXA_AULAS.TXT)\nProceso finalizado\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(test::readBytes(ini), "[Transformadores]\r\nTransformado=-1\r\n");
}

TEST(CommandLine, MissingFolderStopsBothDirections) {
    test::RunFixture f;
    const struct {
        std::string verb, status, folder;
    } cases[] = {{"exportar", "-1", text(f.dir / "none")}, {"importar", "0", text(f.dir / "none")}};
    for (const auto& c : cases) {
        const auto ini = f.dir / ("h-" + c.verb + ".ini");
        const auto r = runCli({c.verb, c.folder, "--htemp", text(f.htemp), "--ini", text(ini)}, f.dir.path());
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "No existe la carpeta\n");
        EXPECT_EQ(test::readBytes(ini), "[Transformadores]\r\nTransformado=" + c.status + "\r\n");
    }
}

TEST(CommandLine, ErrorsStopWithCodeTwoAndKeepTheStatus) {
    test::RunFixture f;
    writeCompleteSchool(f);
    const auto ini = f.dir / "h.ini";
    const auto r = runCli({"importar", text(f.tuxa), "--htemp", text(f.htemp), "--ini", text(ini)}, f.dir.path());
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("error: No existe la tabla"), std::string::npos) << r.err;
    EXPECT_EQ(test::readBytes(ini), "[Transformadores]\r\nTransformado=0\r\n");
}

TEST(CommandLine, ExportThenImport) {
    test::RunFixture f;
    writeCompleteSchool(f);
    ASSERT_EQ(runCli({"exportar", text(f.tuxa), "--quiet", "--htemp", text(f.htemp)}, f.dir.path()).code, 0);
    std::filesystem::copy_file(f.htemp / "ASIGT.DBF", f.htemp / "SOLUC.DBF");  // fields missing: an error, not a crash
    const auto bad = runCli({"importar", text(f.tuxa), "--htemp", text(f.htemp)}, f.dir.path());
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.err.find("no tiene el campo DIA"), std::string::npos) << bad.err;
}

TEST(CommandLine, FoldersWithAccentedNames) {
    // The names travel as UTF-8 from the arguments to the system and back into messages.
    test::RunFixture f;
    const auto tuxa = f.dir.path() / pathFromUtf8("Colegio Pe\u00f1a"), htemp = f.dir.path() / pathFromUtf8("Datos del a\u00f1o");
    writeCompleteSchool(f);
    std::filesystem::copy(f.tuxa, tuxa);
    const auto done = runCli({"exportar", text(tuxa), "--quiet", "--htemp", text(htemp)}, f.dir.path());
    EXPECT_EQ(done.code, 0) << done.err;
    EXPECT_TRUE(std::filesystem::exists(htemp / "ASIGT.DBF"));
    const auto stopped = runCli({"importar", text(tuxa), "--htemp", text(htemp)}, f.dir.path());
    EXPECT_EQ(stopped.code, 2);
    EXPECT_NE(stopped.err.find("No existe la tabla " + text(htemp / "SOLUC.DBF")), std::string::npos) << stopped.err;
}

TEST(CommandLine, Usage) {
    test::TempDir dir;
    const struct {
        Args args;
        int code;
    } cases[] = {{{}, 64}, {{"exportar"}, 64}, {{"borrar", "x"}, 64}, {{"exportar", "a", "b"}, 64}, {{"--version"}, 0},
                 {{"--help"}, 0}, {{"exportar", "x", "--nada"}, 64},
                 // An unset shell variable names no folder: never the default one, never the current one.
                 {{"importar", ""}, 64}, {{"exportar", "x", "--htemp", ""}, 64}, {{"exportar", "x", "--ini", ""}, 64}};
    for (const auto& c : cases) EXPECT_EQ(runCli(c.args, dir.path()).code, c.code) << ::testing::PrintToString(c.args);
    EXPECT_EQ(runCli({"--version"}, dir.path()).out, std::string("transhoralotuxa-cli ") + THT_VERSION + "\n");
    for (const Args& asked : {Args{"--help"}, Args{"exportar", "--help"}, Args{"importar", "-h"}}) {
        const std::string help = runCli(asked, dir.path()).out;
        EXPECT_NE(help.find("Uso: "), std::string::npos) << help;
        for (const char* english : {"Usage", "Options", "OPTIONS", "Subcommand", "SUBCOMMAND", "Positionals", "REQUIRED", " TEXT "})
            EXPECT_EQ(help.find(english), std::string::npos) << english << " in\n" << help;
    }
}

// What is wrong with the arguments, in the user's words, on the first line of the error output.
TEST(CommandLine, UsageProblemsAreToldInSpanish) {
    test::TempDir dir;
    const struct {
        Args args;
        const char* problem;
    } cases[] = {
        {{}, "falta la orden: exportar, importar, comprobar o restaurar"},
        {{"--nada"}, "falta la orden: exportar, importar, comprobar o restaurar"},
        {{"importar"}, "falta la carpeta de TUXA (CARPETA)"},
        {{"exportar", "--nada"}, "falta la carpeta de TUXA (CARPETA)"},
        {{"exportar", "x", "--nada"}, "sobra el argumento --nada"},
        {{"x", "exportar", "y"}, "sobra el argumento x"},
        {{"comprobar", "x", "--ini"}, "sobra el argumento --ini"},
        {{"exportar", "a", "b", "c"}, "sobran los argumentos b c"},
        {{"exportar", "x", "--htemp"}, "falta el valor de --htemp"},
        {{"exportar", "x", "--informe="}, "falta el valor de --informe"},
        {{"exportar", "x", "--htemp", "--quiet"}, "falta el valor de --htemp"},
        {{"importar", "x", "--ini", "--htemp=h"}, "falta el valor de --ini"},
        {{"exportar", "x", "--ini", "a", "--ini", "b"}, "--ini se ha dado más de una vez"},
        {{"exportar", "x", "--quiet=si"}, "argumentos no válidos"},
    };
    for (const auto& c : cases) {
        const auto r = runCli(c.args, dir.path());
        EXPECT_EQ(r.code, 64) << ::testing::PrintToString(c.args);
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), std::string("error: ") + c.problem) << r.err;
    }
}

TEST(CommandLine, AMissingFolderIsNamedBesideTheWindowsMessage) {
    test::TempDir dir;
    const std::string folder = text(dir.path() / "no hay tal");
    for (const char* direction : {"exportar", "importar"}) {
        const auto r = runCli({direction, folder, "--htemp", text(dir.path())}, dir.path());
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "No existe la carpeta\n");
        EXPECT_NE(r.err.find("error: No existe la carpeta " + folder + "\n"), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace tht
