// What an export or an import replaced is kept, and `restaurar` brings it
// back as it was: run end to end through the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "platform/files.h"
#include "support/processes.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

const std::vector<std::string> kTables = {"ASIGNOMT.DBF", "PROFT.DBF",  "AULAT.DBF",
                                          "GRUPOST.DBF",  "ASIGT.DBF", "DIASHORAST.DBF"};

struct School {
    test::TempDir dir;
    const fs::path tuxa = dir / "escuela";
    const fs::path htemp = dir / "htemp";
    const fs::path kept = htemp / "transHoraloTuxa copias";

    School() { fs::copy(fs::path(THT_SOURCE_DIR) / "examples" / "escuela", tuxa, fs::copy_options::recursive); }

    test::ProgramResult cli(Args args) const {
        args.insert(args.begin() + 1, displayPath(tuxa));
        for (const std::string& a : {std::string("--htemp"), displayPath(htemp)}) args.push_back(a);
        return test::runProgram(THT_CLI, args, dir.path());
    }
    std::map<std::string, std::string> tables(const fs::path& folder) const {
        std::map<std::string, std::string> out;
        for (const std::string& t : kTables) out[t] = test::readBytes(folder / t);
        return out;
    }
    std::vector<std::string> sets(const fs::path& root) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(root)) names.push_back(e.path().filename().string());
        std::ranges::sort(names);
        return names;
    }
    // A second school: another teacher list, so every export differs from the last.
    void teachers(int n) const {
        std::string lines = "0TUXA_PROF.TXT\r\n";
        for (int i = 0; i < n; ++i) lines += "1P" + std::to_string(i) + "\r\n";
        std::ofstream(tuxa / "tuxa_prof.txt", std::ios::binary) << lines << "9TUXA_PROF.TXT\r\n";
    }
};

TEST(KeptSets, RestoringBringsBackTheTablesAnExportReplacedAndKeepsThoseItReplaces) {
    School s;
    ASSERT_EQ(s.cli({"exportar", "--quiet"}).code, 0);
    // A first export into an empty folder keeps nothing, and says so.
    EXPECT_NE(test::readBytes(s.htemp / "INFORME_TRANSHORALOTUXA.TXT").find("Copia de lo reemplazado: ninguna"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(s.kept));
    const auto a = s.tables(s.htemp);
    const std::string reportA = test::readBytes(s.htemp / "INFORME_TRANSHORALOTUXA.TXT");

    s.teachers(3);
    ASSERT_EQ(s.cli({"exportar", "--quiet"}).code, 0);
    const auto b = s.tables(s.htemp);
    ASSERT_NE(a, b);
    ASSERT_EQ(s.sets(s.kept).size(), 1u);
    const fs::path setA = s.kept / s.sets(s.kept)[0];
    EXPECT_EQ(s.tables(setA), a);
    EXPECT_EQ(test::readBytes(setA / "INFORME_TRANSHORALOTUXA.TXT"), reportA) << "the report that described it";

    const fs::path ini = s.dir / "Horalina.ini";
    const auto listed = s.cli({"restaurar", "--lista"});
    EXPECT_EQ(listed.code, 0) << listed.err;
    EXPECT_EQ(listed.out.substr(0, listed.out.find("  (")), setA.filename().string());
    const auto r = s.cli({"restaurar", "--ini", displayPath(ini), "--quiet"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Proceso finalizado\n");
    EXPECT_EQ(s.tables(s.htemp), a) << "byte for byte";
    EXPECT_EQ(test::readBytes(ini), "[Transformadores]\r\nTransformado=0\r\n");
    // B's set is kept in turn, so the restore itself can be undone, by name.
    const auto names = s.sets(s.kept);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(s.tables(s.kept / names[1]), b);
    const std::string report = test::readBytes(s.htemp / "INFORME_TRANSHORALOTUXA.TXT");
    EXPECT_NE(report.find("Copia restaurada: " + displayPath(setA)), std::string::npos) << report;
    EXPECT_EQ(s.cli({"restaurar", "--conjunto", names[1], "--quiet"}).code, 0);
    EXPECT_EQ(s.tables(s.htemp), b);

    const auto unknown = s.cli({"restaurar", "--conjunto", "2001-01-01 00.00.00"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_NE(unknown.err.find("No existe la copia guardada \"2001-01-01 00.00.00\""), std::string::npos) << unknown.err;
}

TEST(KeptSets, ASixthExportRemovesTheOldestSet) {
    School s;
    ASSERT_EQ(s.cli({"exportar", "--quiet"}).code, 0);
    std::vector<std::string> kept;  // the tables of PROFT each set holds, oldest first
    for (int i = 1; i <= 6; ++i) {
        kept.push_back(test::readBytes(s.htemp / "PROFT.DBF"));
        s.teachers(i);
        ASSERT_EQ(s.cli({"exportar", "--quiet"}).code, 0);
    }
    const auto names = s.sets(s.kept);
    ASSERT_EQ(names.size(), 5u);
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(test::readBytes(s.kept / names[i] / "PROFT.DBF"), kept[i + 1]) << names[i];
}

TEST(KeptSets, RestoringTheTimetableBringsBackTheFileASecondImportReplaced) {
    School s;
    ASSERT_EQ(s.cli({"exportar", "--quiet"}).code, 0);
    fs::copy_file(fs::path(THT_SOURCE_DIR) / "examples" / "horalina" / "SOLUC.DBF", s.htemp / "SOLUC.DBF");
    ASSERT_EQ(s.cli({"importar", "--quiet"}).code, 0);
    const fs::path timetable = s.tuxa / "TUXA_HORARIO.TXT";
    // Marked, so that it differs from what the second import writes in the same minute.
    std::ofstream(timetable, std::ios::binary | std::ios::app) << "first";
    const std::string first = test::readBytes(timetable);
    ASSERT_EQ(s.cli({"importar", "--quiet"}).code, 0);
    const std::string second = test::readBytes(timetable);
    ASSERT_NE(first, second);
    const auto r = s.cli({"restaurar", "--horario", "--quiet"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(test::readBytes(timetable), first);
    const auto names = s.sets(s.tuxa / "transHoraloTuxa copias");
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(test::readBytes(s.tuxa / "transHoraloTuxa copias" / names[1] / "TUXA_HORARIO.TXT"), second);
}

}  // namespace
}  // namespace tht
