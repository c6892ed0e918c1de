#include <gtest/gtest.h>

#include "base/messages.h"
#include "import/import_run.h"
#include "import/timetable_file.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/locked_file.h"
#include "store/table.h"
#include "support/table_page.h"
#include "support/tuxa_builder.h"
#include "support/restrict_false_positive.h"

namespace tht {
namespace {

using Row = std::vector<std::string>;

void makeTable(const std::filesystem::path& folder, std::string_view name, const std::vector<FieldDef>& fields,
               const std::vector<Row>& rows) {
    Table t = Table::create(folder, name, fields);
    for (const Row& row : rows) {
        t.append();
        for (std::size_t i = 0; i < row.size(); ++i) {
            const FieldId id = t.field(fields[i].name);
            if (fields[i].type == FieldType::Integer) {
                if (!row[i].empty()) t.writeInteger(id, std::stoll(row[i]));
            } else {
                t.writeString(id, test::cp1252(row[i]));
            }
        }
        t.post();
    }
    t.close();
}

FieldDef str(std::string name, int width = 10) { return {std::move(name), FieldType::String, width}; }

// The tables of an export, small, and a SOLUC written as a test wants it.
struct ImportFixture : test::RunFixture {
    ImportFixture() {
        writeTuxa("tuxa_asignat.txt", test::tuxaFile("TUXA_ASIGNAT.TXT", {}, "CENTRO01"));
        makeTable(htemp, "GRUPOST", {str("ABREV")}, {{"2BACH-B"}, {"1ESOA"}});
        makeTable(htemp, "PROFT", {str("ABREV")}, {});
        makeTable(htemp, "AULAT", {str("ABREV")}, {{"B1"}, {"A14x"}});
        makeTable(htemp, "ASIGNOMT", {str("COD"), str("CODTAREA"), str("CODTUXA", 20), str("CODIDITUXA")},
                  {{"T01", "LEC", "", ""},
                   {"MAT1", "", "MAT", ""},
                   {"RECAT", "", "RE", "CAT"},
                   {"REB", "", "RE", ""},
                   {"rel", "", "re", "X"},
                   {"ING", "", "INGLES", " I2 "},
                   {"*GUA", "GUA", "", ""}});
        makeTable(htemp, "DIASHORAST", {str("DIA", 20), str("HORA", 8), str("MARCO", 1), str("CODDIHO")},
                  {{"3", "2", "0", "0207"}, {"3", "2", "0", "0299"}, {"1", "1", "1", "0101"},
                   {"1", "1", "12", "XXXX"}, {"10", "1", "0", "1001"}});
    }

    void soluc(const std::vector<Row>& rows, FieldDef dia = {"DIA", FieldType::Integer}) {
        makeTable(htemp, "SOLUC",
                  {dia, str("HORA"), str("MARCO", 2), str("PROF"), str("CODGRUPO", 12), str("TAREA"), str("ASIG", 30),
                   str("AULA", 12)},
                  rows);
    }

