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

    std::int64_t readInteger(const Field& f) const { return table_.readInteger(id(f)); }
    double readFloat(const Field& f) const { return table_.readFloat(id(f)); }
    // A field as text of the tables' page (see Table::readString).
    void readText(const Field& f, std::string& out) const { table_.readString(id(f), out); }
    std::string readText(const Field& f) const {
        std::string out;
        readText(f, out);
        return out;
    }

    // Text of the tables' page.
    void write(const Field& f, std::string_view value) { table_.writeString(id(f), value); }
    void writeFloat(const Field& f, double value) { table_.writeFloat(id(f), value); }
    void writeBoolean(const Field& f, bool value) { table_.writeBoolean(id(f), value); }

private:
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
