// Tables made as one unit take their names together, or not at all.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/files.h"
#include "platform/locked_file.h"
#include "store/table_batch.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

namespace fs = std::filesystem;

const std::vector<FieldDef> kFields = {{"ABREV", FieldType::String, 10}};

void fill(Table& t, std::string_view value) {
    t.append();
    t.writeString(t.field("ABREV"), value);
    t.post();
}

std::string firstValue(Table t) {
    t.first();
    std::string value = t.readString(t.field("ABREV"));
    t.close();
    return value;
}

std::vector<std::string> entries(const fs::path& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
}

struct Folder {
    Folder() {
        for (const char* name : {"AULAT", "GRUPOST"}) {
            Table t = Table::create(dir.path(), name, kFields);
            fill(t, "VIEJO");
            t.close();
        }
        dir.write("GRUPOST.MDX", "index");
    }
    test::TempDir dir;
};

TEST(TableBatch, NewTablesTakeTheirNamesOnlyTogether) {
    Folder f;
    const std::string oldGroups = test::readBytes(f.dir / "GRUPOST.DBF");
    {
        TableBatch batch(f.dir.path());
        for (const char* name : {"AULAT", "GRUPOST"}) {
            Table t = batch.create(name, kFields);
            fill(t, "NUEVO");
            t.close();
        }
        // A later table of the unit reads the new one; the folder still holds the old one,
        // and no other program may open it until the unit is done with it.
        EXPECT_EQ(firstValue(batch.open("grupost", Access::Exclusive)), "NUEVO");
#ifndef _WIN32  // Windows lets no other open read a table held this way: the next line covers it
        EXPECT_EQ(test::readBytes(f.dir / "GRUPOST.DBF"), oldGroups);
#endif
        EXPECT_THROW(Table::open(f.dir.path(), "GRUPOST", Access::Shared, true), Error);
        EXPECT_EQ(firstValue(batch.open("AULAT.DBF", Access::Shared, true)), "NUEVO");
        batch.commit();
    }
    for (const char* name : {"AULAT", "GRUPOST"})
        EXPECT_EQ(firstValue(Table::open(f.dir.path(), name, Access::Shared, true)), "NUEVO") << name;
    EXPECT_EQ(entries(f.dir.path()), (std::vector<std::string>{"AULAT.DBF", "GRUPOST.DBF"}))
        << "the old index went with the old table; no temporary file stays";
}

TEST(TableBatch, AUnitThatStopsReplacesNothingAndLeavesNoTemporaryFile) {
    Folder f;
    const std::string aulat = test::readBytes(f.dir / "AULAT.DBF");
    {
        TableBatch batch(f.dir.path());
        Table t = batch.create("AULAT", kFields);
        fill(t, "NUEVO");
        t.close();
        Table unfinished = batch.create("GRUPOST", kFields);
        fill(unfinished, "NUEVO");
    }  // no commit: the unit stopped
    EXPECT_EQ(test::readBytes(f.dir / "AULAT.DBF"), aulat);
    EXPECT_EQ(entries(f.dir.path()), (std::vector<std::string>{"AULAT.DBF", "GRUPOST.DBF", "GRUPOST.MDX"}));
}

TEST(TableBatch, AnOldTableHeldByAnotherProgramStopsTheUnitBeforeAnythingIsReplaced) {
    Folder f;
    const std::optional<LockedFile> held = LockedFile::open(f.dir / "GRUPOST.DBF", LockedFile::Mode::Shared);
    ASSERT_TRUE(held);
    TableBatch batch(f.dir.path());
    Table t = batch.create("AULAT", kFields);
    t.close();
    try {
        batch.create("GRUPOST", kFields);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(e.is(TableError::InUse)) << e.what();
    }
}

}  // namespace
}  // namespace tht
