#pragma once
// The table an export is about to replace, taken in before its replacement
// is made (the new table then holds the old one's lock until the commit):
// for each record, its codes, its name and a fingerprint of its values.
//
// Records are matched by their codes. A re-export mostly writes the same
// records in the same places, so a record that is the same as the old one
// in its place is matched there, at the cost of a fingerprint; only the
// others go through a lookup index of the old records left over. When a
// table holds one code more than once (rooms and groups are written line
// for line, a district's time slots repeat), the n-th record left over with
// a code is matched with the n-th one of the other table.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "run/horalina_tables.h"
#include "run/table_changes.h"
#include "store/table.h"

namespace tht {

// Which fields a table's records are known by and named by.
struct TableCodes {
    std::string_view table;
    std::vector<std::string_view> keys;
    std::string_view label;                  // empty: the table has no name field
    std::vector<std::string_view> fields;    // every field, in order
    std::string newShape;                    // how the new table stores its records

    template <class Schema>
    static TableCodes of() {
        TableCodes c{Schema::name, {}, Schema::label ? Schema::label->name : std::string_view(), {},
                     Table::recordShape(horalina::fieldDefs<Schema>(), TableLevel::DBase4)};
        for (const auto& k : Schema::keys) c.keys.push_back(k.name);
        for (const auto& f : Schema::fields) c.fields.push_back(f.name);
        return c;
    }
};

class PreviousTable {
public:
    // The folder's table, when there is one. A table that cannot be read is
    // no comparison, never a stopped export: unreadable() says why.
    static PreviousTable read(const std::filesystem::path& folder, TableCodes codes);

    // What changed from it to `table`, walked from its first record. Throws
    // Error when a field of the new table cannot be read.
    TableChanges compareWith(Table& table);

    // Why the table there could not be read; empty when it could (or there was none).
    const std::string& unreadable() const noexcept { return unreadable_; }

private:
    explicit PreviousTable(TableCodes codes) : codes_(std::move(codes)) {}

    struct Fields {
        std::vector<FieldId> keys;
        std::optional<FieldId> label;
        std::vector<std::optional<FieldId>> all;  // by name: a field the table lacks is none
    };
    static Fields fieldsOf(const Table& table, const TableCodes& codes);
    std::uint64_t fingerprint(const Table& table, const Fields& fields);
    void readKey(const Table& table, const Fields& fields);
    // The codes of old record i, then its name.
    std::vector<std::string_view> partsOf(std::size_t i) const;
    std::string codeText(std::span<const std::string_view> parts) const;

    TableCodes codes_;
    bool present_ = false;
    bool byBytes_ = false;  // both tables store records alike: fingerprints of their bytes
    std::string unreadable_;
    // The old records in stored order: the fingerprint of each, and its
    // codes and name as parts (a length, then the bytes) one after another.
    std::vector<std::uint64_t> fingerprints_;
    std::vector<std::size_t> partsAt_;  // where each record's parts start; one more for the end
    std::string parts_;
    std::vector<std::string> key_;  // the codes of the record read, and room for a repeat's number
    std::string text_;              // reused
};

}  // namespace tht
