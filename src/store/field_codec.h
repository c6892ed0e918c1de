#pragma once
// One codec per dBase type letter, in one table: each reads the bytes of its
// field liberally, as the writers we know store them, and writes one
// canonical form.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/cell.h"
#include "store/table_layout.h"

namespace tht {

class CodePage;

// A value a caller writes; exactly one member is meaningful, per kind.
struct WriteValue {
    enum class Kind { Text, Integer, Real, Boolean };
    Kind kind;
    std::string_view text{};  // in the tables' page (windows-1252)
    std::int64_t integer = 0;
    double real = 0;
    bool boolean = false;
};

enum class WriteResult { Ok, TooWide, NotConvertible, Unsupported };

struct FieldCodec {
    char type;
    std::size_t fixedWidth;  // 0 when any width is allowed
    char blank;              // every byte of a field never written: ' ' for text, 0 for binary
    void (*decode)(const FieldLayout& field, std::string_view bytes, Cell& out);
    // Fills all field.width bytes of `dst`, or leaves them as they were when
    // the result is not Ok. Text goes into a table in another page than the
    // tables' (`foreignPage`; null for one in the tables' page) as that
    // page's bytes. `scratch` saves an allocation per write.
    WriteResult (*encode)(const FieldLayout& field, const WriteValue& value, const CodePage* foreignPage,
                          std::string& scratch, char* dst);
};

// The codec of a type letter; the dialect tells the encodings of I, + and B
// apart. A letter we do not know is read as text and cannot be written.
const FieldCodec& fieldCodec(char type, Dialect dialect) noexcept;

}  // namespace tht
