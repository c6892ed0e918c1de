#pragma once
// The shape of a dBase table as its header declares it: where the records
// start, how long each is, and where each field sits inside a record.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/table.h"

namespace tht {

// The family a version byte belongs to decides how some type letters are
// encoded (an I of dBase 7 is not the I of Visual FoxPro).
enum class Dialect { Classic, DBase7, VisualFoxPro };

struct FieldLayout {
    std::string name;        // as stored, without padding
    char type = 'C';         // the type letter, upper case
    std::size_t width = 0;   // bytes in the record
    int decimals = 0;
    std::size_t offset = 0;  // from the start of the record, after the flag byte
    bool hidden = false;     // Visual FoxPro's null flags: never shown to callers
};

struct TableLayout {
    std::uint8_t version = 0x03;
    Dialect dialect = Dialect::Classic;
    std::size_t headerLength = 0;
    std::size_t recordLength = 1;
    std::uint64_t recordCount = 0;  // as the header declares it
    std::vector<FieldLayout> fields;
    std::string codePageName;  // an ICU converter name
};

// Reads and checks the header at the start of a whole table file. Every
// declared size is checked against the real size of `file` before it is
// trusted. Throws Error(TableDamaged) naming `displayPath` and the cause.
TableLayout parseTableHeader(std::string_view file, const std::string& displayPath);

// The header of a new, empty table at the given level, with its fields laid
// out in order. Throws std::invalid_argument for field lists no dBase table
// can hold (empty or over-long names, widths out of range, duplicates).
struct NewTable {
    TableLayout layout;
    std::string header;  // headerLength bytes, record count 0
};
NewTable buildTableHeader(const std::vector<FieldDef>& fields, TableLevel level);

// The text Table::recordShape gives for this layout.
std::string recordShape(const TableLayout& layout);

// Sets the record count and the date of last update in a header already in place.
void stampTableHeader(char* header, std::uint64_t recordCount, int year, int month, int day);

}  // namespace tht
