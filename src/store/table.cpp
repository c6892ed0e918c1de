// Records, cursor and fields of an open table, in memory but for the records
// a new table has written out.
#include <cstring>
#include <stdexcept>

#include "store/table_error.h"
#include "base/ascii.h"
#include "charset/unicode.h"
#include "platform/code_pages.h"
#include "store/decimal_text.h"
#include "store/table_impl.h"

namespace tht {
namespace {

constexpr char kDeleted = '*';
constexpr char kLive = ' ';
// The header's record count is 32 bits; our slots number records in 32 bits too.
constexpr std::uint64_t kMaxRecords = 0xFFFFFFFEull;
// How many bytes of records a new table holds before it writes them out:
// small enough to stay in the processor's cache, large enough that the
// writes cost little.
constexpr std::size_t kWriteOutAt = std::size_t{1} << 18;

// A written value as an error message gives it.
std::string valueText(const WriteValue& v) {
    switch (v.kind) {
    case WriteValue::Kind::Text: return toUtf8(windows1252().decode(v.text));
    case WriteValue::Kind::Integer: return std::to_string(v.integer);
    case WriteValue::Kind::Real: {
        std::string t;
        appendShortestText(v.real, t);
        return t;
    }
    case WriteValue::Kind::Boolean: return v.boolean ? "T" : "F";
    }
    return {};
}

}  // namespace

Table::Impl::Impl(Setup s)
    : name_(std::move(s.name)),
      folder_(std::move(s.folder)),
      path_(std::move(s.path)),
      displayPath_(displayPath(path_)),
      created_(s.created),
      clock_(std::move(s.clock)),
      batch_(s.batch),
      readOnly_(s.readOnly),
      locks_(std::move(s.locks)),
      layout_(std::move(s.layout)),
      bytes_(std::move(s.bytes)),
      count_(layout_.recordCount),
      mayWriteOut_(false) {
    if (layout_.codePageName != windows1252().name()) foreignPage_ = openCodePage(layout_.codePageName);
    blankRecord_.assign(layout_.recordLength, ' ');
    codecs_.reserve(layout_.fields.size());
    for (const FieldLayout& f : layout_.fields) {
        if (!f.hidden) visible_.push_back(codecs_.size());
        codecs_.push_back(&fieldCodec(f.type, layout_.dialect));
        std::memset(blankRecord_.data() + f.offset, codecs_.back()->blank, f.width);
    }
    blankRecord_[0] = kLive;
    for (std::uint64_t i = 0; i < count_; ++i)
        if (record(i)[0] != kDeleted) ++live_;
    first();
    mayWriteOut_ = created_;  // a walk from here on reads back what was written out
}

// ---- records and cursor ---------------------------------------------------------

std::string_view Table::Impl::record(std::uint64_t i) const noexcept {
    return std::string_view(bytes_).substr(layout_.headerLength + (i - outRecords_) * layout_.recordLength,
                                           layout_.recordLength);
}

char* Table::Impl::recordData(std::uint64_t i) noexcept {
    return bytes_.data() + layout_.headerLength + (i - outRecords_) * layout_.recordLength;
}

void Table::Impl::writeOutRecords() {
    const std::size_t header = layout_.headerLength;
    const std::size_t length = layout_.recordLength;
    if (!out_) {
        out_.emplace(path_);
        out_->write(std::string_view(bytes_).substr(0, header));  // completed when the table is closed
    }
    const std::size_t held = bytes_.size() - header - length;
    out_->write(std::string_view(bytes_).substr(header, held));
    std::memmove(bytes_.data() + header, bytes_.data() + header + held, length);
    bytes_.resize(header + length);
    outRecords_ = count_ - 1;
}

void Table::Impl::holdAllRecords() {
    mayWriteOut_ = false;
    if (!out_) return;
    ByteBuffer all = out_->readBack();
    all.append(std::string_view(bytes_).substr(layout_.headerLength));
    bytes_ = std::move(all);
    out_.reset();  // removes its file: the table is written whole when closed
    outRecords_ = 0;
}

std::optional<std::uint64_t> Table::Impl::liveFrom(std::uint64_t i) const noexcept {
    for (; i < count_; ++i)
        if (record(i)[0] != kDeleted) return i;
    return std::nullopt;
}

std::string_view Table::Impl::currentBytes() const noexcept {
    switch (pending_) {
    case Pending::Append: return record(count_);
    case Pending::Edit: return buffer_;
    case Pending::None: break;
    }
    if (hasCurrent_) return record(current_);
    return {};
}

std::int64_t Table::Impl::recordNumber() const noexcept {
    if (pending_ == Pending::Append) return static_cast<std::int64_t>(count_ + 1);
    return hasCurrent_ ? static_cast<std::int64_t>(current_ + 1) : 0;
}

void Table::Impl::requireOpen() const {
    if (!open_) throw std::logic_error("table " + name_ + " is closed");
}

void Table::Impl::requireWritable() const {
    requireOpen();
    if (readOnly_) throw Error(TableError::ReadOnly, {.table = displayPath_});
}

void Table::Impl::settle() {
    if (pending_ == Pending::None) return;
    if (modified_) post();
    else cancel();
}

void Table::Impl::first() {
    requireOpen();
    settle();
    holdAllRecords();
    const auto i = liveFrom(0);
    hasCurrent_ = i.has_value();
    current_ = i.value_or(0);
    eof_ = !hasCurrent_;
}

void Table::Impl::next() {
    requireOpen();
    settle();
    holdAllRecords();
    if (!hasCurrent_) {
        eof_ = true;
        return;
    }
    if (const auto i = liveFrom(current_ + 1)) {
        current_ = *i;
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void Table::Impl::append() {
    requireWritable();
    settle();
    if (count_ >= kMaxRecords) throw std::length_error("table " + name_ + " is full");
    savedCurrent_ = current_;
    savedHasCurrent_ = hasCurrent_;
    savedEof_ = eof_;
    // Built in place after the last record, which post() then only counts.
    bytes_.append(blankRecord_);  // grows geometrically: amortised O(1)
    pending_ = Pending::Append;
    modified_ = false;
    eof_ = false;
}

void Table::Impl::edit() {
    requireWritable();
    settle();
    holdAllRecords();
    if (!hasCurrent_) throw std::logic_error("table " + name_ + " has no current record to edit");
    buffer_.assign(record(current_));
    pending_ = Pending::Edit;
    modified_ = false;
}

void Table::Impl::post() {
    requireOpen();
    switch (pending_) {
    case Pending::None:
        throw std::logic_error("table " + name_ + ": post without append or edit");
    case Pending::Append:
        current_ = count_++;
        ++live_;
        hasCurrent_ = true;
        eof_ = false;
        changed_ = true;
        if (mayWriteOut_ && bytes_.size() - layout_.headerLength >= kWriteOutAt + layout_.recordLength) writeOutRecords();
        break;
    case Pending::Edit:
        if (modified_) {
            std::memcpy(recordData(current_), buffer_.data(), buffer_.size());
            changed_ = true;
        }
        break;
    }
    pending_ = Pending::None;
    modified_ = false;
}

void Table::Impl::cancel() {
    requireOpen();
    if (pending_ == Pending::Append) {
        bytes_.resize(bytes_.size() - layout_.recordLength);
        current_ = savedCurrent_;
        hasCurrent_ = savedHasCurrent_;
        eof_ = savedEof_;
    }
    pending_ = Pending::None;
    modified_ = false;
}

// ---- fields ------------------------------------------------------------------------

FieldId Table::Impl::field(std::string_view name) const {
    for (std::size_t i = 0; i < visible_.size(); ++i)
        if (ascii::equalsIgnoreCase<char>(layout_.fields[visible_[i]].name, name)) return FieldId{i};
    throw Error(TableError::FieldMissing, {.table = displayPath_, .field = std::string(name)});
}

std::size_t Table::Impl::layoutIndex(FieldId f) const {
    if (f.index >= visible_.size())
        throw std::out_of_range("table " + name_ + " has no field number " + std::to_string(f.index));
    return visible_[f.index];
}

const std::string& Table::Impl::fieldName(std::size_t index) const {
    return layout_.fields[layoutIndex(FieldId{index})].name;
}

const Cell& Table::Impl::decode(std::size_t field) const {
    requireOpen();
    const FieldLayout& layout = layout_.fields[field];
    const std::string_view rec = currentBytes();
    cell_.kind = Cell::Kind::Blank;
    if (!rec.empty()) codecs_[field]->decode(layout, rec.substr(layout.offset, layout.width), cell_);
    return cell_;
}

void Table::Impl::throwUnreadable(const FieldLayout& f, const Cell& cell) const {
    std::string value;
    if (cell.kind == Cell::Kind::Text || cell.kind == Cell::Kind::Number || cell.kind == Cell::Kind::Unreadable) {
        value = toUtf8((foreignPage_ ? *foreignPage_ : windows1252()).decode(cell.bytes));
    } else {
        cellToText(cell, nullptr, value);  // a number: ASCII
    }
    throw Error(TableError::FieldValue,
                {.table = displayPath_, .record = recordNumber(), .field = f.name, .value = std::move(value)});
}

void Table::Impl::readText(FieldId f, std::string& out) const {
    const std::size_t i = layoutIndex(f);
    const Cell& cell = decode(i);
    if (!cellToText(cell, foreignPage(), out)) throwUnreadable(layout_.fields[i], cell);
}

std::int64_t Table::Impl::readInteger(FieldId f) const {
    const std::size_t i = layoutIndex(f);
    const Cell& cell = decode(i);
    std::int64_t v = 0;
    if (!cellToInteger(cell, v)) throwUnreadable(layout_.fields[i], cell);
    return v;
}

double Table::Impl::readReal(FieldId f) const {
    const std::size_t i = layoutIndex(f);
    const Cell& cell = decode(i);
    double v = 0;
    if (!cellToReal(cell, v)) throwUnreadable(layout_.fields[i], cell);
    return v;
}

bool Table::Impl::readBoolean(FieldId f) const {
    const std::size_t i = layoutIndex(f);
    const Cell& cell = decode(i);
    bool v = false;
    if (!cellToBoolean(cell, v)) throwUnreadable(layout_.fields[i], cell);
    return v;
}

char* Table::Impl::pendingField(const FieldLayout& f) {
    if (pending_ == Pending::None)
        throw std::logic_error("table " + name_ + ": field " + f.name + " written without append or edit");
    return (pending_ == Pending::Append ? recordData(count_) : buffer_.data()) + f.offset;
}

void Table::Impl::write(FieldId f, const WriteValue& value) {
    requireWritable();
    const std::size_t i = layoutIndex(f);
    const FieldLayout& layout = layout_.fields[i];
    const WriteResult r = codecs_[i]->encode(layout, value, foreignPage(), scratch_, pendingField(layout));
    switch (r) {
    case WriteResult::Ok:
        modified_ = true;
        return;
    case WriteResult::TooWide:
        throw Error(TableError::ValueTooWide, {.table = displayPath_, .field = layout.name, .value = valueText(value)});
    case WriteResult::NotConvertible:
        throw Error(TableError::FieldValue, {.table = displayPath_, .record = recordNumber(), .field = layout.name,
                                            .value = valueText(value)});
    case WriteResult::Unsupported:
        throw Error(TableError::FieldUnwritable,
                    {.table = displayPath_, .field = layout.name, .value = std::string(1, layout.type)});
    }
}

// ---- Table -------------------------------------------------------------------------

Table::Table(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Table::Table(Table&&) noexcept = default;
Table& Table::operator=(Table&&) noexcept = default;
Table::~Table() = default;

void Table::close() { impl_->close(); }
std::vector<LockedFile> Table::closeKeepingLocks() { return impl_->closeKeepingLocks(); }
const std::string& Table::name() const noexcept { return impl_->name(); }
const std::filesystem::path& Table::path() const noexcept { return impl_->path(); }
void Table::first() { impl_->first(); }
void Table::next() { impl_->next(); }
bool Table::eof() const noexcept { return impl_->eof(); }
std::int64_t Table::recordCount() const noexcept { return impl_->liveCount(); }
std::int64_t Table::recordNumber() const noexcept { return impl_->recordNumber(); }
void Table::append() { impl_->append(); }
void Table::edit() { impl_->edit(); }
void Table::post() { impl_->post(); }
void Table::cancel() { impl_->cancel(); }
FieldId Table::field(std::string_view name) const { return impl_->field(name); }
std::size_t Table::fieldCount() const noexcept { return impl_->fieldCount(); }
const std::string& Table::fieldName(std::size_t index) const { return impl_->fieldName(index); }
std::string Table::recordShape() const { return tht::recordShape(impl_->layout()); }
std::string Table::recordShape(const std::vector<FieldDef>& fields, TableLevel level) {
    return tht::recordShape(buildTableHeader(fields, level).layout);
}
std::string_view Table::recordBytes() const noexcept { return impl_->recordBytes(); }

std::string Table::readString(FieldId f) const {
    std::string out;
    impl_->readText(f, out);
    return out;
}
void Table::readString(FieldId f, std::string& out) const { impl_->readText(f, out); }
std::int64_t Table::readInteger(FieldId f) const { return impl_->readInteger(f); }
double Table::readFloat(FieldId f) const { return impl_->readReal(f); }
bool Table::readBoolean(FieldId f) const { return impl_->readBoolean(f); }

void Table::writeString(FieldId f, std::string_view text) {
    impl_->write(f, WriteValue{.kind = WriteValue::Kind::Text, .text = text});
}
void Table::writeInteger(FieldId f, std::int64_t v) {
    impl_->write(f, WriteValue{.kind = WriteValue::Kind::Integer, .integer = v});
}
void Table::writeFloat(FieldId f, double v) { impl_->write(f, WriteValue{.kind = WriteValue::Kind::Real, .real = v}); }
void Table::writeBoolean(FieldId f, bool v) {
    impl_->write(f, WriteValue{.kind = WriteValue::Kind::Boolean, .boolean = v});
}

}  // namespace tht
