#pragma once
// Horalina's tables: our own dBase engine. A Table is an open table; it is
// made by Table::open or Table::create and is closed by close() or, without
// keeping anything unsaved, by its destructor.
//
// Nothing reaches NAME.DBF before close(): the records live in memory, or,
// for a new table only appended to so far, partly in a temporary file in the
// same folder, and close() completes that file, which then takes the table's
// name. A table destroyed without close() (an exception unwinding through a
// step) removes its temporary file and leaves the files on disk exactly as
// they were.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/locked_file.h"
#include "store/table_error.h"

namespace tht {

enum class FieldType { String, Integer, Float, Boolean };

// A field of a table to create; width is read for strings only.
struct FieldDef {
    std::string name;
    FieldType type;
    int width = 0;
};

enum class Access { Shared, Exclusive };

class TableBatch;

// The dBase level of a created table. Horalina's tables are DBase4 (version
// byte 0x03; integer N(11,0), float N(20,4)); DBase7 writes the 68-byte
// header, integer I and float O, as other programs do, for tests that need
// such tables.
enum class TableLevel { DBase4, DBase7 };

// A field resolved once by name, then used for every record.
struct FieldId {
    std::size_t index;
};

class Table {
public:
    // Opens an existing table: folder, name with or without ".DBF", found
    // without regard to letter case. Exclusive use holds an operating-system
    // lock until close. Throws Error: TableMissing, TableInUse, TableDamaged.
    static Table open(const std::filesystem::path& folder, std::string_view name, Access access,
                      bool readOnly = false);

    // A new, empty, open table with exactly these fields in this order. It
    // replaces NAME.DBF (upper-case name) and removes NAME.MDX (any letter
    // case) only when close() ends normally. Throws TableInUse when another
    // program holds the old table.
    // The header's date of last update is the clock's date when close() writes it.
    static Table create(const std::filesystem::path& folder, std::string_view name,
                        const std::vector<FieldDef>& fields, TableLevel level = TableLevel::DBase4,
                        Clock clock = systemLocalTime);

    Table(Table&&) noexcept;
    Table& operator=(Table&&) noexcept;
    ~Table();

    // Drops an unposted Append or Edit, writes the table if it was created or
    // changed, releases the lock. Throws Error(FileUnwritable) when writing fails.
    void close();
    // close() that hands the table's locks to the caller and gives its
    // records' memory back: for a reader that has taken what it needs and
    // keeps other programs out until it is done. A table created or changed
    // is written as close() writes it, and then nothing stays locked.
    std::vector<LockedFile> closeKeepingLocks();

    // The table's name as messages give it, e.g. "SOLUC".
    const std::string& name() const noexcept;
    const std::filesystem::path& path() const noexcept;

    // Stored order. first() and next() post a pending change first.
    void first();
    void next();
    bool eof() const noexcept;
    std::int64_t recordCount() const noexcept;   // records a walk visits (deleted ones are not)
    std::int64_t recordNumber() const noexcept;  // 1-based place in the file; 0 when there is none

    void append();  // a new blank record after the last, current, to be posted
    void edit();    // the current record, to be posted
    void post();
    void cancel();

    FieldId field(std::string_view name) const;  // throws Error(FieldMissing)
    // The fields a caller sees, in stored order: FieldId{i} for i below the
    // count (Visual FoxPro's hidden null flags are not among them).
    std::size_t fieldCount() const noexcept;
    const std::string& fieldName(std::size_t index) const;  // throws std::out_of_range

    // How a record is stored: the dialect, the code page and each field's
    // name, type, width, decimals and place. Records of two tables of one
    // shape hold the same values when their bytes are the same, so a caller
    // comparing whole tables compares bytes instead of reading every field.
    std::string recordShape() const;
    // The shape of the records of a table created with these fields.
    static std::string recordShape(const std::vector<FieldDef>& fields, TableLevel level);
    // The current record as stored, without its deletion flag; empty when
    // there is none. It lasts until the cursor moves or the table changes.
    std::string_view recordBytes() const noexcept;

    // Reads of the current record. Text is text of the tables' page
    // (windows-1252), the one form the program works in: a text field of a
    // table in that page reads as its stored bytes without trailing blanks;
    // a table in another page is converted, "?" for a character the tables'
    // page cannot hold. A number read as string gives its decimal digits
    // ("3", "4.5"); a blank number reads as 0 (as string: empty); a boolean
    // reads as "T" or "F", a date as "YYYYMMDD". An integer read of a text
    // field parses it; one of a number with decimals takes whole values only.
    // Throws Error(FieldValue) naming the record, field and value.
    std::string readString(FieldId f) const;
    void readString(FieldId f, std::string& out) const;  // into a buffer reused across records
    std::int64_t readInteger(FieldId f) const;
    double readFloat(FieldId f) const;
    bool readBoolean(FieldId f) const;

    // Writes into the record being appended or edited. Text is text of the
    // tables' page (windows-1252): into a text field of a table in that page
    // it goes byte for byte as it is given, into a table in another page as
    // that page's bytes.
    // A string longer than the field keeps its first characters; a number
    // that does not fit its field throws Error(ValueTooWide); a string
    // written to a numeric field must be a number ("." as the separator) or
    // Error(FieldValue). Types we only read (memo, datetime) throw
    // Error(FieldUnwritable); a read-only table throws Error(TableReadOnly)
    // on append() and edit().
    void writeString(FieldId f, std::string_view text);
    void writeInteger(FieldId f, std::int64_t value);
    void writeFloat(FieldId f, double value);
    void writeBoolean(FieldId f, bool value);

    class Impl;

private:
    friend class TableBatch;
    friend class TableScan;
    explicit Table(std::unique_ptr<Impl> impl);
    static Table create(const std::filesystem::path& folder, std::string_view name,
                        const std::vector<FieldDef>& fields, TableLevel level, Clock clock, TableBatch* batch);
    std::unique_ptr<Impl> impl_;
};

}  // namespace tht