    std::vector<std::string> timetable() const {
        const std::string bytes = test::readBytes(tuxa / "TUXA_HORARIO.TXT");
        std::vector<std::string> lines;
        for (std::size_t start = 0; start < bytes.size();) {
            const auto end = bytes.find("\r\n", start);
            lines.push_back(bytes.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }
};

TEST(Importar, WorkedExampleAndTheFallbacks) {
    ImportFixture f;
    f.soluc({
        {"3", "2", "0", "P12", "2BACH-B", "T01", "MAT1", "A14"},
        {"0", "1", "0", "P1", "1ESOA", "T01", "MAT1", "B1"},
        {"", "1", "0", "P1", "1ESOA", "T01", "MAT1", "B1"},
        {"1", "1", "12", "P1", "GRUPOLARGO12", "T99", "RECAT", "AULA_LARGA_1"},
        {"1", "1", "", "P1", "1ESOA", "MAT1", "REB", "B1"},
        {"10", "1", "0", "PROF99", "1ESOA", "*GUA", "rel", "B1"},
        {"7", "9", "0", "P1", "1ESOA", "T01", "ING", "B1"},
        {"2", "1", "0", "P1", "1ESOA", "T01", "NOEXISTE_ASIGNATURA_LARGA", "B1"},
    });
    EXPECT_EQ(f.importar(), RunOutcome::Completed);
    EXPECT_EQ(f.sink.messages, std::vector<std::string>{"Proceso finalizado"});
    EXPECT_EQ(f.estado, 1);

    const std::string tag = "TUXA_HORARIO.TXT" + std::string(34, ' ');
    const std::vector<std::string> expected = {
        "0" + tag + "CENTRO01091220241405",
        "10207XP12 2BACH-B   LEC MAT                 A14       ",
        "10101LP1  GRUPOLARGOLEC RE                  AULA_LARGA   CAT",
        "1    LP1  1ESOA         RE                  B1           ",
        "11001" "10PROF991ESOA     GUA re                  B1        X",
        "1    DP1  1ESOA     LEC INGLES              B1        I2",
        "1    MP1  1ESOA     LEC NOEXISTE_ASIGNATURA_B1        ",
        "9" + tag + "CENTRO010912202414056",
    };
    EXPECT_EQ(f.timetable(), expected);
    ASSERT_EQ(f.reports.size(), 1u);
    EXPECT_EQ(f.reports[0].linesRead, 8);
    EXPECT_EQ(f.reports[0].written, 6);
}

TEST(Importar, EmptySolutionGivesTwoLines) {
    ImportFixture f;
    f.soluc({{"0", "1", "0", "P1", "1ESOA", "T01", "MAT1", "B1"}});
    f.importar();
    const auto lines = f.timetable();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].back(), '0');
    EXPECT_EQ(lines[1].size(), 72u);
}

TEST(Importar, FieldsAreNeededOnlyByEntriesThatAreWritten) {
    ImportFixture f;
    // No AULA field, and no entry with a day: nothing ever reads it.
    makeTable(f.htemp, "SOLUC", {{"DIA", FieldType::Integer}, str("HORA")}, {{"0", "1"}});
    EXPECT_EQ(f.importar(), RunOutcome::Completed);
    EXPECT_EQ(f.timetable().size(), 2u);
    makeTable(f.htemp, "SOLUC", {{"DIA", FieldType::Integer}, str("HORA")}, {{"1", "1"}});
    try {
        f.importar();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<TableError>(), TableError::FieldMissing);
        EXPECT_EQ(e.context().field, "MARCO");
    }
}

// A field a looked-up table lacks stops the run only when an entry needs it:
// a key field when an entry searches the table, a value field when an entry
// finds a record there.
TEST(Importar, LookedUpFieldsAreNeededOnlyWhereUsed) {
    const struct {
        std::string table;
        std::vector<FieldDef> fields;
        std::vector<Row> rows;
        Row harmless, needing;
        std::string field;
    } cases[] = {
        {"ASIGNOMT", {str("COD"), str("CODTAREA"), str("CODTUXA", 20)}, {{"MAT1", "", "MAT"}},
         {"1", "1", "0", "P1", "1ESOA", "T01", "OTRA", "B1"}, {"1", "1", "0", "P1", "1ESOA", "T01", "MAT1", "B1"},
         "CODIDITUXA"},
        {"DIASHORAST", {str("DIA"), str("HORA"), str("CODDIHO")}, {{"1", "1", "0101"}},
         {"0", "1", "0", "P1", "1ESOA", "T01", "MAT1", "B1"}, {"1", "1", "0", "P1", "1ESOA", "T01", "MAT1", "B1"},
         "MARCO"},
        {"GRUPOST", {str("NOMBRE")}, {{"1ESOA"}},
         {"0", "1", "0", "P1", "1ESOA", "T01", "MAT1", "B1"}, {"1", "1", "0", "P1", "1ESOA", "T01", "MAT1", "B1"},
         "ABREV"},
    };
    for (const auto& c : cases) {
        ImportFixture f;
        makeTable(f.htemp, c.table, c.fields, c.rows);
        f.soluc({c.harmless});
        EXPECT_EQ(f.importar(), RunOutcome::Completed) << c.table;
        f.soluc({c.harmless, c.needing});
        try {
            f.importar();
            ADD_FAILURE() << "no error: " << c.table;
        } catch (const Error& e) {
            EXPECT_EQ(e.kindOf<TableError>(), TableError::FieldMissing) << c.table;
            EXPECT_EQ(e.context().field, c.field) << c.table;
        }
    }
}

THT_RESTRICT_FALSE_POSITIVE_BEGIN
TEST(Importar, CentreCodeFromTheFirstTitleLine) {
    const struct {
        std::string subjects;
        std::string centre;
    } cases[] = {
        {"1 no title\r\n9 trailer\r\n", "        "},
        {"1data\r\n0" + std::string(50, 'T') + "ABCD\r\n0" + std::string(50, 'T') + "OTHER\r\n", "ABCD    "},
        {"0" + std::string(50, 'T') + "  C 1234XYZ\r\n", "  C 1234"},
        {"0short\r\n", "        "},
        // The beginning of the file is read first (64 KiB): a title beyond it, or cut by it, is found in the whole file.
        {"1" + std::string(69999, 'x') + "\r\n0" + std::string(50, 'T') + "LEJOS123\r\n", "LEJOS123"},
        {"1" + std::string(65527, 'x') + "\r\n0" + std::string(50, 'T') + "CORTADO1\r\n", "CORTADO1"},
        {"1" + std::string(65527, 'x') + "\r\n0" + std::string(50, 'T') + "CORTADO1", "CORTADO1"},
        {"1" + std::string(80000, 'x') + "\r\n", "        "},
    };
    for (const auto& c : cases) {
        ImportFixture f;
        f.soluc({});
        f.writeTuxa("tuxa_asignat.txt", c.subjects);
        f.importar();
        EXPECT_EQ(f.timetable().front().substr(51, 8), c.centre);
        EXPECT_EQ(f.reports.front().warnings, std::vector<std::string>{std::string(msg::warn::kEmptySolution)});
    }
}
THT_RESTRICT_FALSE_POSITIVE_END

TEST(Importar, FailuresKeepTheEarlierTimetable) {
    const struct {
        std::string what;
        bool (*kind)(const Error&);
    } cases[] = {{"missing PROFT", [](const Error& e) { return e.is(TableError::Missing); }},
                 {"locked SOLUC", [](const Error& e) { return e.is(TableError::InUse); }},
                 {"missing subjects file", [](const Error& e) { return e.is(FileError::Unreadable); }},
                 {"DIA not a number", [](const Error& e) { return e.is(TableError::FieldValue); }}};
    for (const auto& c : cases) {
        ImportFixture f;
        f.soluc({{"1", "1", "0", "P1", "1ESOA", "T01", "MAT1", "B1"}});
        const auto earlier = f.dir.write("tuxa/TUXA_HORARIO.TXT", "earlier");
        std::optional<LockedFile> lock;
        if (c.what == "missing PROFT") std::filesystem::remove(f.htemp / "PROFT.DBF");
        if (c.what == "locked SOLUC") lock = LockedFile::open(f.htemp / "SOLUC.DBF", LockedFile::Mode::Exclusive);
        if (c.what == "missing subjects file") std::filesystem::remove(f.tuxa / "tuxa_asignat.txt");
        if (c.what == "DIA not a number") f.soluc({{"tres", "1", "0", "P1", "1ESOA", "T01", "MAT1", "B1"}}, str("DIA"));
        try {
            f.importar();
            ADD_FAILURE() << "no error: " << c.what;
        } catch (const Error& e) {
            EXPECT_TRUE(c.kind(e)) << c.what << ": " << e.what();
        }
        EXPECT_EQ(test::readBytes(earlier), "earlier") << c.what;
        EXPECT_EQ(f.estado, 0) << c.what;
    }
}

TEST(Importar, MissingFolderSetsStatusZeroInCommandLineMode) {
    for (int modo : {0, 2}) {
        test::RunFixture f;
        f.estado = 5;
        f.ctx.mode = modo == 2 ? InvocationMode::CommandLine : InvocationMode::Interactive;
        f.ctx.dirTxt = makeDirTxt((f.dir / "none").string());
        EXPECT_EQ(f.importar(), RunOutcome::FolderMissing);
        EXPECT_EQ(f.sink.messages, std::vector<std::string>{"No existe la carpeta"});
        EXPECT_EQ(f.estado, modo == 2 ? 0 : 5);
    }
}

}  // namespace
}  // namespace tht
