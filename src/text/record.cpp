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
// Nearly every line differs from the tag in its first character that is not
// a space, so the columns are compared before anything is trimmed: the tag,
// after the leading spaces, and then spaces only to the end of the columns.
template <class Char>
bool isDataLineOf(std::basic_string_view<Char> line, std::u32string_view tag) {
    if (!line.empty() && (line[0] == Char('0') || line[0] == Char('9'))) return false;
    if (tag.empty() || tag.front() == U' ' || tag.back() == U' ')  // what trimmed columns never equal
        return !tag.empty() || !trimmedView(sliceOf(line, 2, 50)).empty();
    const std::basic_string_view<Char> columns = sliceOf(line, 2, 50);
    std::size_t at = 0;
    while (at < columns.size() && columns[at] == Char(' ')) ++at;
    if (columns.size() - at < tag.size()) return true;
    for (std::size_t i = 0; i < tag.size(); ++i)
        if (static_cast<char32_t>(ascii::upper(columns[at + i])) != tag[i]) return true;
    return !trimmedView(columns.substr(at + tag.size())).empty();
}

}  // namespace

std::u32string_view rawSlice(std::u32string_view line, std::size_t column, std::size_t width) {
    return sliceOf(line, column, width);
}


bool isDataLine(std::string_view line, std::u32string_view tag) { return isDataLineOf(line, tag); }

}  // namespace tht
