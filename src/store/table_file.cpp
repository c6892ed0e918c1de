// The table on disk: finding, locking and reading it when opened, and
// replacing it atomically when closed.
#include <cerrno>

#include "base/ascii.h"
#include "base/messages.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "platform/locked_file.h"
#include "store/table_error.h"
#include "store/table_batch.h"
#include "store/commit_journal.h"
#include "platform/commit_renames.h"
#include "platform/temporary_files.h"
#include "store/table_impl.h"
#include "store/table_scan.h"

namespace tht {
namespace {

constexpr std::string_view kExtension = ".DBF";

struct TableName {
    std::string base;      // upper case, without extension: the name messages give
    std::string fileName;  // as the caller gave it, with the extension added when missing
};

// A table name is one file of the folder: a path in it would reach elsewhere.
TableName splitName(std::string_view name, const fs::path& folder) {
    if (name.empty() || name.find_first_of("/\\") != std::string_view::npos || name == "." || name == "..")
        throw Error(TableError::Missing, {.table = displayPath(folder / std::string(name))});
    TableName n;
    const bool hasExtension =
        name.size() > kExtension.size() && ascii::upper(name.substr(name.size() - kExtension.size())) == kExtension;
    n.base = ascii::upper(hasExtension ? name.substr(0, name.size() - kExtension.size()) : name);
    n.fileName = hasExtension ? std::string(name) : std::string(name) + std::string(kExtension);
    return n;
}

void dropOldSpellings(const fs::path& folder, const std::string& name, const fs::path& path) {
    // Only now that the new table has its name: the old index and any other
    // spelling of the old table describe a table that is gone.
    for (const fs::path& p : findCaseVariants(folder, name + ".MDX")) removeFileQuietly(p);
    // On a folder that ignores letter case the new table may carry an old
    // spelling: compare files, not names.
    std::error_code ec;
    for (const fs::path& p : findCaseVariants(folder, name + std::string(kExtension)))
        if (p != path && !fs::equivalent(p, path, ec)) removeFileQuietly(p);
}

}  // namespace

Table Table::open(const std::filesystem::path& folder, std::string_view name, Access access, bool readOnly) {
    const TableName n = splitName(name, folder);
    const std::optional<fs::path> found = findEntry(folder, n.fileName);
    if (!found || !fileExists(*found))
        throw Error(TableError::Missing, {.table = displayPath(folder / n.fileName)});
    std::optional<LockedFile> lock =
        LockedFile::open(*found, access == Access::Exclusive ? LockedFile::Mode::Exclusive : LockedFile::Mode::Shared);
    if (!lock) throw Error(TableError::InUse, {.table = n.base});

    Impl::Setup s;
    s.bytes = lock->readAll();
    s.layout = parseTableHeader(s.bytes, displayPath(*found));
    // Drop the end byte and anything after the declared records: appends go there.
    s.bytes.resize(s.layout.headerLength + s.layout.recordCount * s.layout.recordLength);
    s.name = n.base;
    s.folder = folder;
    s.path = *found;
    s.readOnly = readOnly || (access == Access::Exclusive && !lock->writable());
    s.locks.push_back(std::move(*lock));
    return Table(std::make_unique<Impl>(std::move(s)));
}

Table Table::create(const std::filesystem::path& folder, std::string_view name, const std::vector<FieldDef>& fields,
                    TableLevel level, Clock clock) {
    return create(folder, name, fields, level, std::move(clock), nullptr);
}

Table Table::create(const std::filesystem::path& folder, std::string_view name, const std::vector<FieldDef>& fields,
                    TableLevel level, Clock clock, TableBatch* batch) {
    const TableName n = splitName(name, folder);
    NewTable fresh = buildTableHeader(fields, level);
    if (!folderExists(folder)) throw Error(TableError::FolderMissing, {.file = displayPath(folder)});

    Impl::Setup s;
    const std::string fileName = n.base + std::string(kExtension);
    // Hold every old NAME.DBF while the new table is built, so no program
    // opens one we are about to replace, and we never replace one in use.
    for (const fs::path& old : findCaseVariants(folder, fileName)) {
        if (!fileExists(old)) continue;
        std::optional<LockedFile> lock = LockedFile::open(old, LockedFile::Mode::Exclusive);
        if (!lock) throw Error(TableError::InUse, {.table = n.base});
        // A table its owner made read-only is not ours to replace.
        if (!lock->writable())
            throw Error(FileError::Unwritable, {.file = displayPath(old), .cause = describeSystemError(EACCES)});
        s.locks.push_back(std::move(*lock));
    }
    s.name = n.base;
    s.folder = folder;
    s.path = folder / fileName;
    s.created = true;
    s.clock = std::move(clock);
    s.batch = batch;
    s.layout = std::move(fresh.layout);
    s.bytes = ByteBuffer(fresh.header);
    return Table(std::make_unique<Impl>(std::move(s)));
}

void Table::Impl::writeFile() {
    const LocalDateTime today = clock_();
    stampTableHeader(bytes_.data(), count_, today.year, today.month, today.day);
    // We keep no index up to date: a production index the header announces
    // would be stale after our change, so the engine must not open it.
    bytes_[28] = static_cast<char>(bytes_[28] & ~0x01);
    const std::string_view header = std::string_view(bytes_).substr(0, layout_.headerLength);
    if (!out_) {
        out_.emplace(path_);
        out_->write(header);
    } else {
        out_->writeAt(0, header);  // the records before these are written out already
    }
    out_->write(std::string_view(bytes_).substr(layout_.headerLength));
    out_->write(std::string_view("\x1A", 1));
    if (batch_) {
        PreparedFile prepared = std::move(*out_).prepare();
        out_.reset();
        batch_->stage(name_, std::move(prepared), std::move(locks_));
        return;
    }
    // Windows renames over no file that is open: our own hold on the old
    // table goes just before the rename.
    locks_.clear();
    out_->commit();
    out_.reset();
    if (created_) dropOldSpellings(folder_, name_, path_);
}

void Table::Impl::close() {
    if (!open_) return;
    cancel();  // an unposted Append or Edit is dropped
    if (created_ || changed_) writeFile();
    locks_.clear();
    open_ = false;
}

std::vector<LockedFile> Table::Impl::closeKeepingLocks() {
    std::vector<LockedFile> kept;
    if (open_ && !created_ && !changed_) kept.swap(locks_);  // nothing to write: the old file stays as it is
    close();
    bytes_ = ByteBuffer();
    return kept;
}

TableBatch::~TableBatch() = default;

Table TableBatch::create(std::string_view name, const std::vector<FieldDef>& fields, TableLevel level, Clock clock) {
    return Table::create(folder_, name, fields, level, std::move(clock), this);
}

Table TableBatch::open(std::string_view name, Access access, bool readOnly) {
    const TableName n = splitName(name, folder_);
    for (const Staged& staged : staged_) {
        if (staged.name != n.base) continue;
        Table::Impl::Setup s;
        s.bytes = staged.file.readBack();
        s.path = folder_ / (n.base + std::string(kExtension));
        s.layout = parseTableHeader(s.bytes, displayPath(s.path));
        s.bytes.resize(s.layout.headerLength + s.layout.recordCount * s.layout.recordLength);
        s.name = n.base;
        s.folder = folder_;
        s.readOnly = readOnly;
        s.batch = this;  // a change makes it new content of the batch again
        return Table(std::make_unique<Table::Impl>(std::move(s)));
    }
    return Table::open(folder_, name, access, readOnly);
}

TableScan TableScan::open(const std::filesystem::path& folder, std::string_view name) {
    const TableName n = splitName(name, folder);
    const std::optional<fs::path> found = findEntry(folder, n.fileName);
    if (!found || !fileExists(*found))
        throw Error(TableError::Missing, {.table = displayPath(folder / n.fileName)});
    std::optional<LockedFile> lock = LockedFile::open(*found, LockedFile::Mode::Shared);
    if (!lock) throw Error(TableError::InUse, {.table = n.base});
    const LockedFile& held = *lock;
    return over(held, std::move(lock), *found, n.base);
}

TableScan TableScan::open(TableBatch& batch, std::string_view name) {
    const TableName n = splitName(name, batch.folder_);
    for (const TableBatch::Staged& staged : batch.staged_) {
        if (staged.name != n.base) continue;
        std::optional<LockedFile> lock = LockedFile::open(staged.file.temporaryPath(), LockedFile::Mode::Shared);
        if (!lock) throw Error(TableError::InUse, {.table = n.base});
        const LockedFile& held = *lock;
        return over(held, std::move(lock), batch.folder_ / (n.base + std::string(kExtension)), n.base);
    }
    return open(batch.folder_, name);
}

std::optional<TableScan> TableScan::openReplaced(TableBatch& batch, std::string_view name) {
    const TableName n = splitName(name, batch.folder_);
    // The spelling Table::open would have read, among those the batch holds.
    const std::optional<fs::path> found = findEntry(batch.folder_, n.fileName);
    if (!found) return std::nullopt;
    std::error_code ec;
    for (const TableBatch::Staged& staged : batch.staged_) {
        if (staged.name != n.base) continue;
        for (const LockedFile& lock : staged.oldTables)
            if (lock.path() == *found || fs::equivalent(lock.path(), *found, ec))
                return over(lock, std::nullopt, *found, n.base);
    }
    return std::nullopt;
}

void TableBatch::stage(std::string name, PreparedFile file, std::vector<LockedFile> oldTables) {
    for (Staged& staged : staged_) {
        if (staged.name != name) continue;
        staged.file = std::move(file);
        for (LockedFile& lock : oldTables) staged.oldTables.push_back(std::move(lock));
        return;
    }
    staged_.push_back({std::move(name), std::move(file), std::move(oldTables)});
}

void TableBatch::commit() {
    if (staged_.empty()) return;
    std::vector<PreparedFile*> files;
    std::optional<Keeping> keeping;
    if (keepWhen_) keeping.emplace(Keeping{.when = *keepWhen_});
    for (Staged& staged : staged_) {
        staged.oldTables.clear();  // Windows renames over no file that is open
        files.push_back(&staged.file);
        if (!keeping) continue;
        // The old index and other spellings go with the table they described.
        const fs::path target = staged.file.finalPath();
        std::error_code ec;
        for (const std::string& name : {staged.name + ".MDX", staged.name + std::string(kExtension)})
            for (const fs::path& p : findCaseVariants(folder_, name))
                if (p != target && !fs::equivalent(p, target, ec)) keeping->alsoKept.push_back(p);
    }
    if (keeping)
        if (const auto report = findEntry(folder_, msg::report::kFileName)) keeping->companions.push_back(*report);
    keptSet_ = commitFiles(folder_, std::move(files), keeping ? &*keeping : nullptr);
    for (const Staged& staged : staged_) dropOldSpellings(folder_, staged.name, staged.file.target());
    staged_.clear();
}

}  // namespace tht
