#pragma once
// What can go wrong with one of Horalina's tables.
#include "platform/error.h"

namespace tht {

enum class TableError {
    FolderMissing,    // file, cause: the folder where tables are made
    Missing,          // table: path of the table file
    InUse,            // table: name of the table
    Damaged,          // table, cause
    FieldMissing,     // table, field
    FieldValue,       // table, record, field, value: a stored value that does not convert
    ValueTooWide,     // table, field, value (and the file and line it came from, when known)
    FieldUnwritable,  // table, field, value: the type letter of a field we only read
    ReadOnly,         // table: a change to a table opened read-only
};
std::string describe(TableError kind, const ErrorContext& c);

}  // namespace tht
