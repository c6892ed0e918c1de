// The exact bytes of a table we write, and what an independent reader
// (python3-dbfread) makes of them.
#include <gtest/gtest.h>

#include "platform/clock.h"
#include "store/table.h"
#include "support/dbfread.h"
#include "support/temp_dir.h"
#include "dbf_fixture.h"

namespace tht {
namespace {

using namespace std::string_literals;

std::string descriptor(std::string name, char type, int width, int decimals) {
    name.resize(11, '\0');
    return name + type + "\0\0\0\0"s + static_cast<char>(width) + static_cast<char>(decimals) + std::string(14, '\0');
}

std::string dateBytes(const LocalDateTime& d) {
    return {static_cast<char>(d.year - 1900), static_cast<char>(d.month), static_cast<char>(d.day)};
}

void writeSample(const std::filesystem::path& dir) {
    Table t = Table::create(dir, "horas.dbf",
                            {{"NOMBRE", FieldType::String, 6},
                             {"N", FieldType::Integer},
                             {"H", FieldType::Float},
                             {"OK", FieldType::Boolean},
                             {"VACIO", FieldType::String, 2}});
    t.append();
    t.writeString(t.field("NOMBRE"), "A\xF1o\xBD");  // "Año½"
    t.writeInteger(t.field("N"), 3);
    t.writeFloat(t.field("H"), 4.5);
    t.writeBoolean(t.field("OK"), true);
    t.post();
    t.append();
    t.writeString(t.field("NOMBRE"), "abcdefgh");
    t.writeInteger(t.field("N"), -12);
    t.writeFloat(t.field("H"), -0.25);
    t.writeBoolean(t.field("OK"), false);
    t.post();
    t.append();
    t.post();
    t.close();
}

TEST(TableBytes, ASmallTableIsWrittenExactly) {
    test::TempDir dir;
    const LocalDateTime before = systemLocalTime();
    writeSample(dir.path());
    const LocalDateTime after = systemLocalTime();
    const std::string bytes = test::readBytes(dir / "HORAS.DBF");  // upper-case name on disk

    const std::string header = "\x03"s + dateBytes(before) + "\x03\0\0\0"s + "\xC1\0"s + "\x29\0"s +
                               std::string(17, '\0') + "\x58"s + "\0\0"s;
    const std::string fields = descriptor("NOMBRE", 'C', 6, 0) + descriptor("N", 'N', 11, 0) +
                               descriptor("H", 'N', 20, 4) + descriptor("OK", 'L', 1, 0) +
                               descriptor("VACIO", 'C', 2, 0) + "\x0D";
    // flag, NOMBRE C(6), N N(11,0), H N(20,4), OK L(1), VACIO C(2)
    const std::string records = " "s + "A\xF1o\xBD  " + std::string(10, ' ') + "3" + std::string(14, ' ') + "4.5000" +
                                "T" + "  " +  //
                                " "s + "abcdef" + std::string(8, ' ') + "-12" + std::string(13, ' ') + "-0.2500" +
                                "F" + "  " +  //
                                " "s + std::string(40, ' ');
    std::string expected = header + fields + records + "\x1A";
    if (bytes.substr(1, 3) == dateBytes(after)) expected.replace(1, 3, dateBytes(after));  // midnight passed
    ASSERT_EQ(bytes.size(), 32u + 5 * 32 + 1 + 3 * 41 + 1);
    EXPECT_EQ(bytes.substr(0, 32), expected.substr(0, 32));
    EXPECT_EQ(bytes.substr(32, 161), expected.substr(32, 161));
    EXPECT_EQ(bytes.substr(193), expected.substr(193));
}

TEST(TableBytes, DbfreadReadsTheTypesAndValues) {
    test::TempDir dir;
    writeSample(dir.path());
    EXPECT_EQ(test::dumpWithDbfread(dir / "HORAS.DBF"),
              "NOMBRE:C:6:0|N:N:11:0|H:N:20:4|OK:L:1:0|VACIO:C:2:0\n"
              "NOMBRE=Año½|N=3|H=4.5|OK=True|VACIO=\n"
              "NOMBRE=abcdef|N=-12|H=-0.25|OK=False|VACIO=\n"
              "NOMBRE=|N=None|H=None|OK=None|VACIO=\n");
}

TEST(TableBytes, AChangedTableKeepsItsHeaderAndATrueRecordCount) {
    test::TempDir dir;
    writeSample(dir.path());
    std::string before = test::readBytes(dir / "HORAS.DBF");
    before[28] = 0x01;  // as if another program had built a production index
    dir.write("HORAS.DBF", before);
    {
        Table t = Table::open(dir.path(), "HORAS", Access::Exclusive);
        t.append();
        t.writeString(t.field("NOMBRE"), "cuarto");
        t.post();
        t.close();
    }
    const std::string after = test::readBytes(dir / "HORAS.DBF");
    ASSERT_EQ(after.size(), before.size() + 41);
    EXPECT_EQ(after.substr(4, 4), "\x04\0\0\0"s);
    EXPECT_EQ(after[28], 0) << "the stale index must not be announced";
    before[28] = 0;
    EXPECT_EQ(after.substr(8, 185), before.substr(8, 185));
    EXPECT_EQ(after.substr(before.size() - 1), " cuarto" + std::string(34, ' ') + "\x1A");
    EXPECT_NE(test::dumpWithDbfread(dir / "HORAS.DBF").find("NOMBRE=cuarto|N=None"), std::string::npos);
}

TEST(TableBytes, AnUnchangedTableIsNotRewritten) {
    test::TempDir dir;
    writeSample(dir.path());
    // Bytes after the end marker, as some writers leave them, survive a read.
    std::string bytes = test::readBytes(dir / "HORAS.DBF") + "junk";
    dir.write("HORAS.DBF", bytes);
    {
        Table t = Table::open(dir.path(), "HORAS", Access::Exclusive);
        for (; !t.eof(); t.next()) t.readString(t.field("NOMBRE"));
        t.append();  // dropped: nothing written
        t.close();
    }
    EXPECT_EQ(test::readBytes(dir / "HORAS.DBF"), bytes);
}

}  // namespace
}  // namespace tht
