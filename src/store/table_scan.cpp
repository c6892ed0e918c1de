#include "store/table_scan.h"

#include <algorithm>
#include <optional>

#include "base/little_endian.h"
#include "base/messages.h"
#include "platform/locked_file.h"
#include "store/table_error.h"
#include "store/table_impl.h"
#include "store/table_layout.h"

namespace tht {
namespace {

constexpr std::size_t kBlock = 256 * 1024;  // bytes of records read at a time
constexpr std::size_t kFixedHeader = 32;
constexpr char kEndOfFile = 0x1A;

}  // namespace

struct TableScan::State {
    const LockedFile* file = nullptr;
    std::optional<LockedFile> owned;  // the hold on the table, when it is the scan's
    fs::path path;
    std::string name;
    std::string header;  // as the file has it
    std::uint64_t records = 0;      // as the header declares them
    std::size_t recordLength = 1;
    std::uint64_t loaded = 0;       // records read so far
    bool started = false;
    std::optional<Table> block;     // the records of the block read last, as a table
    ByteBuffer spare;               // the memory of the block before, to fill again

    Error damaged(std::string cause) const {
        return Error(TableError::Damaged, {.table = displayPath(path), .cause = std::move(cause)});
    }

    // The header and `count` records, filled by fill(where), as a table of its own.
    template <class Fill>
    Table tableOf(std::uint64_t count, Fill&& fill) {
        ByteBuffer bytes = std::move(spare);
        bytes.resize(0);
        std::string head = header;
        le::put32(head.data() + 4, static_cast<std::uint32_t>(count));
        bytes.append(head);
        fill(bytes.grow(static_cast<std::size_t>(count) * recordLength));
        // One byte more than the records, so that a last record ending in the
        // end-of-file byte is not taken for records put out of place.
        bytes.append(std::string_view(&kEndOfFile, 1));
        Table::Impl::Setup s;
        s.layout = parseTableHeader(bytes, displayPath(path));
        bytes.resize(bytes.size() - 1);
        s.bytes = std::move(bytes);
        s.name = name;
        s.folder = path.parent_path();
        s.path = path;
        s.readOnly = true;
        return Table(std::make_unique<Table::Impl>(std::move(s)));
    }
};

TableScan::TableScan(std::unique_ptr<State> state) : s_(std::move(state)) {}
TableScan::TableScan(TableScan&&) noexcept = default;
TableScan& TableScan::operator=(TableScan&&) noexcept = default;
TableScan::~TableScan() = default;

TableScan TableScan::over(const LockedFile& file, std::optional<LockedFile> owned, std::filesystem::path path,
                          std::string name) {
    auto s = std::make_unique<State>();
    s->owned = std::move(owned);
    s->file = s->owned ? &*s->owned : &file;
    s->path = std::move(path);
    s->name = std::move(name);
    char fixed[kFixedHeader];
    const std::size_t got = s->file->readAt(0, fixed, kFixedHeader);
    if (got < kFixedHeader) throw s->damaged(msg::cause::headerIncomplete(got));
    const std::string_view f(fixed, kFixedHeader);
    s->records = le::get32(f, 4);
    const std::size_t headerLength = le::get16(f, 8);
    s->recordLength = std::max<std::size_t>(le::get16(f, 10), 1);
    s->header.resize(std::max(headerLength, kFixedHeader));
    const std::size_t read = s->file->readAt(0, s->header.data(), s->header.size());
    if (read < s->header.size()) throw s->damaged(msg::cause::headerBeyondFile(headerLength, read));
    // The header checked as a whole table's is, with no records yet.
    s->block = s->tableOf(0, [](char*) {});
    return TableScan(std::move(s));
}

bool TableScan::load() {
    State& s = *s_;
    const std::uint64_t count = std::min<std::uint64_t>(std::max<std::size_t>(kBlock / s.recordLength, 1), s.records - s.loaded);
    if (count == 0) return false;
    if (s.block) s.spare = s.block->impl_->releaseBytes();
    s.block.reset();
    const std::uint64_t from = s.header.size() + s.loaded * s.recordLength;
    s.block = s.tableOf(count, [&](char* into) {
        const std::size_t want = static_cast<std::size_t>(count) * s.recordLength;
        const std::size_t got = s.file->readAt(from, into, want);
        if (got < want) throw s.damaged(msg::cause::recordsBeyondFile(s.records, s.recordLength, from + got));
    });
    s.loaded += count;
    return true;
}

bool TableScan::next() {
    State& s = *s_;
    if (s.started && s.block) {
        s.block->next();
        if (!s.block->eof()) return true;
    }
    s.started = true;
    while (load()) {
        s.block->first();
        if (!s.block->eof()) return true;
    }
    return false;
}

void TableScan::rewind() {
    s_->loaded = 0;
    s_->started = false;
}

std::uint64_t TableScan::declaredRecords() const noexcept { return s_->records; }

const Table& TableScan::table() const noexcept { return *s_->block; }

}  // namespace tht
