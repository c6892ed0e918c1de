#pragma once
// Tables made as one unit. Each new table is written out to the disk when it
// is closed, under a temporary name, and all of them take their names
// together on commit(): a unit that stops before it replaces no table, and
// its temporary files are removed. Later tables of the unit that read an
// earlier one read its new content.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/locked_file.h"
#include "store/table.h"

namespace tht {

class TableBatch {
public:
    explicit TableBatch(std::filesystem::path folder) : folder_(std::move(folder)) {}
    TableBatch(const TableBatch&) = delete;
    TableBatch& operator=(const TableBatch&) = delete;
    ~TableBatch();

    const std::filesystem::path& folder() const noexcept { return folder_; }

    // As Table::create in the batch's folder; the table is the batch's.
    Table create(std::string_view name, const std::vector<FieldDef>& fields, TableLevel level = TableLevel::DBase4,
                 Clock clock = systemLocalTime);
    // The table's new content when the batch has made it, else the folder's table.
    Table open(std::string_view name, Access access, bool readOnly = false);

    // Every new table takes its name, in the order they were closed; the old
    // production indexes and other spellings of their names are removed.
    // Throws Error(FileError::Unwritable) when a rename fails.
    void commit();

    // The commit keeps the tables it replaces, with their indexes and the
    // folder's report, in a new kept set named by `when` (kept_sets.h).
    void keepReplaced(LocalDateTime when) { keepWhen_ = when; }
    // The set the commit kept; empty when it replaced nothing or kept nothing.
    const std::filesystem::path& keptSet() const noexcept { return keptSet_; }

private:
    friend class Table;
    friend class TableScan;
    struct Staged {
        std::string name;  // upper case, without ".DBF"
        PreparedFile file;
        std::vector<LockedFile> oldTables;  // held until the new table has their name
    };
    // A table of the batch was closed with new content.
    void stage(std::string name, PreparedFile file, std::vector<LockedFile> oldTables);

    std::filesystem::path folder_;
    std::vector<Staged> staged_;
    std::optional<LocalDateTime> keepWhen_;
    std::filesystem::path keptSet_;
};

}  // namespace tht
