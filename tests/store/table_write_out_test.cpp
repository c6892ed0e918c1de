// A new table that is only appended to writes its records out to its
// temporary file as they come, so that a table of any size costs little
// memory; walking or editing it reads them back. Either way the
// table is the same, and a table never closed, or a unit never committed,
// replaces nothing.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/error.h"
#include "store/table.h"
#include "store/table_batch.h"
#include "support/dbfread.h"
#include "support/table_page.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

namespace fs = std::filesystem;

const std::vector<FieldDef> kFields = {
    {"CODIGO", FieldType::String, 10}, {"NOMBRE", FieldType::String, 80}, {"NUMERO", FieldType::Integer}};
constexpr int kRecords = 20000;  // about 2 MiB: written out twice before the table is closed

LocalDateTime fixedClock() { return {2024, 12, 9, 14, 5, 0}; }

std::string code(int i) { return "C" + std::to_string(i); }
std::string name(int i) { return test::cp1252("Aula de Música ") + std::to_string(i); }

// The record at 0-based place i of a table of live records.
void goTo(Table& t, int i) {
    t.first();
    while (i-- > 0) t.next();
}

void appendRecords(Table& t, int from, int to) {
    for (int i = from; i < to; ++i) {
        t.append();
        t.writeString(t.field("CODIGO"), code(i));
        t.writeString(t.field("NOMBRE"), name(i));
        t.writeInteger(t.field("NUMERO"), i);
        t.post();
    }
}

