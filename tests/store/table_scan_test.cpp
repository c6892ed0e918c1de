// A scan reads a table a block at a time: the records it visits, across
// block ends and deleted records, are those a walk of the whole table visits.
#include <gtest/gtest.h>

#include <algorithm>

#include "store/table.h"
#include "store/table_error.h"
#include "store/table_scan.h"
#include "store/dbf_fixture.h"
#include "support/temp_dir.h"

namespace tht {
namespace {

std::vector<std::string> walked(Table& t) {
    std::vector<std::string> out;
    for (t.first(); !t.eof(); t.next()) out.push_back(t.readString(t.field("CODE")));
    return out;
}

std::vector<std::string> scanned(TableScan& s) {
    std::vector<std::string> out;
    while (s.next()) out.push_back(s.table().readString(s.table().field("CODE")));
    return out;
}

TEST(TableScan, VisitsWhatAWalkVisitsAcrossBlocksAndDeletedRecords) {
    const struct {
        const char* what;
        int records;
        std::vector<int> deleted;
        std::pair<int, int> deletedRange{0, 0};
    } cases[] = {
        // 104-byte records: 2520 to a block.
        {"empty", 0, {}},
        {"one block", 10, {0, 9}},
        {"several blocks, deleted at their ends", 6000, {0, 2519, 2520, 5039, 5040, 5999}},
        {"a whole block deleted", 6000, {}, {2520, 5040}},
        {"every record deleted", 3000, {}, {0, 3000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        test::RawTable raw{.fields = {{"CODE", 'C', 8}, {"PAD", 'C', 95}}};
        for (int i = 0; i < c.records; ++i) {
            std::string code = std::to_string(i);
            code.resize(8, ' ');
            const bool gone = std::ranges::find(c.deleted, i) != c.deleted.end() ||
                              (i >= c.deletedRange.first && i < c.deletedRange.second);
            raw.records.push_back((gone ? "*" : " ") + code + std::string(95, 'x'));
        }
        dir.write("T.DBF", test::dbfBytes(raw));
        Table whole = Table::open(dir.path(), "T", Access::Shared, true);
        TableScan scan = TableScan::open(dir.path(), "T");
        EXPECT_EQ(scan.declaredRecords(), static_cast<std::uint64_t>(c.records));
        const std::vector<std::string> expected = walked(whole);
        EXPECT_EQ(scanned(scan), expected);
        scan.rewind();
        EXPECT_EQ(scanned(scan), expected) << "again after rewind";
        EXPECT_EQ(scan.table().recordShape(), whole.recordShape());
    }
}

TEST(TableScan, ATableCutShortIsDamagedWhereTheScanReachesIt) {
    test::TempDir dir;
    test::RawTable raw{.fields = {{"CODE", 'C', 8}}};
    for (int i = 0; i < 100000; ++i) raw.records.push_back(" aaaaaaaa");  // the flag byte, then the field
    std::string bytes = test::dbfBytes(raw);
    bytes.resize(bytes.size() / 2);
    dir.write("T.DBF", bytes);
    TableScan scan = TableScan::open(dir.path(), "T");
    try {
        while (scan.next()) {}
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(e.is(TableError::Damaged)) << e.what();
    }
}

}  // namespace
}  // namespace tht
