#pragma once
// An open Horalina table reached through its declared fields. Each field is
// looked up by name the first time it is used, so a table written by another
// program that lacks a field fails only where that field is read.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run/horalina_tables.h"
#include "store/table.h"
#include "store/table_batch.h"

namespace tht {

template <class Schema>
class SchemaTable {
public:
    using Field = horalina::Field<Schema>;

    // A new, empty table of the batch with the declared fields.
    static SchemaTable create(TableBatch& batch, Clock clock) {
        return SchemaTable(batch.create(Schema::name, horalina::fieldDefs<Schema>(), TableLevel::DBase4, std::move(clock)));
    }
    static SchemaTable open(const std::filesystem::path& folder, Access access, bool readOnly = false) {
        return SchemaTable(Table::open(folder, Schema::name, access, readOnly));
    }
    static SchemaTable open(TableBatch& batch, Access access, bool readOnly = false) {
        return SchemaTable(batch.open(Schema::name, access, readOnly));
    }

    void close() { table_.close(); }
    // Throws Error(FieldMissing) when the table lacks f, as a read of it would.
    void requireField(const Field& f) const { (void)id(f); }
    std::vector<LockedFile> closeKeepingLocks() { return table_.closeKeepingLocks(); }
    void first() { table_.first(); }
    void next() { table_.next(); }
    bool eof() const noexcept { return table_.eof(); }
    std::int64_t recordCount() const noexcept { return table_.recordCount(); }
    std::int64_t recordNumber() const noexcept { return table_.recordNumber(); }
    void append() { table_.append(); }
    void edit() { table_.edit(); }
    void post() { table_.post(); }
    void cancel() { table_.cancel(); }

    std::u32string read(const Field& f) const { return table_.readString(id(f)); }
    void read(const Field& f, std::u32string& out) const { table_.readString(id(f), out); }
    std::int64_t readInteger(const Field& f) const { return table_.readInteger(id(f)); }
    double readFloat(const Field& f) const { return table_.readFloat(id(f)); }
    // A field as text of the tables' page (see Table::readString).
    void readText(const Field& f, std::string& out) const { table_.readString(id(f), out); }
    std::string readText(const Field& f) const {
        std::string out;
        readText(f, out);
        return out;
    }

    void write(const Field& f, std::u32string_view value) { table_.writeString(id(f), value); }
    // Text of the tables' page.
    void write(const Field& f, std::string_view value) { table_.writeString(id(f), value); }
    void writeFloat(const Field& f, double value) { table_.writeFloat(id(f), value); }
    void writeBoolean(const Field& f, bool value) { table_.writeBoolean(id(f), value); }
    // Field f of the other table's current record, read as string, into field `to`.
    template <class Other>
    void copy(const Field& to, const SchemaTable<Other>& from, const horalina::Field<Other>& f) {
        table_.copyString(id(to), from.table_, from.id(f));
    }

    // The first record in stored order whose key fields equal the values exactly.
    template <std::size_t N>
    bool locate(const std::array<Field, N>& key, const std::vector<std::u32string>& values) {
        std::string names;
        for (const Field& f : key) names.append(names.empty() ? "" : ";").append(f.name);
        return table_.locate(names, values);
    }
    bool locate(const Field& key, const std::vector<std::u32string>& values) {
        return locate(std::array<Field, 1>{key}, values);
    }

private:
    template <class>
    friend class SchemaTable;

    explicit SchemaTable(Table table) : table_(std::move(table)) {}

    FieldId id(const Field& f) const {
        std::optional<FieldId>& slot = ids_[f.index];
        if (!slot) slot = table_.field(f.name);
        return *slot;
    }

    Table table_;
    mutable std::array<std::optional<FieldId>, Schema::fields.size()> ids_{};
};

}  // namespace tht
