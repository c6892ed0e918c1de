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

// One commit of new AULAT and GRUPOST that keeps what it replaces, at `second` past noon.
fs::path commitKeeping(const fs::path& folder, int second, std::string_view value = "NUEVO") {
    TableBatch batch(folder);
    batch.keepReplaced({2026, 12, 11, 12, 30, second});
    for (const char* name : {"AULAT", "GRUPOST"}) {
        Table t = batch.create(name, kFields);
        fill(t, value);
        t.close();
    }
    batch.commit();
    return batch.keptSet();
}

TEST(TableBatch, TheReplacedTablesAreMovedWithTheirIndexAndReportIntoAKeptSet) {
    Folder f;
    const std::string oldRooms = test::readBytes(f.dir / "AULAT.DBF");
    const std::string oldGroups = test::readBytes(f.dir / "GRUPOST.DBF");
    f.dir.write("INFORME_TRANSHORALOTUXA.TXT", "the report of the old set");
    f.dir.write("SOLUC.DBF", "not replaced");
    const fs::path set = commitKeeping(f.dir.path(), 5);
    EXPECT_EQ(set, f.dir / "transHoraloTuxa copias" / "2026-12-11 12.30.05");
    EXPECT_EQ(entries(set),
              (std::vector<std::string>{"AULAT.DBF", "GRUPOST.DBF", "GRUPOST.MDX", "INFORME_TRANSHORALOTUXA.TXT"}));
    EXPECT_EQ(test::readBytes(set / "AULAT.DBF"), oldRooms);
    EXPECT_EQ(test::readBytes(set / "GRUPOST.DBF"), oldGroups);
    EXPECT_EQ(entries(f.dir.path()),
              (std::vector<std::string>{"AULAT.DBF", "GRUPOST.DBF", "SOLUC.DBF", "transHoraloTuxa copias"}));
    EXPECT_EQ(firstValue(Table::open(f.dir.path(), "AULAT", Access::Shared, true)), "NUEVO");
}

TEST(TableBatch, AFirstCommitKeepsNothingAndOnlyTheLastFiveSetsAreKept) {
    test::TempDir dir;
    dir.write("INFORME_TRANSHORALOTUXA.TXT", "a report alone is no set");
    EXPECT_EQ(commitKeeping(dir.path(), 0, "V0"), fs::path());
    EXPECT_FALSE(fs::exists(dir / "transHoraloTuxa copias"));
    // Seven more commits, two of them in one second: the second of those gets a name of its own.
    std::vector<std::string> made;
    for (int i = 1; i <= 7; ++i) {
        // Built by appending: GCC 12's -Wrestrict misreads "V" + std::to_string(i) in the Windows build.
        const fs::path set = commitKeeping(dir.path(), i == 7 ? 6 : i, std::string("V").append(std::to_string(i)));
        made.push_back(set.filename().string());
        EXPECT_EQ(firstValue(Table::open(set, "AULAT", Access::Shared, true)), std::string("V").append(std::to_string(i - 1)));
    }
    EXPECT_EQ(made.back(), "2026-12-11 12.30.06 (2)");
    EXPECT_EQ(entries(dir / "transHoraloTuxa copias"),
              (std::vector<std::string>{"2026-12-11 12.30.03", "2026-12-11 12.30.04", "2026-12-11 12.30.05",
                                        "2026-12-11 12.30.06", "2026-12-11 12.30.06 (2)"}));
}

}  // namespace
}  // namespace tht