std::vector<std::string> entries(const fs::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

TEST(TableWriteOut, ATableWrittenOutIsTheTableHeldWhole) {
    test::TempDir written, held;
    {
        Table t = Table::create(written.path(), "PRUEBA", kFields, TableLevel::DBase4, fixedClock);
        appendRecords(t, 0, kRecords);
        // Its records are on the disk already, under the temporary name.
        ASSERT_EQ(entries(written.path()).size(), 1u);
        EXPECT_GT(fs::file_size(written.path() / entries(written.path())[0]), std::uintmax_t{1} << 20);
        t.append();  // never posted, after a refused value: close() drops it
        t.writeString(t.field("CODIGO"), "PERDIDO");
        EXPECT_THROW(t.writeString(t.field("NUMERO"), "x"), Error);
        t.close();
    }
    {
        Table t = Table::create(held.path(), "PRUEBA", kFields, TableLevel::DBase4, fixedClock);
        appendRecords(t, 0, 1);
        t.first();  // from here on the table is held whole
        appendRecords(t, 1, kRecords / 2);
        t.append();
        t.writeString(t.field("CODIGO"), "PERDIDO");
        t.cancel();
        appendRecords(t, kRecords / 2, kRecords);
        EXPECT_TRUE(entries(held.path()).empty());
        t.close();
    }
    const std::string bytes = test::readBytes(written / "PRUEBA.DBF");
    EXPECT_TRUE(bytes == test::readBytes(held / "PRUEBA.DBF"));
    EXPECT_EQ(entries(written.path()), std::vector<std::string>{"PRUEBA.DBF"});
    const std::string dump = test::dumpWithDbfread(written / "PRUEBA.DBF");
    EXPECT_EQ(std::count(dump.begin(), dump.end(), '\n'), kRecords + 1);
    EXPECT_NE(dump.find("\nCODIGO=C0|NOMBRE=Aula de Música 0|NUMERO=0\n"), std::string::npos);
    EXPECT_NE(dump.find("\nCODIGO=C19999|NOMBRE=Aula de Música 19999|NUMERO=19999\n"), std::string::npos);
}

TEST(TableWriteOut, WalksAndEditsReadTheRecordsBack) {
    test::TempDir dir;
    {
        Table t = Table::create(dir.path(), "PRUEBA", kFields);
        appendRecords(t, 0, kRecords);
        // The record just posted can be read without a walk.
        EXPECT_EQ(t.readString(t.field("NOMBRE")), name(kRecords - 1));
        goTo(t, 5);
        EXPECT_EQ(t.readString(t.field("NOMBRE")), name(5));
        t.edit();
        t.writeString(t.field("NOMBRE"), "Cambiada");
        t.post();
        int walked = 0;
        for (t.first(); !t.eof(); t.next()) {
            EXPECT_EQ(t.readInteger(t.field("NUMERO")), walked);
            EXPECT_EQ(t.readString(t.field("NOMBRE")), walked == 5 ? "Cambiada" : name(walked));
            ++walked;
        }
        EXPECT_EQ(walked, kRecords);
        appendRecords(t, kRecords, kRecords + 1);
        t.close();
    }
    Table t = Table::open(dir.path(), "PRUEBA", Access::Shared, true);
    EXPECT_EQ(t.recordCount(), kRecords + 1);
    goTo(t, 5);
    EXPECT_EQ(t.readString(t.field("CODIGO")), code(5));
    EXPECT_EQ(t.readString(t.field("NOMBRE")), "Cambiada");
    goTo(t, kRecords);
    EXPECT_EQ(t.readString(t.field("CODIGO")), code(kRecords));
    EXPECT_EQ(t.readInteger(t.field("NUMERO")), kRecords);
}

TEST(TableWriteOut, NothingIsReplacedByATableNeverClosedOrAUnitNeverCommitted) {
    test::TempDir dir;
    {
        Table t = Table::create(dir.path(), "PRUEBA", kFields);
        appendRecords(t, 0, 1);
        t.close();
    }
    const std::string old = test::readBytes(dir / "PRUEBA.DBF");
    {
        Table t = Table::create(dir.path(), "PRUEBA", kFields);
        appendRecords(t, 0, kRecords);
    }
    EXPECT_EQ(test::readBytes(dir / "PRUEBA.DBF"), old);
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"PRUEBA.DBF"});
    {
        TableBatch batch(dir.path());
        Table t = batch.create("PRUEBA", kFields);
        appendRecords(t, 0, kRecords);
        t.close();
        // Read back before the unit commits, as a later step of an export does.
        Table again = batch.open("PRUEBA", Access::Shared, true);
        EXPECT_EQ(again.recordCount(), kRecords);
    }
    EXPECT_EQ(test::readBytes(dir / "PRUEBA.DBF"), old);
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"PRUEBA.DBF"});
    {
        TableBatch batch(dir.path());
        Table t = batch.create("PRUEBA", kFields);
        appendRecords(t, 0, kRecords);
        t.close();
        batch.commit();
    }
    EXPECT_EQ(Table::open(dir.path(), "PRUEBA", Access::Shared, true).recordCount(), kRecords);
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"PRUEBA.DBF"});
}

TEST(TableWriteOut, TextGivenAsBytesOfTheTablesPage) {
    test::TempDir dir;
    Table t = Table::create(dir.path(), "PRUEBA", kFields);
    t.append();
    t.writeString(t.field("CODIGO"), "\x80 cuesta mucho");  // the euro sign, cut to 10 bytes
    t.writeString(t.field("NUMERO"), " 42");                // a number, read as a number
    EXPECT_EQ(t.readString(t.field("CODIGO")), "\x80 cuesta m");
    EXPECT_EQ(t.readInteger(t.field("NUMERO")), 42);
    try {
        t.writeString(t.field("NUMERO"), "4\x80");
        FAIL() << "a text that is no number was written to a numeric field";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<TableError>(), TableError::FieldValue);
        EXPECT_EQ(e.context().value, "4\u20AC");
    }
    t.post();
    t.close();
    const std::string bytes = test::readBytes(dir / "PRUEBA.DBF");
    EXPECT_NE(bytes.find(" \x80 cuesta m"), std::string::npos);  // one record, its flag byte first
}

}  // namespace
}  // namespace tht
