#pragma once
// Data lines and fixed-column slices of TUXA files. Columns are 1-based and
// count characters; a line in the tables' single-byte page has one byte per
// character, so there they count bytes.
#include <cstddef>
#include <string>
#include <string_view>

#include "text/trim.h"

namespace tht {

// Whether a line of single-byte text (printable ASCII as ASCII) is a data
// line: not a title or trailer line (first character "0" or "9"), and not a
// line whose columns 2-51, trimmed and with a-z raised, equal the file's tag.
bool isDataLine(std::string_view line, std::u32string_view tag);

// Columns column .. column + width - 1, cut at the end of the line, untrimmed.
std::u32string_view rawSlice(std::u32string_view line, std::size_t column, std::size_t width);
inline std::string_view rawSlice(std::string_view line, std::size_t column, std::size_t width) {
    if (column == 0 || column > line.size()) return {};
    return line.substr(column - 1, width);
}

// One column of a TUXA file's layout, declared once beside the step that reads it.
struct Column {
    std::size_t first;  // 1-based
    std::size_t width;
    // The field of a line of single-byte text, trimmed, without a copy:
    // valid while the line is. In the header: it is most of a step's work per line.
    std::string_view operator()(std::string_view line) const {
        return trimmedView(rawSlice(line, first, width));
    }
};

}  // namespace tht
