#include "text/record.h"

#include "base/ascii.h"
#include "text/trim.h"

namespace tht {

namespace {

template <class Char>
std::basic_string_view<Char> sliceOf(std::basic_string_view<Char> line, std::size_t column, std::size_t width) {
    if (column == 0 || column > line.size()) return {};
    return line.substr(column - 1, width);
}

// Both kinds of line are tested alike: title and trailer lines by their first
// character, tag lines by columns 2-51 with a-z raised.
template <class Char>
bool isDataLineOf(std::basic_string_view<Char> line, std::u32string_view tag) {
    if (!line.empty() && (line[0] == Char('0') || line[0] == Char('9'))) return false;
    const std::basic_string_view<Char> candidate = trimmedView(sliceOf(line, 2, 50));
    if (candidate.size() != tag.size()) return true;
    for (std::size_t i = 0; i < tag.size(); ++i)
        if (static_cast<char32_t>(ascii::upper(candidate[i])) != tag[i]) return true;
    return false;
}

}  // namespace

std::u32string_view rawSlice(std::u32string_view line, std::size_t column, std::size_t width) {
    return sliceOf(line, column, width);
}

std::string_view rawSlice(std::string_view line, std::size_t column, std::size_t width) {
    return sliceOf(line, column, width);
}

std::u32string slice(std::u32string_view line, std::size_t column, std::size_t width) {
    return std::u32string(trimmedView(rawSlice(line, column, width)));
}

std::u32string_view Column::view(std::u32string_view line) const { return trimmedView(rawSlice(line, first, width)); }

ByteText Column::view(ByteText line) const { return {trimmedView(rawSlice(line.bytes, first, width)), line.map}; }

bool isDataLine(std::u32string_view line, std::u32string_view tag) { return isDataLineOf(line, tag); }

bool isDataLine(std::string_view line, std::u32string_view tag) { return isDataLineOf(line, tag); }

}  // namespace tht
