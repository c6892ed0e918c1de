#pragma once
// The one exception type of the product: a closed list of kinds plus the
// context that names what failed. The Spanish text for the user is built from
// both in one place (error.cpp), so tests can check kind and context.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace tht {

enum class ErrorKind {
    FileUnreadable,    // file: a TUXA file or other input that exists but cannot be read
    FileUnwritable,    // file: an output that cannot be created, written or replaced
    FolderMissing,     // file: a folder that must exist
    CodePageUnknown,   // value: the name of the converter
    TableMissing,      // table: path of the table file
    TableInUse,        // table: name of the table
    TableDamaged,      // table, cause
    FieldMissing,      // table, field
    FieldValue,        // table, record, field, value: a stored value that does not convert
    ValueTooWide,      // table, field, value: a number that does not fit its field
    FieldUnwritable,   // table, field, value: the type letter of a field we only read
    TableReadOnly,     // table: a change to a table opened read-only
    NotANumber,        // file, line, value: the weekly hours of a course line
    NotATime,          // file, line, value: an hour or minute of a time slot
    IniUnwritable,     // file, cause
};

struct ErrorContext {
    std::string file{};  // a file's path, for file errors
    std::string table{}; // a table's path or name, for table errors
    std::int64_t line = 0;     // 1-based line of a text file, 0 when none
    std::int64_t record = 0;   // 1-based record of a table, 0 when none
    std::string field{};
    std::string value{};
    std::string cause{}; // what the operating system or the format check said
};

class Error : public std::runtime_error {
public:
    Error(ErrorKind kind, ErrorContext context);
    ErrorKind kind() const noexcept { return kind_; }
    const ErrorContext& context() const noexcept { return context_; }

private:
    ErrorKind kind_;
    ErrorContext context_;
};

// The text of the operating system's error number, in Spanish; an error we
// have no words for is named by its number.
std::string describeSystemError(int errnum);

// The cause given for a path that names something other than a file or a
// folder (a FIFO, a device, a socket): reading it may never end, replacing it
// would break what it is.
std::string notRegularFileCause();

}  // namespace tht
