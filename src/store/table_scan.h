#pragma once
// A table read once from its first record to its last, a block of records
// at a time: for a reader that looks at each record once, a table of any
// size costs one block of memory and no more, and no copy of it is made
// whole. The table is held shared while the scan lives; nothing is written.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "store/table.h"

namespace tht {

class LockedFile;
class TableBatch;

class TableScan {
public:
    // The folder's table, found as Table::open finds it. Throws Error:
    // TableMissing, TableInUse, TableDamaged (also a block found damaged as
    // the scan reaches it).
    static TableScan open(const std::filesystem::path& folder, std::string_view name);
    // The batch's new content of the table when it has made it, else the folder's.
    static TableScan open(TableBatch& batch, std::string_view name);
    // The table the batch's new content is to replace, read through the
    // batch's own hold on it (no other open of it is let in meanwhile);
    // nothing when there is none.
    static std::optional<TableScan> openReplaced(TableBatch& batch, std::string_view name);

    TableScan(TableScan&&) noexcept;
    TableScan& operator=(TableScan&&) noexcept;
    ~TableScan();

    // The next record that is not deleted becomes current (the first, on the
    // first call); false after the last.
    bool next();
    // Records the header declares, deleted ones included: the most next() visits.
    std::uint64_t declaredRecords() const noexcept;
    // Back to before the first record.
    void rewind();
    // The current record, read as a Table's (its fields, reads and shape);
    // before the first next(), the fields only.
    const Table& table() const noexcept;

    struct State;

private:
    explicit TableScan(std::unique_ptr<State> state);
    // The scan of the table file held by `file`, at `path`, named `name`;
    // a file held elsewhere is read through, `owned` is kept by the scan.
    static TableScan over(const LockedFile& file, std::optional<LockedFile> owned, std::filesystem::path path,
                          std::string name);
    bool load();  // the next block; false when none is left
    std::unique_ptr<State> s_;
};

}  // namespace tht
