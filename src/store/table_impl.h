#pragma once
// The state of an open table: its bytes in memory (header, then the records
// back to back), the cursor, a pending Append or Edit and the locks that
// keep other programs out.
//
// A new table that is only appended to writes its records out to its
// temporary file as they come, 256 KiB at a time, keeping just the last
// one in memory: a table of any size then costs no more memory than that.
// The first walk or edit reads them back in, and from then on the table is
// held whole.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/byte_buffer.h"
#include "charset/codepage.h"
#include "platform/files.h"
#include "platform/locked_file.h"
#include "store/field_codec.h"
#include "store/table.h"
#include "store/table_layout.h"

namespace tht {

class Table::Impl final {
public:
    struct Setup {
        std::string name;        // upper case, without ".DBF"
        fs::path folder;
        fs::path path;           // of the table file
        bool created = false;
        Clock clock = systemLocalTime;  // dates the header when the table is written
        TableBatch* batch = nullptr;    // the unit whose commit gives the new table its name
        bool readOnly = false;
        std::vector<LockedFile> locks;
        TableLayout layout;
        ByteBuffer bytes;        // header, then exactly recordCount records
    };
    explicit Impl(Setup setup);

    // ---- table_file.cpp: the file on disk
    void close();
    std::vector<LockedFile> closeKeepingLocks();

    // ---- table.cpp: records, cursor and fields
    void first();
    void next();
    bool eof() const noexcept { return eof_; }
    std::int64_t liveCount() const noexcept { return static_cast<std::int64_t>(live_); }
    std::int64_t recordNumber() const noexcept;

    void append();
    void edit();
    void post();
    void cancel();

    FieldId field(std::string_view name) const;
    std::size_t fieldCount() const noexcept { return visible_.size(); }
    const std::string& fieldName(std::size_t index) const;
    const TableLayout& layout() const noexcept { return layout_; }
    // The records' memory, for a reader that fills it again; the table is done with.
    ByteBuffer releaseBytes() noexcept { return std::move(bytes_); }
    std::string_view recordBytes() const noexcept {
        const std::string_view rec = currentBytes();
        return rec.empty() ? rec : rec.substr(1);
    }

    void readText(FieldId f, std::string& out) const;
    std::int64_t readInteger(FieldId f) const;
    double readReal(FieldId f) const;
    bool readBoolean(FieldId f) const;
    void write(FieldId f, const WriteValue& value);

    const std::string& name() const noexcept { return name_; }
    const fs::path& path() const noexcept { return path_; }

private:
    enum class Pending { None, Append, Edit };

    std::string_view record(std::uint64_t i) const noexcept;
    char* recordData(std::uint64_t i) noexcept;
    // The bytes reads see: the record being appended or edited, else the
    // current record; empty when there is none. A record being appended is
    // the one after the last, in bytes_.
    std::string_view currentBytes() const noexcept;
    std::size_t layoutIndex(FieldId f) const;  // throws std::out_of_range
    char* pendingField(const FieldLayout& f);   // where a write of the field goes
    const Cell& decode(std::size_t field) const;
    std::optional<std::uint64_t> liveFrom(std::uint64_t i) const noexcept;
    void settle();  // what first() and next() do with a pending change
    void writeOutRecords();  // all but the last record, to out_
    void holdAllRecords();   // reads back what writeOutRecords() wrote; no more is written out
    void requireOpen() const;
    void requireWritable() const;
    const CodePage* foreignPage() const noexcept { return foreignPage_ ? &*foreignPage_ : nullptr; }
    [[noreturn]] void throwUnreadable(const FieldLayout& f, const Cell& cell) const;
    void writeFile();

    std::string name_;
    fs::path folder_;
    fs::path path_;
    std::string displayPath_;
    bool created_;
    Clock clock_;
    TableBatch* batch_;
    bool readOnly_;
    bool open_ = true;
    bool changed_ = false;
    std::vector<LockedFile> locks_;

    TableLayout layout_;
    std::vector<const FieldCodec*> codecs_;  // per field, looked up once
    std::vector<std::size_t> visible_;       // FieldId index -> field of the layout
    std::string blankRecord_;
    // The table's code page when it is not the tables' page (windows-1252):
    // its text is converted where it is read and written.
    std::optional<CodePage> foreignPage_;
    ByteBuffer bytes_;         // the header, then records outRecords_ .. count_ - 1 and one being appended
    std::uint64_t count_ = 0;  // records of the table
    std::optional<AtomicFile> out_;  // the new table's file, once records have been written out
    std::uint64_t outRecords_ = 0;   // records in out_ and not in bytes_
    bool mayWriteOut_;               // a new table not yet walked or edited
    std::uint64_t live_ = 0;   // of which not deleted

    // Cursor: current_ is meaningful when hasCurrent_; after Next from the
    // last record eof_ is true and the last record stays current.
    std::uint64_t current_ = 0;
    bool hasCurrent_ = false;
    bool eof_ = true;

    Pending pending_ = Pending::None;
    bool modified_ = false;
    std::string buffer_;  // the record being edited
    std::uint64_t savedCurrent_ = 0;
    bool savedHasCurrent_ = false;
    bool savedEof_ = true;

    mutable Cell cell_;
    std::string scratch_;
};

}  // namespace tht
