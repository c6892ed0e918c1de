// What the steps write comes back as they wrote it, once the table has been
// closed and opened again.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "platform/error.h"
#include "store/table.h"
#include "support/dbfread.h"
#include "support/table_page.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

const std::vector<FieldDef> kFields = {
    {"TEXTO", FieldType::String, 12},
    {"ENTERO", FieldType::Integer},
    {"REAL", FieldType::Float},
    {"SINO", FieldType::Boolean},
};

struct Row {
    std::string text;
    std::int64_t integer;
    double real;
    bool boolean;
    // as read back as strings
    std::string integerText;
    std::string realText;
};

TEST(TableRoundTrip, FourKindsOfFieldComeBackAsWritten) {
    const std::vector<Row> rows = {
        {test::cp1252("Química ½"), 3, 4.5, true, "3", "4.5"},
        {test::cp1252("  sangría"), -2147483648LL, -0.25, false, "-2147483648", "-0.25"},
        {"x", 99999999999LL, 12345678.9012, true, "99999999999", "12345678.9012"},
        {"", 0, 0.00004, false, "0", "0"},  // rounds to 4 decimals
        {test::cp1252("€‚ƒ„…†‡ˆ‰Š"), -7, -0.00004, true, "-7", "0"},
    };
    test::TempDir dir;
    {
        Table t = Table::create(dir.path(), "prueba", kFields);
        for (const Row& r : rows) {
            t.append();
            t.writeString(t.field("TEXTO"), r.text);
            t.writeInteger(t.field("ENTERO"), r.integer);
            t.writeFloat(t.field("REAL"), r.real);
            t.writeBoolean(t.field("SINO"), r.boolean);
            t.post();
        }
        t.close();
    }
    Table t = Table::open(dir.path(), "PRUEBA", Access::Exclusive);
    EXPECT_EQ(t.recordCount(), static_cast<std::int64_t>(rows.size()));
    const FieldId text = t.field("TEXTO"), integer = t.field("ENTERO"), real = t.field("REAL"), yes = t.field("SINO");
    for (const Row& r : rows) {
        SCOPED_TRACE(t.recordNumber());
        ASSERT_FALSE(t.eof());
        // Leading blanks stay: only trailing ones go.
        EXPECT_EQ(t.readString(text), r.text);
        EXPECT_EQ(t.readInteger(integer), r.integer);
        EXPECT_EQ(t.readString(integer), r.integerText);
        EXPECT_NEAR(t.readFloat(real), r.real, 0.00005 + std::fabs(r.real) * 1e-15);
        EXPECT_EQ(t.readString(real), r.realText);
        EXPECT_EQ(t.readBoolean(yes), r.boolean);
        EXPECT_EQ(t.readString(yes), r.boolean ? "T" : "F");
        t.next();
    }
    EXPECT_TRUE(t.eof());
}

TEST(TableRoundTrip, StringsAreCutToTheWidth) {
    test::TempDir dir;
    {
        Table t = Table::create(dir.path(), "CORTE", {{"C", FieldType::String, 5}});
        for (const std::string& v : {std::string("ABCDEFGHIJ"), test::cp1252("ÁÉÍÓÚáéíóú"), std::string("ab")}) {
            t.append();
            t.writeString(t.field("C"), v);
            t.post();
        }
        t.close();
    }
    Table t = Table::open(dir.path(), "CORTE", Access::Shared, true);
    std::vector<std::string> got;
    for (; !t.eof(); t.next()) got.push_back(t.readString(t.field("C")));
    EXPECT_EQ(got, (std::vector<std::string>{"ABCDE", test::cp1252("ÁÉÍÓÚ"), "ab"}));
    EXPECT_EQ(test::dumpWithDbfread(dir / "CORTE.DBF"), "C:C:5:0\nC=ABCDE\nC=ÁÉÍÓÚ\nC=ab\n");
}

TEST(TableRoundTrip, FieldsNeverWrittenReadAsBlank) {
    test::TempDir dir;
    {
        Table t = Table::create(dir.path(), "VACIO", kFields);
        t.append();
        t.writeString(t.field("TEXTO"), "solo texto");
        t.post();
        t.append();
        t.writeInteger(t.field("ENTERO"), 1);
        t.post();
        t.close();
    }
    Table t = Table::open(dir.path(), "VACIO", Access::Exclusive);
    EXPECT_EQ(t.readInteger(t.field("ENTERO")), 0);
    EXPECT_EQ(t.readString(t.field("ENTERO")), "");
    EXPECT_EQ(t.readFloat(t.field("REAL")), 0.0);
    EXPECT_EQ(t.readString(t.field("REAL")), "");
    EXPECT_FALSE(t.readBoolean(t.field("SINO")));
    EXPECT_EQ(t.readString(t.field("SINO")), "");
    t.next();
    EXPECT_EQ(t.readString(t.field("TEXTO")), "");
    EXPECT_EQ(t.readInteger(t.field("TEXTO")), 0);
}

