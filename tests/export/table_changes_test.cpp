// How a step's new table is matched with the one it replaces: the same
// record where it stands or nearby, else by codes, repeated codes in turn,
// whatever the places and however the old table was
// stored; an old table that cannot be read costs the comparison, never the export.
#include <gtest/gtest.h>

#include "export/steps.h"
#include "run/horalina_tables.h"
#include "store/table.h"
#include "support/tuxa_builder.h"

namespace tht {
namespace {

using test::line;
using Rooms = std::vector<std::pair<std::string, std::string>>;  // code, name

std::string roomsFile(const Rooms& rooms) {
    std::vector<std::string> lines;
    for (const auto& [code, name] : rooms) lines.push_back(line({{2, code}, {12, name}}));
    return test::tuxaFile("TUXA_AULAS.TXT", lines);
}

std::vector<std::string> labels(const RecordList& list) {
    std::vector<std::string> out;
    for (const RecordLabel& r : list.listed) out.push_back(r.code + "|" + r.name + "|" + r.before);
    return out;
}

TEST(TableChanges, RecordsAreMatchedByCodeAndRepeatedCodesInTurn) {
    using L = std::vector<std::string>;
    // Seventy rooms put in front of ten: further than a record is sought nearby.
    Rooms ten, seventyAndTen;
    L firstFifty;
    for (int i = 0; i < 70; ++i) seventyAndTen.push_back({std::string("N").append(std::to_string(i)), "Nueva"});
    for (int i = 0; i < 50; ++i) firstFifty.push_back(std::string("N").append(std::to_string(i)).append("|Nueva|"));
    for (int i = 0; i < 10; ++i) ten.push_back({std::string("R").append(std::to_string(i)), "Vieja"});
    seventyAndTen.insert(seventyAndTen.end(), ten.begin(), ten.end());
    const struct {
        const char* what;
        Rooms before, after;
        L added, removed, changed;
        std::int64_t addedCount = -1;  // -1: as many as listed
    } cases[] = {
        {"the same rooms", {{"A", "Uno"}, {"B", "Dos"}}, {{"A", "Uno"}, {"B", "Dos"}}, {}, {}, {}},
        {"one put in front: the others are no change",
         {{"A", "Uno"}, {"B", "Dos"}},
         {{"X", "Nueva"}, {"A", "Uno"}, {"B", "Dos"}},
         {"X|Nueva|"}, {}, {}},
        {"the second of a repeated code renamed",
         {{"A", "Uno"}, {"A", "Uno bis"}, {"B", "Dos"}},
         {{"A", "Uno"}, {"A", "Uno ter"}, {"B", "Dos"}},
         {}, {}, {"A|Uno ter|Uno bis"}},
        {"a repeat gone from the front",
         {{"A", "Uno"}, {"A", "Uno bis"}, {"B", "Dos"}},
         {{"A", "Uno bis"}, {"B", "Dos"}},
         {}, {"A|Uno|"}, {}},  // the one the same as before is matched to it
        {"codes swapped places", {{"A", "Uno"}, {"B", "Dos"}}, {{"B", "Dos"}, {"A", "Uno"}}, {}, {}, {}},
        {"a repeat renamed and moved",
         {{"A", "Uno"}, {"B", "Dos"}, {"A", "Uno bis"}},
         {{"A", "Uno"}, {"A", "Uno ter"}, {"B", "Dos"}},
         {}, {}, {"A|Uno ter|Uno bis"}},
        {"seventy put in front", ten, seventyAndTen, firstFifty, {}, {}, 70},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::RunFixture f;
        f.writeTuxa("tuxa_aulas.txt", roomsFile(c.before));
        f.step(ExportarAulas);
        f.writeTuxa("tuxa_aulas.txt", roomsFile(c.after));
        const TableReport report = f.step(ExportarAulas);
        ASSERT_TRUE(report.changes);
        EXPECT_TRUE(report.changes->hadTable);
        EXPECT_EQ(labels(report.changes->added), c.added);
        EXPECT_EQ(labels(report.changes->removed), c.removed);
        EXPECT_EQ(labels(report.changes->changed), c.changed);
        EXPECT_EQ(report.changes->added.count,
                  c.addedCount >= 0 ? c.addedCount : static_cast<std::int64_t>(c.added.size()));
        EXPECT_TRUE(report.warnings.empty());
    }
}

// A table another program wrote, at another dBase level, is compared by its
// values; one that is no table is no comparison, and the export goes on.
TEST(TableChanges, AnOldTableStoredOtherwiseIsComparedByValueAndADamagedOneOnlyWarns) {
    const Rooms rooms = {{"A", "Uno"}, {"B", "Dos"}};
    {
        test::RunFixture f;
        std::filesystem::create_directories(f.htemp);
        Table old = Table::create(f.htemp, "AULAT", horalina::fieldDefs<horalina::Aulat>(), TableLevel::DBase7);
        for (const auto& [code, name] : Rooms{{"A", "Uno"}, {"B", "Otro"}}) {
            old.append();
            old.writeString(old.field("ABREV"), code);
            old.writeString(old.field("NOMBRE"), name);
            old.post();
        }
        old.close();
        f.writeTuxa("tuxa_aulas.txt", roomsFile(rooms));
        const TableReport report = f.step(ExportarAulas);
        ASSERT_TRUE(report.changes);
        EXPECT_TRUE(report.changes->added.listed.empty());
        EXPECT_TRUE(report.changes->removed.listed.empty());
        EXPECT_EQ(labels(report.changes->changed), std::vector<std::string>{"B|Dos|Otro"});
    }
    {
        test::RunFixture f;
        f.dir.write("htemp/AULAT.DBF", "no es una tabla");
        f.writeTuxa("tuxa_aulas.txt", roomsFile(rooms));
        const TableReport report = f.step(ExportarAulas);
        ASSERT_EQ(report.written, 2);
        ASSERT_EQ(report.warnings.size(), 1u);
        EXPECT_TRUE(report.warnings[0].starts_with("no se ha podido comparar AULAT con la tabla que había: "))
            << report.warnings[0];
        EXPECT_FALSE(report.changes) << "nothing to compare with";
    }
}

}  // namespace
}  // namespace tht
