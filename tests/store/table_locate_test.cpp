// Locate: the first record in stored order whose fields, read as strings,
// equal the values exactly.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "store/table.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

class TableLocate : public ::testing::Test {
protected:
    void SetUp() override {
        // COD, CODTUXA, CODIDITUXA, N: repeated keys on purpose.
        const std::vector<std::tuple<std::u32string, std::u32string, std::u32string, int>> rows = {
            {U"M1", U"MAT", U"", 1},  {U"M2", U"MAT", U"A", 2}, {U"L1", U"LEN", U"", 3},
            {U"M3", U"MAT", U"A", 4}, {U"m1", U"mat", U"", 5},  {U"M1", U"MAT", U"B", 6},
            {U"AB", U"C", U"", 7},    {U"A", U"BC", U"", 8},
        };
        Table t = Table::create(dir.path(), "ASIGNOMT",
                                {{"COD", FieldType::String, 5},
                                 {"CODTUXA", FieldType::String, 20},
                                 {"CODIDITUXA", FieldType::String, 6},
                                 {"N", FieldType::Integer}});
        for (const auto& [cod, tuxa, id, n] : rows) {
            t.append();
            t.writeString(t.field("COD"), cod);
            t.writeString(t.field("CODTUXA"), tuxa);
            t.writeString(t.field("CODIDITUXA"), id);
            t.writeInteger(t.field("N"), n);
            t.post();
        }
        t.close();
    }

    // The N of the record found, 0 when none.
    static int found(Table& t, std::string_view fields, std::vector<std::u32string> values) {
        return t.locate(fields, values) ? static_cast<int>(t.readInteger(t.field("N"))) : 0;
    }

    test::TempDir dir;
};

TEST_F(TableLocate, FindsTheFirstExactMatchInStoredOrder) {
    Table t = Table::open(dir.path(), "ASIGNOMT", Access::Exclusive);
    const struct {
        std::string_view fields;
        std::vector<std::u32string> values;
        int n;
    } cases[] = {
        {"COD", {U"M1"}, 1},
        {"COD", {U"m1"}, 5},                           // case-sensitive
        {"COD", {U"M"}, 0},                            // whole value only
        {"COD", {U"M1 "}, 0},                          // trailing blanks are not stored
        {"CODTUXA;CODIDITUXA", {U"MAT", U"A"}, 2},     // first of two
        {"CODTUXA;CODIDITUXA", {U"MAT", U""}, 1},      // blank identifier
        {"CODTUXA;CODIDITUXA", {U"MAT", U"B"}, 6},
        {"CODTUXA;CODIDITUXA", {U"LEN", U"A"}, 0},
        {"COD;CODTUXA", {U"AB", U"C"}, 7},             // field boundaries matter
        {"COD;CODTUXA", {U"A", U"BC"}, 8},
        {"COD;CODTUXA", {U"ABC", U""}, 0},
        {"N", {U"4"}, 4},                              // a number as its digits
        {"codtuxa ; CODIDITUXA", {U"LEN", U""}, 3},    // names as FieldByName takes them
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fields) + " #" + std::to_string(c.n));
        EXPECT_EQ(found(t, c.fields, c.values), c.n);
    }
}

TEST_F(TableLocate, AFailedSearchLeavesTheCursorWhereItWas) {
    Table t = Table::open(dir.path(), "ASIGNOMT", Access::Exclusive);
    t.next();
    t.next();
    EXPECT_FALSE(t.locate("COD", {U"ZZ"}));
    EXPECT_EQ(t.readInteger(t.field("N")), 3);
    // Found after the walk ended: the table is no longer at its end.
    while (!t.eof()) t.next();
    EXPECT_TRUE(t.locate("COD", {U"L1"}));
    EXPECT_FALSE(t.eof());
    t.next();
    EXPECT_EQ(t.readInteger(t.field("N")), 4);
}

TEST_F(TableLocate, TheIndexFollowsAppendsAndEdits) {
    Table t = Table::open(dir.path(), "ASIGNOMT", Access::Exclusive);
    EXPECT_EQ(found(t, "COD", {U"NEW"}), 0);  // builds the index
    EXPECT_EQ(found(t, "CODTUXA;CODIDITUXA", {U"MAT", U""}), 1);
    t.append();
    t.writeString(t.field("COD"), U"NEW");
    t.writeInteger(t.field("N"), 9);
    t.post();
    t.append();
    t.writeString(t.field("COD"), U"M1");  // a later duplicate must not win
    t.writeInteger(t.field("N"), 10);
    t.post();
    EXPECT_EQ(found(t, "COD", {U"NEW"}), 9);
    EXPECT_EQ(found(t, "COD", {U"M1"}), 1);

    ASSERT_TRUE(t.locate("COD", {U"M1"}));
    t.edit();
    t.writeString(t.field("COD"), U"X1");
    t.post();
    EXPECT_EQ(found(t, "COD", {U"X1"}), 1);
    EXPECT_EQ(found(t, "COD", {U"M1"}), 6);
    EXPECT_EQ(found(t, "CODTUXA;CODIDITUXA", {U"MAT", U""}), 1);  // an index on other fields stays right
}

TEST_F(TableLocate, UnknownFieldsAndMismatchedValuesAreErrors) {
    Table t = Table::open(dir.path(), "ASIGNOMT", Access::Exclusive);
    try {
        t.locate("COD;NADA", {U"a", U"b"});
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.kindOf<TableError>(), TableError::FieldMissing);
        EXPECT_EQ(e.context().field, "NADA");
    }
    EXPECT_THROW(t.locate("COD;CODTUXA", {U"a"}), std::invalid_argument);
    EXPECT_EQ(found(t, "COD;CODTUXA", {U"M1", U"MAT"}), 1);
    EXPECT_THROW(t.locate("COD;CODTUXA", {U"a"}), std::invalid_argument);
}

}  // namespace
}  // namespace tht
