// Walking a table in stored order, and when pending Appends and Edits are
// kept or dropped.
#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/locked_file.h"
#include "store/table.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

const std::vector<FieldDef> kFields = {{"COD", FieldType::String, 4}, {"N", FieldType::Integer}};

void appendRow(Table& t, std::string_view cod, std::int64_t n) {
    t.append();
    t.writeString(t.field("COD"), cod);
    t.writeInteger(t.field("N"), n);
    t.post();
}

std::vector<std::string> walk(Table& t) {
    std::vector<std::string> out;
    for (t.first(); !t.eof(); t.next()) out.push_back(t.readString(t.field("COD")));
    return out;
}

std::vector<std::string> reopenAndWalk(const std::filesystem::path& dir) {
    Table t = Table::open(dir, "T", Access::Exclusive);
    return walk(t);
}

TEST(TableCursor, AnEmptyTableIsAtItsEndAtOnce) {
    test::TempDir dir;
    Table t = Table::create(dir.path(), "T", kFields);
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(t.recordNumber(), 0);
    EXPECT_EQ(t.readString(t.field("COD")), "");
    t.next();
    EXPECT_TRUE(t.eof());
    t.close();
    Table again = Table::open(dir.path(), "T", Access::Exclusive);
    EXPECT_TRUE(again.eof());
    EXPECT_EQ(again.recordCount(), 0);
}

TEST(TableCursor, WalkVisitsStoredOrderAndEofTurnsOnNextFromTheLast) {
    test::TempDir dir;
    Table t = Table::create(dir.path(), "T", kFields);
    appendRow(t, "B", 1);
    appendRow(t, "A", 2);
    appendRow(t, "C", 3);
    t.first();
    EXPECT_EQ(t.recordNumber(), 1);
    t.next();
    t.next();
    EXPECT_FALSE(t.eof());
    t.next();
    EXPECT_TRUE(t.eof());
    EXPECT_EQ(walk(t), (std::vector<std::string>{"B", "A", "C"}));
    t.close();
    EXPECT_EQ(reopenAndWalk(dir.path()), (std::vector<std::string>{"B", "A", "C"}));
}

TEST(TableCursor, EditChangesTheRecordInPlace) {
    test::TempDir dir;
    {
        Table t = Table::create(dir.path(), "T", kFields);
        for (const char* c : {"A", "B", "C"}) appendRow(t, c, 0);
        for (t.first(); !t.eof(); t.next()) {
            if (t.readString(t.field("COD")) == "B") {
                t.edit();
                t.writeString(t.field("COD"), "BB");
                t.writeInteger(t.field("N"), 7);
                t.post();
            }
        }
        t.close();
    }
    Table t = Table::open(dir.path(), "T", Access::Exclusive);
    EXPECT_EQ(walk(t), (std::vector<std::string>{"A", "BB", "C"}));
    t.first();
    t.next();
    EXPECT_EQ(t.readInteger(t.field("N")), 7);
}

TEST(TableCursor, FirstAndNextPostAChangedRecordAndDropAnUnchangedOne) {
    test::TempDir dir;
    Table t = Table::create(dir.path(), "T", kFields);
    appendRow(t, "A", 1);
    t.append();
    t.writeString(t.field("COD"), "B");
    t.first();  // posts B
    t.append();  // nothing written: dropped by next()
    t.next();
    t.edit();
    t.writeString(t.field("COD"), "B2");
    t.next();  // posts the edit
    EXPECT_TRUE(t.eof());
    t.append();
    t.writeString(t.field("COD"), "C");
    EXPECT_EQ(walk(t), (std::vector<std::string>{"A", "B2", "C"}));  // first() posts C
}

