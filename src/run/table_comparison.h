#pragma once
// What changed from one table to another by the codes its records are
// known by: the table an export replaces against the one it made.
//
// A re-export mostly writes the same records in the same order, so each
// table is first read once for a fingerprint of every record, and a record
// with the fingerprint of the old one in its place, or of one a few places
// before or after it (where records were put in or taken out), is matched
// there. Only the records left over are read again and matched by their
// codes, through a lookup index of the old ones. When a table holds one code more than once (rooms
// and groups are written line for line, a district's time slots repeat),
// the n-th record left over with a code is matched with the n-th one of the
// other table.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "run/horalina_tables.h"
#include "run/table_changes.h"
#include "store/table_scan.h"

namespace tht {

// Which fields a table's records are known by and named by.
struct TableCodes {
    std::string_view table;
    std::vector<std::string_view> keys;
    std::string_view label;                // empty: the table has no name field
    std::vector<std::string_view> fields;  // every field, in order

    template <class Schema>
    static TableCodes of() {
        TableCodes c{Schema::name, {}, Schema::label ? Schema::label->name : std::string_view(), {}};
        for (const auto& k : Schema::keys) c.keys.push_back(k.name);
        for (const auto& f : Schema::fields) c.fields.push_back(f.name);
        return c;
    }
};

// What changed from `before` to `after`; each is walked from its first
// record, once more where records are left over. Throws Error when either
// cannot be read, or `before` lacks a key field.
TableChanges compareTables(TableScan& before, TableScan& after, const TableCodes& codes);

// A table with nothing before it: every record is new, none is listed.
TableChanges firstTable(const TableScan& after, const TableCodes& codes);

}  // namespace tht
