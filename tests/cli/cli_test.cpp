// The command line as a user or a script runs it: a real process, its
// standard output and error, its exit code and the settings file it writes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>

#include "support/tuxa_builder.h"
#include "version.h"

namespace tht {
namespace {

struct Result {
    int code;
    std::string out, err;
};

Result runCli(const std::string& args, const std::filesystem::path& scratch) {
    const auto errFile = scratch / "stderr.txt";
    const std::string command = std::string(THT_CLI) + " " + args + " 2>'" + errFile.string() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    std::array<char, 4096> buf;
    for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), pipe)) > 0;) out.append(buf.data(), n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, test::readBytes(errFile)};
}

std::string quoted(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

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
    const Result r = runCli("exportar " + quoted(f.tuxa) + " --htemp " + quoted(f.htemp) + " --ini " + quoted(ini), f.dir.path());
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Proceso finalizado\n");
    EXPECT_NE(r.err.find("PROFT: 1 escritos de 2 leídos"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("código de profesor repetido (líneas 3)"), std::string::npos) << r.err;
    EXPECT_EQ(test::readBytes(ini), "[Otra]\r\nClave=1\r\n[Transformadores]\r\nTransformado=1\r\n");
}

TEST(CommandLine, MissingFilesGiveStatusMinusOne) {
    test::RunFixture f;
    writeCompleteSchool(f);
    std::filesystem::remove(f.tuxa / "tuxa_aulas.txt");
    const auto ini = f.dir / "h.ini";
    const Result r = runCli("exportar " + quoted(f.tuxa) + " --quiet --htemp " + quoted(f.htemp) + " --ini " + quoted(ini), f.dir.path());
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "No existe archivo de aulas (TUXA_AULAS.TXT)\nProceso finalizado\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(test::readBytes(ini), "[Transformadores]\r\nTransformado=-1\r\n");
}

TEST(CommandLine, MissingFolderStopsBothDirections) {
    test::RunFixture f;
    const struct {
        std::string verb, status, folder;
    } cases[] = {{"exportar", "-1", quoted(f.dir / "none")}, {"importar", "0", quoted(f.dir / "none")}};
    for (const auto& c : cases) {
        const auto ini = f.dir / ("h-" + c.verb + ".ini");
        const Result r = runCli(c.verb + " " + c.folder + " --htemp " + quoted(f.htemp) + " --ini " + quoted(ini),
                                f.dir.path());
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, "No existe la carpeta\n");
        EXPECT_EQ(test::readBytes(ini), "[Transformadores]\r\nTransformado=" + c.status + "\r\n");
    }
}

TEST(CommandLine, ErrorsStopWithCodeTwoAndKeepTheStatus) {
    test::RunFixture f;
    writeCompleteSchool(f);
    const auto ini = f.dir / "h.ini";
    const Result r = runCli("importar " + quoted(f.tuxa) + " --htemp " + quoted(f.htemp) + " --ini " + quoted(ini), f.dir.path());
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("error: No existe la tabla"), std::string::npos) << r.err;
    EXPECT_EQ(test::readBytes(ini), "[Transformadores]\r\nTransformado=0\r\n");
}

TEST(CommandLine, ExportThenImport) {
    test::RunFixture f;
    writeCompleteSchool(f);
    ASSERT_EQ(runCli("exportar " + quoted(f.tuxa) + " --quiet --htemp " + quoted(f.htemp), f.dir.path()).code, 0);
    std::filesystem::copy_file(f.htemp / "ASIGT.DBF", f.htemp / "SOLUC.DBF");  // fields missing: an error, not a crash
    const Result bad = runCli("importar " + quoted(f.tuxa) + " --htemp " + quoted(f.htemp), f.dir.path());
    EXPECT_EQ(bad.code, 2);
    EXPECT_NE(bad.err.find("no tiene el campo DIA"), std::string::npos) << bad.err;
}

TEST(CommandLine, Usage) {
    test::TempDir dir;
    const struct {
        std::string args;
        int code;
    } cases[] = {{"", 64}, {"exportar", 64}, {"borrar x", 64}, {"exportar a b", 64}, {"--version", 0}, {"--help", 0},
                 {"exportar x --nada", 64},
                 // An unset shell variable names no folder: never the default one, never the current one.
                 {"importar ''", 64}, {"exportar x --htemp ''", 64}, {"exportar x --ini ''", 64}};
    for (const auto& c : cases) EXPECT_EQ(runCli(c.args, dir.path()).code, c.code) << c.args;
    EXPECT_EQ(runCli("--version", dir.path()).out, std::string("transhoralotuxa-cli ") + THT_VERSION + "\n");
}

}  // namespace
}  // namespace tht