TEST(TableRoundTrip, NumbersThatDoNotFitAreRefusedNotStarred) {
    test::TempDir dir;
    Table t = Table::create(dir.path(), "ANCHO", kFields);
    t.append();
    t.writeInteger(t.field("ENTERO"), 12345678901LL);  // 11 digits: fits
    t.writeFloat(t.field("REAL"), 123456789012345.0);  // 20 characters with its decimals: fits
    struct Case {
        const char* what;
        std::function<void()> write;
        const char* field;
        const char* value;
    } cases[] = {
        {"12 digits", [&] { t.writeInteger(t.field("ENTERO"), 123456789012LL); }, "ENTERO", "123456789012"},
        {"negative 11 digits", [&] { t.writeInteger(t.field("ENTERO"), -12345678901LL); }, "ENTERO", "-12345678901"},
        {"float of 16 whole digits", [&] { t.writeFloat(t.field("REAL"), 1e16); }, "REAL", "1e+16"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            c.write();
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.kindOf<TableError>(), TableError::ValueTooWide);
            EXPECT_EQ(e.context().field, c.field);
            EXPECT_EQ(e.context().value, c.value);
            EXPECT_NE(std::string(e.what()).find(c.value), std::string::npos) << e.what();
        }
    }
    // A refused value leaves what the field held.
    EXPECT_EQ(t.readInteger(t.field("ENTERO")), 12345678901LL);
    EXPECT_EQ(t.readString(t.field("REAL")), "123456789012345");
    EXPECT_THROW(t.writeFloat(t.field("REAL"), std::nan("")), Error);
}

TEST(TableRoundTrip, StringWritesIntoNumericFieldsAreReadAsNumbers) {
    test::TempDir dir;
    Table t = Table::create(dir.path(), "TEXTOS", kFields);
    t.append();
    t.writeString(t.field("ENTERO"), " 42 ");
    t.writeString(t.field("REAL"), "12345678901234.5678");  // more digits than a double holds
    t.writeString(t.field("SINO"), "T");
    EXPECT_EQ(t.readInteger(t.field("ENTERO")), 42);
    EXPECT_EQ(t.readString(t.field("REAL")), "12345678901234.5678");
    EXPECT_TRUE(t.readBoolean(t.field("SINO")));
    try {
        t.writeString(t.field("ENTERO"), "4,5");
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<TableError>(), TableError::FieldValue);
        EXPECT_EQ(e.context().record, 1);
        EXPECT_EQ(e.context().field, "ENTERO");
        EXPECT_EQ(e.context().value, "4,5");
    }
}

TEST(TableRoundTrip, IntegerReadsOfTextFieldsParseTheText) {
    test::TempDir dir;
    {
        Table t = Table::create(dir.path(), "DIAS", {{"DIA", FieldType::String, 4}});
        for (const char* v : {"7", " -3", "", "1a", "2.5"}) {
            t.append();
            t.writeString(t.field("DIA"), v);
            t.post();
        }
        t.close();
    }
    Table t = Table::open(dir.path(), "DIAS", Access::Exclusive);
    EXPECT_EQ(t.readInteger(t.field("DIA")), 7);
    t.next();
    EXPECT_EQ(t.readInteger(t.field("DIA")), -3);
    t.next();
    EXPECT_EQ(t.readInteger(t.field("DIA")), 0);
    for (const char* bad : {"1a", "2.5"}) {
        t.next();
        try {
            t.readInteger(t.field("DIA"));
            ADD_FAILURE() << bad << " read";
        } catch (const Error& e) {
            EXPECT_EQ(e.kindOf<TableError>(), TableError::FieldValue);
            EXPECT_EQ(e.context().table, (dir / "DIAS.DBF").string());
            EXPECT_EQ(e.context().record, t.recordNumber());
            EXPECT_EQ(e.context().field, "DIA");
            EXPECT_EQ(e.context().value, bad);
            EXPECT_EQ(std::string(e.what()), "La tabla " + (dir / "DIAS.DBF").string() + ", registro " +
                                                 std::to_string(t.recordNumber()) + ", campo DIA: \"" + bad +
                                                 "\" no es un valor válido");
        }
    }
}

TEST(TableRoundTrip, FieldsAreFoundByNameWithoutRegardToCase) {
    test::TempDir dir;
    Table t = Table::create(dir.path(), "CAMPOS", kFields);
    EXPECT_EQ(t.field("texto").index, t.field("TEXTO").index);
    EXPECT_EQ(t.field("Sino").index, t.field("SINO").index);
    try {
        t.field("OTRO");
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<TableError>(), TableError::FieldMissing);
        EXPECT_EQ(e.context().field, "OTRO");
        EXPECT_EQ(e.context().table, (dir / "CAMPOS.DBF").string());
    }
}

TEST(TableRoundTrip, FieldListsNoTableCanHoldAreRefusedBeforeAnythingIsTouched) {
    test::TempDir dir;
    const auto old = dir.write("MALO.DBF", "old");
    const std::vector<std::vector<FieldDef>> bad = {
        {},
        {{"NOMBRE_LARGO", FieldType::String, 5}},
        {{"A", FieldType::String, 0}},
        {{"A", FieldType::String, 255}},
        {{"A", FieldType::Integer}, {"a", FieldType::Float}},
        {{"A;B", FieldType::Integer}},
    };
    for (const auto& fields : bad) EXPECT_THROW(Table::create(dir.path(), "MALO", fields), std::invalid_argument);
    EXPECT_EQ(test::readBytes(old), "old");
}

}  // namespace
}  // namespace tht
