// Tables that other programs write: python3-dbf (dBase III, Visual FoxPro),
// and byte-built dBase 7 and Visual FoxPro files following the encodings of
// our format notes.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/error.h"
#include "store/table.h"
#include "support/table_page.h"
#include "support/temp_dir.h"
#include "dbf_fixture.h"

namespace tht {
namespace {

using namespace std::string_literals;
using test::RawField;
using test::RawTable;

std::vector<std::string> column(Table& t, std::string_view field) {
    std::vector<std::string> out;
    const FieldId id = t.field(field);
    for (t.first(); !t.eof(); t.next()) out.push_back(t.readString(id));
    return out;
}

TEST(DbfForeign, PythonDbfDBase3WithADeletedRecord) {
    test::TempDir dir;
    test::runPython(dir.path(), R"(
import dbf
t = dbf.Table('soluc.dbf', 'NOMBRE C(10); DIA N(5,0); PRECIO N(8,2); OK L; NACIDO D', dbf_type='db3', codepage='cp1252')
t.open(dbf.READ_WRITE)
t.append(('Año', 1, 2.5, True, dbf.Date(2020, 1, 2)))
t.append(('borrado', 2, 3.5, False, None))
t.append(('último', -3, None, None, None))
dbf.delete(t[1])
t.close()
)");
    Table t = Table::open(dir.path(), "SOLUC", Access::Exclusive);
    EXPECT_EQ(t.recordCount(), 2);
    EXPECT_EQ(column(t, "NOMBRE"), (std::vector<std::string>{test::cp1252("Año"), test::cp1252("último")}));
    EXPECT_EQ(column(t, "DIA"), (std::vector<std::string>{"1", "-3"}));
    EXPECT_EQ(column(t, "PRECIO"), (std::vector<std::string>{"2.5", ""}));
    EXPECT_EQ(column(t, "OK"), (std::vector<std::string>{"T", ""}));  // python-dbf writes '?' for none
    EXPECT_EQ(column(t, "NACIDO"), (std::vector<std::string>{"20200102", ""}));
    t.first();
    t.next();  // over the deleted record
    EXPECT_EQ(t.recordNumber(), 3);
    EXPECT_EQ(t.readInteger(t.field("DIA")), -3);
    EXPECT_EQ(t.readFloat(t.field("PRECIO")), 0.0);
    EXPECT_FALSE(t.readBoolean(t.field("OK")));
}

TEST(DbfForeign, PythonDbfVisualFoxPro) {
    test::TempDir dir;
    test::runPython(dir.path(), R"(
import dbf, datetime
t = dbf.Table('vfp.dbf', 'NOMBRE C(10); NUM I; AMT B; CUR Y; WHEN T; OK L; BORN D; QTY N(5,0); OPC C(3) NULL',
              dbf_type='vfp', codepage='cp1252')
t.open(dbf.READ_WRITE)
t.append(('borrado', 1, 2.0, 1, None, False, None, 1, 'abc'))
t.append(('x', -7, 1.25, 1234.25, datetime.datetime(2021, 3, 4, 5, 6, 7), True, dbf.Date(2021, 3, 4), 42, 'opc'))
dbf.delete(t[0])
t.close()
)");
    Table t = Table::open(dir.path(), "vfp", Access::Shared, true);
    EXPECT_EQ(t.recordCount(), 1);
    EXPECT_THROW(t.field("_NullFlags"), Error);  // the system field stays hidden
    EXPECT_EQ(t.readString(t.field("NOMBRE")), "x");
    EXPECT_EQ(t.readInteger(t.field("NUM")), -7);
    EXPECT_EQ(t.readString(t.field("AMT")), "1.25");
    EXPECT_EQ(t.readString(t.field("CUR")), "1234.25");
    EXPECT_DOUBLE_EQ(t.readFloat(t.field("CUR")), 1234.25);
    EXPECT_EQ(t.readString(t.field("WHEN")), "2021-03-04 05:06:07");
    EXPECT_TRUE(t.readBoolean(t.field("OK")));
    EXPECT_EQ(t.readString(t.field("BORN")), "20210304");
    EXPECT_EQ(t.readInteger(t.field("QTY")), 42);
    EXPECT_EQ(t.readString(t.field("OPC")), "opc");
}

TEST(DbfForeign, DBase7EncodingsAndBlanks) {
    RawTable raw;
    raw.version = 0x04;
    raw.driverName = "DBWINUS0";
    raw.fields = {{"NOMBRE_LARGO_DE_DBASE7", 'C', 4}, {"I", 'I', 4}, {"O", 'O', 8}, {"L", 'L', 1},
                  {"D", 'D', 8},                      {"N", 'N', 5}};
    const std::string blankO(8, '\0');
    raw.records = {
        " a\xF1  "s + test::be32(0x80000000) + test::be64(0xBFF8000000000000) + "T" + "20240131" + "    7",
        " b   "s + test::be32(0x80000001) + test::be64(0x3FFDFFFFFFFFFFFF) + "f" + "        " + "     ",
        " c   "s + test::be32(0x7FFFFFFF) + test::be64(0xC059000000000000) + "?" + "00000000" + "*****",
        " d   "s + test::be32(0x7FFFFFFE) + blankO + " " + "        " + "\0\0\0\0\0"s,
        " e   "s + test::be32(0) + blankO + "Y" + "        " + "  1.5",
    };
    test::TempDir dir;
    dir.write("D7.DBF", test::dbfBytes(raw));
    Table t = Table::open(dir.path(), "D7", Access::Exclusive);
    EXPECT_EQ(column(t, "nombre_largo_de_dbase7"), (std::vector<std::string>{"a\xF1", "b", "c", "d", "e"}));
    EXPECT_EQ(column(t, "I"), (std::vector<std::string>{"0", "1", "-1", "-2", ""}));
    EXPECT_EQ(column(t, "O"), (std::vector<std::string>{"1.5", "-2.25", "100", "", ""}));
    EXPECT_EQ(column(t, "L"), (std::vector<std::string>{"T", "F", "", "", "T"}));
    EXPECT_EQ(column(t, "D"), (std::vector<std::string>{"20240131", "", "", "", ""}));
    EXPECT_EQ(column(t, "N"), (std::vector<std::string>{"7", "", "", "", "1.5"}));
    t.first();
    t.next();
    EXPECT_EQ(t.readInteger(t.field("I")), 1);
    EXPECT_EQ(t.readFloat(t.field("O")), -2.25);
    t.next();
    t.next();
    t.next();
    EXPECT_EQ(t.readInteger(t.field("I")), 0);  // blank
    EXPECT_THROW(t.readInteger(t.field("N")), Error);  // 1.5 is no whole number
}

TEST(DbfForeign, WrittenDBase7TablesUseTheSameEncodings) {
    test::TempDir dir;
    {
        Table t = Table::create(dir.path(), "N7", {{"I", FieldType::Integer}, {"O", FieldType::Float}}, TableLevel::DBase7);
        const std::pair<std::int64_t, double> values[] = {{0, 1.5}, {1, -2.25}, {-1, 100.0}, {-2, 0.0}};
        for (auto [i, o] : values) {
            t.append();
            t.writeInteger(t.field("I"), i);
            t.writeFloat(t.field("O"), o);
            t.post();
        }
        t.append();
        EXPECT_THROW(t.writeInteger(t.field("I"), 3000000000LL), Error);
        t.post();  // both blank
        t.close();
    }
    const std::string bytes = test::readBytes(dir / "N7.DBF");
    ASSERT_EQ(bytes.size(), 68u + 2 * 48 + 1 + 5 * 13 + 1);
    EXPECT_EQ(bytes[0], '\x04');
    EXPECT_EQ(bytes.substr(32, 8), "DBWINWE0");
    const std::string records = bytes.substr(68 + 96 + 1, 5 * 13);
    EXPECT_EQ(records, " "s + test::be32(0x80000000) + test::be64(0xBFF8000000000000) +  //
                           " " + test::be32(0x80000001) + test::be64(0x3FFDFFFFFFFFFFFF) +  //
                           " " + test::be32(0x7FFFFFFF) + test::be64(0xC059000000000000) +  //
                           " " + test::be32(0x7FFFFFFE) + test::be64(0x8000000000000000) +  //
                           " " + std::string(12, '\0'));
    Table t = Table::open(dir.path(), "N7", Access::Exclusive);
    EXPECT_EQ(column(t, "O"), (std::vector<std::string>{"1.5", "-2.25", "100", "0", ""}));
}

TEST(DbfForeign, VisualFoxProFieldsBuiltByteByByte) {
    RawTable raw;
    raw.version = 0x30;
    raw.driver = 0x03;
    raw.fields = {{"I", 'I', 4}, {"B", 'B', 8}, {"Y", 'Y', 8}, {"T", 'T', 8}, {"C", 'C', 2, 0, 0x02},
                  {"_NullFlags", '0', 1}};
    double quarter = -0.25;
    std::uint64_t quarterBits;
    std::memcpy(&quarterBits, &quarter, 8);
    raw.records = {
        " "s + test::le32(0xFFFFFFFE) + test::le64(quarterBits) + test::le64(15000) +
            test::le32(2451545) + test::le32(43200000) + "ok" + "\0"s,  // 2000-01-01 12:00:00
        " "s + test::le32(5) + test::le64(0) + test::le64(static_cast<std::uint64_t>(-123456789)) +
            std::string(8, '\0') + "  " + "\x01"s,
    };
    raw.endByte = false;  // python-dbf leaves it out too
    test::TempDir dir;
    dir.write("FOX.DBF", test::dbfBytes(raw));
    Table t = Table::open(dir.path(), "FOX", Access::Exclusive);
    EXPECT_EQ(column(t, "I"), (std::vector<std::string>{"-2", "5"}));
    EXPECT_EQ(column(t, "B"), (std::vector<std::string>{"-0.25", "0"}));
    EXPECT_EQ(column(t, "Y"), (std::vector<std::string>{"1.5", "-12345.6789"}));
    EXPECT_EQ(column(t, "T"), (std::vector<std::string>{"2000-01-01 12:00:00", ""}));
    EXPECT_EQ(column(t, "C"), (std::vector<std::string>{"ok", ""}));
    EXPECT_THROW(t.field("_NULLFLAGS"), Error);
    ASSERT_EQ(t.fieldCount(), 5u);
    EXPECT_EQ(t.fieldName(4), "C");
    EXPECT_THROW(t.fieldName(5), std::out_of_range);
    t.first();
    EXPECT_THROW(t.readInteger(t.field("Y")), Error);  // 1.5 is no whole number
    t.edit();
    t.writeFloat(t.field("Y"), 2.5);
    t.writeInteger(t.field("I"), -9);
    t.post();
    EXPECT_EQ(t.readString(t.field("Y")), "2.5");
    EXPECT_EQ(t.readInteger(t.field("I")), -9);
    try {
        t.edit();
        t.writeString(t.field("T"), "2000-01-01");
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<TableError>(), TableError::FieldUnwritable);
        EXPECT_EQ(e.context().value, "T");
    }
}

TEST(DbfForeign, EveryVersionByteOpensAndMemoFieldsNeedNoMemoFile) {
    for (std::uint8_t version : {0x02, 0x03, 0x05, 0x30, 0x31, 0x32, 0x43, 0x63, 0x83, 0x8B, 0x8E, 0xCB, 0xF5, 0xFB,
                                 0x04, 0x8C}) {
        SCOPED_TRACE(static_cast<int>(version));
        RawTable raw;
        raw.version = version;
        const bool fox = version >= 0x30 && version <= 0x32;
        raw.fields = {{"C", 'C', 3}, {"M", 'M', fox ? 4 : 10}};
        raw.records = {" abc"s + (fox ? test::le32(7) : "         7"s), "*del"s + std::string(fox ? 4 : 10, ' '),
                       " xyz"s + (fox ? test::le32(0) : std::string(10, ' '))};
        test::TempDir dir;
        dir.write("V.DBF", test::dbfBytes(raw));
        Table t = Table::open(dir.path(), "V", Access::Exclusive);
        EXPECT_EQ(column(t, "C"), (std::vector<std::string>{"abc", "xyz"}));
        EXPECT_EQ(column(t, "M"), (std::vector<std::string>{"7", ""}));
    }
}

// Text reads as the tables' page (windows-1252) whatever page the table is
// in: "?" for a character that page cannot hold.
TEST(DbfForeign, TheLanguageDriverChoosesTheCodePage) {
    const struct {
        std::uint8_t version;
        std::uint8_t driver;
        std::string driverName;
        char byte;
        std::string expected;
    } cases[] = {
        {0x03, 0x00, "", '\xF1', "\xF1"},          // none given: cp1252, as the engine took it; ñ
        {0x03, 0x01, "", '\xA4', "\xF1"},          // cp437: ñ
        {0x03, 0x02, "", '\xA5', "\xD1"},          // cp850: Ñ
        {0x03, 0x03, "", '\x80', "\x80"},          // cp1252: €
        {0x03, 0x57, "", '\xBD', "\xBD"},          // ½
        {0x03, 0x59, "", '\xF1', "\xF1"},
        {0x03, 0x64, "", '\xA5', "?"},             // cp852: ą, which cp1252 lacks
        {0x03, 0xC8, "", '\xB9', "?"},             // cp1250: ą
        {0x03, 0xC8, "", '\xE1', "\xE1"},          // cp1250: á, which both pages hold
        {0x04, 0x00, "DB850WE0", '\xA5', "\xD1"},  // dBase 7 names its driver
        {0x04, 0x00, "DBWINWE0", '\xF1', "\xF1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.driver));
        RawTable raw;
        raw.version = c.version;
        raw.driver = c.driver;
        raw.driverName = c.driverName;
        raw.fields = {{"C", 'C', 1}};
        raw.records = {" "s + c.byte};
        test::TempDir dir;
        dir.write("CP.DBF", test::dbfBytes(raw));
        Table t = Table::open(dir.path(), "CP", Access::Exclusive);
        EXPECT_EQ(t.readString(t.field("C")), c.expected);
    }
}

// Text of the tables' page written into a table in another page is stored
// as that page's bytes, "?" for a character it cannot hold, and reads back
// as the tables' page.
TEST(DbfForeign, WritesIntoATableInAnotherPageStoreThatPagesBytes) {
    RawTable raw;
    raw.driver = 0x02;  // cp850
    raw.fields = {{"C", 'C', 4}, {"N", 'N', 3}};
    raw.records = {" \xA5   " "  1"s};
    test::TempDir dir;
    dir.write("P850.DBF", test::dbfBytes(raw));
    {
        Table t = Table::open(dir.path(), "P850", Access::Exclusive);
        EXPECT_EQ(t.readString(t.field("C")), "\xD1");  // Ñ
        t.edit();
        t.writeString(t.field("C"), test::cp1252("é€x"));  // cp850 has no euro sign
        t.post();
        EXPECT_EQ(t.readString(t.field("C")), test::cp1252("é?x"));
        t.append();
        t.writeString(t.field("C"), test::cp1252("ÑéÑéÑ"));  // cut to the width
        t.writeString(t.field("N"), " 7");
        t.post();
        t.close();
    }
    const std::string bytes = test::readBytes(dir / "P850.DBF");
    EXPECT_EQ(bytes.substr(bytes.size() - 17), " \x82?x   1" " \xA5\x82\xA5\x82  7" "\x1A"s);
    Table t = Table::open(dir.path(), "P850", Access::Shared, true);
    EXPECT_EQ(column(t, "C"), (std::vector<std::string>{test::cp1252("é?x"), test::cp1252("ÑéÑé")}));
    EXPECT_EQ(column(t, "N"), (std::vector<std::string>{"1", "7"}));
}

TEST(DbfForeign, WideFoxProTextFieldsKeepTheirHighByte) {
    RawTable raw;
    raw.version = 0xF5;
    raw.fields = {{"LARGO", 'C', 300}, {"N", 'N', 3}};
    raw.records = {" " + std::string(299, 'x') + "y" + "  4"};
    test::TempDir dir;
    dir.write("W.DBF", test::dbfBytes(raw));
    Table t = Table::open(dir.path(), "W", Access::Exclusive);
    EXPECT_EQ(t.readString(t.field("LARGO")), std::string(299, 'x') + "y");
    EXPECT_EQ(t.readInteger(t.field("N")), 4);
}

TEST(DbfForeign, NumericTextIsReadLiberally) {
    const struct {
        std::string stored;  // N(12,4) bytes
        std::string text;
        double real;
    } cases[] = {
        {"      4.5000", "4.5", 4.5},     {"           3", "3", 3},       {"     -0.0000", "0", 0},
        {"       +0012", "12", 12},       {"   1.5E+03  ", "1500", 1500}, {"        .500", "0.5", 0.5},
        {"    -12.", "-12", -12},         {"************", "", 0},       {std::string(12, '\0'), "", 0},
    };
    RawTable raw;
    raw.fields = {{"N", 'N', 12, 4}};
    for (const auto& c : cases) raw.records.push_back(" " + c.stored + std::string(12 - c.stored.size(), ' '));
    raw.records.push_back(" " + std::string("   12abc    "));
    test::TempDir dir;
    dir.write("NUM.DBF", test::dbfBytes(raw));
    Table t = Table::open(dir.path(), "NUM", Access::Exclusive);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stored.c_str()));
        EXPECT_EQ(t.readString(t.field("N")), c.text);
        EXPECT_DOUBLE_EQ(t.readFloat(t.field("N")), c.real);
        t.next();
    }
    try {
        t.readString(t.field("N"));
        ADD_FAILURE() << "garbage read";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<TableError>(), TableError::FieldValue);
        EXPECT_EQ(e.context().record, 10);
        EXPECT_EQ(e.context().value, "12abc");
    }
}

}  // namespace
}  // namespace tht
