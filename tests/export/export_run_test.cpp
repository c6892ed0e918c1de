#include <gtest/gtest.h>

#include "export/value_error.h"
#include "store/table_error.h"
#include "run/run_report.h"
#include "export/export_run.h"
#include "platform/error.h"
#include "store/commit_journal.h"
#include "support/tuxa_builder.h"
#include "text/tuxa_files.h"

namespace tht {
namespace {

TEST(Exportar, MissingFolderChangesNothing) {
    for (int modo : {0, 2}) {
        test::RunFixture f;
        f.ctx.mode = modo == 2 ? InvocationMode::CommandLine : InvocationMode::Interactive;
        f.ctx.dirTxt = makeDirTxt((f.dir / "no-such-folder").string());
        EXPECT_EQ(f.exportar(), RunOutcome::FolderMissing);
        EXPECT_EQ(f.sink.messages, std::vector<std::string>{"No existe la carpeta"});
        EXPECT_EQ(f.estado, modo == 2 ? -1 : 0);
        EXPECT_TRUE(f.reports.empty());
    }
}

TEST(Exportar, EmptyFolderShowsEveryMissingFileInStepOrder) {
    test::RunFixture f;
    EXPECT_EQ(f.exportar(), RunOutcome::Completed);
    const std::vector<std::string> expected = {
        "No existe archivo de asignaturas (TUXA_ASIGNAT.TXT)", "No existe archivo de profesores (TUXA_PROF.TXT)",
        "No existe archivo de aulas (TUXA_AULAS.TXT)",         "No existe archivo de grupos (TUXA_GRUPO.TXT)",
        "No existe archivo de grupos (TUXA_ASIGNATGRUPO.TXT)", "No existe archivo de grupos (TUXA_SESIONES.TXT)",
        "Proceso finalizado"};
    EXPECT_EQ(f.sink.messages, expected);
    EXPECT_EQ(f.estado, -1);
    EXPECT_EQ(f.reports.size(), 6u);
}

TEST(Exportar, ACommitAnEarlierRunLeftHalfDoneIsPutRightAndSaidInTheSummary) {
    for (auto direction : {CommitJournal::Direction::Forward, CommitJournal::Direction::Back}) {
        const bool forward = direction == CommitJournal::Direction::Forward;
        test::RunFixture f;
        std::filesystem::create_directories(f.htemp);
        f.dir.write("htemp/AULAT.DBF", "old");
        f.dir.write("htemp/.tht-00000001.tmp", "new");
        writeCommitJournal(f.htemp, {direction, {{f.htemp / ".tht-00000001.tmp", f.htemp / "AULAT.DBF",
                                                  f.htemp / ".tht-00000002.tmp"}}});
        EXPECT_EQ(f.exportar(), RunOutcome::Completed);  // no TUXA file: the tables stay
        EXPECT_EQ(test::readBytes(f.htemp / "AULAT.DBF"), forward ? "new" : "old");
        EXPECT_FALSE(std::filesystem::exists(f.htemp / std::string(kCommitJournalFile)));
        ASSERT_EQ(f.reports.size(), 7u);
        const std::string htemp = displayPath(f.htemp);
        const std::string summary = formatSummary(f.reports);
        EXPECT_EQ(summary.substr(0, summary.find('\n', summary.find('\n') + 1) + 1),
                  htemp + ":\n  aviso: Una ejecución anterior se detuvo mientras cambiaba las tablas: " +
                      (forward ? "se ha completado el cambio\n" : "se han restaurado las tablas anteriores\n"));
        // The report tells it among the warnings, not as a table read and written.
        RunResult result;
        result.reports = f.reports;
        const std::string report = formatRunReport({}, result);
        EXPECT_NE(report.find("\n  " + htemp + ": Una ejecución anterior se detuvo"), std::string::npos) << report;
        EXPECT_EQ(report.find("\n" + htemp + ": "), std::string::npos) << report;
    }
}

TEST(Exportar, AHoralinaFolderThatCannotBeMadeMattersOnlyToAStepThatWrites) {
    test::RunFixture f;
    f.ctx.htemp = f.dir.write("not-a-folder", "x");
    EXPECT_EQ(f.exportar(), RunOutcome::Completed);  // no input file: no table to write
    EXPECT_EQ(f.estado, -1);
    f.writeTuxa("tuxa_prof.txt", test::tuxaFile("TUXA_PROF.TXT", {}));
    f.estado = 0;
    try {
        f.exportar();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<TableError>(), TableError::FolderMissing);
        EXPECT_EQ(f.estado, 0) << "a stopped run replaced nothing and says so";
    }
}

TEST(Exportar, CreatesTheHoralinaFolderAndSetsStatusOne) {
    test::RunFixture f;
    f.ctx.htemp = f.dir / "new" / "HTEMP";
    for (const TuxaFile* file : tuxa::all)
        if (file != &tuxa::actividades)
            f.writeTuxa(file->fileName, test::tuxaFile(std::string(file->tag.begin(), file->tag.end()), {}));
    EXPECT_EQ(f.exportar(), RunOutcome::Completed);
    EXPECT_EQ(f.sink.messages, std::vector<std::string>{"Proceso finalizado"});
    EXPECT_EQ(f.estado, 1);
    for (const char* table : {"ASIGNOMT", "PROFT", "AULAT", "GRUPOST", "ASIGT", "DIASHORAST"}) {
        const std::string header = test::readBytes(f.ctx.htemp / (std::string(table) + ".DBF")).substr(0, 4);
        EXPECT_EQ(header.substr(1), std::string({124, 12, 9})) << table << ": dated by the run's clock, 2024-12-09";
    }
}

}  // namespace
}  // namespace tht
