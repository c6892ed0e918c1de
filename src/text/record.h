#pragma once
// Data lines and fixed-column slices of TUXA files. Columns are 1-based and
// count decoded characters; on a line held as the bytes of a single-byte code
// page they count bytes, which is the same.
#include <cstddef>
#include <string>
#include <string_view>

#include "charset/byte_map.h"
#include "text/trim.h"

namespace tht {

// Whether a line is a data line: not a title or trailer line (first character
// "0" or "9"), and not a line whose columns 2-51, trimmed and with a-z raised,
// equal the file's tag.
bool isDataLine(std::u32string_view line, std::u32string_view tag);
// The same on the bytes of a single-byte code page whose printable ASCII is
// ASCII; the tag is ASCII there, as every TUXA tag is.
bool isDataLine(std::string_view line, std::u32string_view tag);

// Columns column .. column + width - 1, cut at the end of the line, untrimmed.
std::u32string_view rawSlice(std::u32string_view line, std::size_t column, std::size_t width);
inline std::string_view rawSlice(std::string_view line, std::size_t column, std::size_t width) {
    if (column == 0 || column > line.size()) return {};
    return line.substr(column - 1, width);
}

// A field: the raw slice passed through AllTrim.
std::u32string slice(std::u32string_view line, std::size_t column, std::size_t width);

// One column of a TUXA file's layout, declared once beside the step that reads it.
struct Column {
    std::size_t first;  // 1-based
    std::size_t width;
    std::u32string operator()(std::u32string_view line) const { return slice(line, first, width); }
    // The same field without a copy, valid while the line is.
    std::u32string_view view(std::u32string_view line) const;

    // On a line of bytes: the field decoded, and the field as bytes.
    std::u32string operator()(const ByteText& line) const { return view(line).decoded(); }
    ByteText view(const ByteText& line) const {  // in the header: it is most of a step's work per line
        return {trimmedView(rawSlice(line.bytes, first, width)), line.map};
    }
};

}  // namespace tht
