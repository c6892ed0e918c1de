#pragma once
// What a field's bytes hold, and how that value reads as each of the four
// kinds a caller asks for. Every field type reads through these, so a number
// read as string, say, gives the same text whatever its type letter.
#include <cstdint>
#include <string>
#include <string_view>

namespace tht {

class CodePage;

// What a field's bytes hold, before a caller asks for a string, an integer, a
// float or a boolean. Views point into the record or into `own`, so a Cell
// is filled in place and never copied.
struct Cell {
    enum class Kind {
        Blank,       // nothing stored: reads as "" or 0
        Text,        // `bytes` in the table's code page
        Number,      // `bytes` is ASCII decimal text, not yet checked
        Integer,     // `integer`
        Real,        // `real`
        Currency,    // `integer` in units of 1/10000
        Boolean,     // `boolean`
        Unreadable,  // `bytes` cannot be read as anything
    };
    Kind kind = Kind::Blank;
    std::string_view bytes;
    std::int64_t integer = 0;
    double real = 0;
    bool boolean = false;
    char own[24] = {};

    Cell() = default;
    Cell(const Cell&) = delete;
    Cell& operator=(const Cell&) = delete;
};

// The value of a cell as a string, the way every read as string gives it:
// text of the tables' page (windows-1252). Text of a table in another page
// (`foreignPage`; null for a table in the tables' page) is converted, "?"
// for a character the tables' page cannot hold. False when the cell holds
// no value of its kind (text in a numeric field).
bool cellToText(const Cell& cell, const CodePage* foreignPage, std::string& out);
bool cellToInteger(const Cell& cell, std::int64_t& out) noexcept;
bool cellToReal(const Cell& cell, double& out) noexcept;
bool cellToBoolean(const Cell& cell, bool& out) noexcept;

}  // namespace tht