TEST(TableCursor, CloseAndCancelDropWhatWasNotPosted) {
    test::TempDir dir;
    {
        Table t = Table::create(dir.path(), "T", kFields);
        appendRow(t, "A", 1);
        appendRow(t, "B", 2);
        t.append();
        t.writeString(t.field("COD"), "GONE");
        t.cancel();
        EXPECT_EQ(t.readString(t.field("COD")), "B");  // back where it was
        t.append();
        t.writeString(t.field("COD"), "LOST");
        t.close();
    }
    EXPECT_EQ(reopenAndWalk(dir.path()), (std::vector<std::string>{"A", "B"}));
    {
        Table t = Table::open(dir.path(), "T", Access::Exclusive);
        t.edit();
        t.writeString(t.field("COD"), "Z");
        EXPECT_EQ(t.readString(t.field("COD")), "Z");  // reads see the pending record
        t.close();
    }
    EXPECT_EQ(reopenAndWalk(dir.path()), (std::vector<std::string>{"A", "B"}));
}

// A reader that has taken what it needs keeps the table to itself without
// its records; a table it changed is written and nothing stays held.
TEST(TableCursor, CloseKeepingLocksHoldsTheTableOut) {
    test::TempDir dir;
    {
        Table t = Table::create(dir.path(), "T", kFields);
        appendRow(t, "A", 1);
        EXPECT_TRUE(t.closeKeepingLocks().empty());
    }
    const auto othersMayOpen = [&] { return LockedFile::open(dir.path() / "T.DBF", LockedFile::Mode::Shared).has_value(); };
    {
        Table t = Table::open(dir.path(), "T", Access::Exclusive);
        std::vector<LockedFile> held = t.closeKeepingLocks();
        EXPECT_FALSE(othersMayOpen());
        held.clear();
        EXPECT_TRUE(othersMayOpen());
    }
    {
        Table t = Table::open(dir.path(), "T", Access::Exclusive);
        t.edit();
        t.writeString(t.field("COD"), "B");
        t.post();
        EXPECT_TRUE(t.closeKeepingLocks().empty());
        EXPECT_TRUE(othersMayOpen());
    }
    EXPECT_EQ(reopenAndWalk(dir.path()), (std::vector<std::string>{"B"}));
}

TEST(TableCursor, AppendToAnOpenedTableGoesAfterTheLastRecord) {
    test::TempDir dir;
    {
        Table t = Table::create(dir.path(), "T", kFields);
        appendRow(t, "A", 1);
        t.close();
    }
    {
        Table t = Table::open(dir.path(), "t.dbf", Access::Shared);
        appendRow(t, "B", 2);
        EXPECT_EQ(t.recordNumber(), 2);
        t.close();
    }
    EXPECT_EQ(reopenAndWalk(dir.path()), (std::vector<std::string>{"A", "B"}));
}

TEST(TableCursor, ReadOnlyTablesRefuseChanges) {
    test::TempDir dir;
    {
        Table t = Table::create(dir.path(), "T", kFields);
        appendRow(t, "A", 1);
        t.close();
    }
    const std::string before = test::readBytes(dir / "T.DBF");
    Table t = Table::open(dir.path(), "T", Access::Shared, true);
    for (auto change : {+[](Table& x) { x.append(); }, +[](Table& x) { x.edit(); }}) {
        try {
            change(t);
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.kindOf<TableError>(), TableError::ReadOnly);
            EXPECT_EQ(e.context().table, (dir / "T.DBF").string());
        }
    }
    EXPECT_EQ(t.readString(t.field("COD")), "A");
    t.close();
    EXPECT_EQ(test::readBytes(dir / "T.DBF"), before);
}

TEST(TableCursor, MisusesAreProgrammingErrors) {
    test::TempDir dir;
    Table t = Table::create(dir.path(), "T", kFields);
    EXPECT_THROW(t.writeString(t.field("COD"), "x"), std::logic_error);  // neither Append nor Edit
    EXPECT_THROW(t.post(), std::logic_error);
    EXPECT_THROW(t.edit(), std::logic_error);  // no current record
    t.close();
    EXPECT_THROW(t.first(), std::logic_error);
    EXPECT_NO_THROW(t.close());
}

}  // namespace
}  // namespace tht
