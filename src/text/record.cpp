#include "text/record.h"

#include "base/ascii.h"
#include "text/trim.h"

namespace tht {

std::u32string_view rawSlice(std::u32string_view line, std::size_t column, std::size_t width) {
    if (column == 0 || column > line.size()) return {};
    return line.substr(column - 1, width);
}

std::u32string slice(std::u32string_view line, std::size_t column, std::size_t width) {
    return std::u32string(trimmedView(rawSlice(line, column, width)));
}

std::u32string_view Column::view(std::u32string_view line) const { return trimmedView(rawSlice(line, first, width)); }

bool isDataLine(std::u32string_view line, std::u32string_view tag) {
    if (!line.empty() && (line[0] == U'0' || line[0] == U'9')) return false;
    const std::u32string_view candidate = trimmedView(rawSlice(line, 2, 50));
    if (candidate.size() != tag.size()) return true;
    for (std::size_t i = 0; i < tag.size(); ++i)
        if (ascii::upper(candidate[i]) != tag[i]) return true;
    return false;
}

}  // namespace tht
