#include "store/table_error.h"

#include "base/messages.h"

namespace tht {

std::string describe(TableError kind, const ErrorContext& c) {
    switch (kind) {
    case TableError::FolderMissing: return msg::tablesFolderMissing(c.file, c.cause);
    case TableError::Missing: return msg::tableMissing(c.table);
    case TableError::InUse: return msg::tableInUse(c.table);
    case TableError::Damaged: return msg::tableDamaged(c.table, c.cause);
    case TableError::FieldMissing: return msg::fieldMissing(c.table, c.field);
    case TableError::FieldValue: return msg::fieldValue(c.table, c.record, c.field, c.value);
    case TableError::ValueTooWide: return msg::valueTooWide(c.table, c.field, c.value, c.file, c.line);
    case TableError::FieldUnwritable: return msg::fieldUnwritable(c.table, c.field, c.value);
    case TableError::ReadOnly: return msg::tableReadOnly(c.table);
    }
    return msg::internalError(c.cause);
}

}  // namespace tht
