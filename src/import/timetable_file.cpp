#include "import/timetable_file.h"

#include <cstdio>

#include "platform/atomic_file.h"
#include "platform/files.h"

namespace tht {
namespace {
constexpr std::u32string_view kTag = U"TUXA_HORARIO.TXT";

std::u32string frame(char32_t kind, std::u32string_view centre, const LocalDateTime& now) {
    std::u32string line(1, kind);
    appendPadded(line, kTag, 50);
    appendPadded(line, centre, 8);
    line += dateTimeText(now);
    return line;
}
}  // namespace

void appendPadded(std::u32string& line, std::u32string_view value, std::size_t width) {
    line += value;
    if (value.size() < width) line.append(width - value.size(), U' ');
}

std::u32string dateTimeText(const LocalDateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d%02d%04d%02d%02d", t.day, t.month, t.year, t.hour, t.minute);
    return std::u32string(buf, buf + std::char_traits<char>::length(buf));
}

std::u32string titleLine(std::u32string_view centre, const LocalDateTime& now) { return frame(U'0', centre, now); }

std::u32string detailLine(const DetailValues& v) {
    std::u32string line;
    detailLine(v, line);
    return line;
}

void detailLine(const DetailValues& v, std::u32string& line) {
    line.assign(1, U'1');
    for (const DetailColumn& column : kDetailColumns) appendPadded(line, v.*column.value, column.width);
    line += v.suffix;
}

std::u32string trailerLine(std::u32string_view centre, const LocalDateTime& now, std::int64_t detailLines) {
    std::u32string line = frame(U'9', centre, now);
    const std::string count = std::to_string(detailLines);
    line.append(count.begin(), count.end());
    return line;
}

TimetableText::TimetableText(const CodePage& codePage)
    : codePage_(&codePage), bytes_(codePage.isUtf8() ? "\xEF\xBB\xBF" : "") {}

void TimetableText::reserve(std::int64_t lines) {
    // A detail line is 55 characters and its suffix; UTF-8 may take more bytes, and then it grows.
    constexpr std::size_t kLineBytes = 64;
    if (lines > 0) bytes_.reserve(bytes_.size() + static_cast<std::size_t>(lines) * kLineBytes);
}

void TimetableText::add(std::u32string_view line) {
    line_.clear();
    codePage_->encodeAppend(line, line_);
    line_ += "\r\n";
    bytes_.append(line_);
    ++lines_;
}

void saveTimetable(const TimetableText& text, const std::string& dirTxt) {
    AtomicFile file(resolveEntry(pathFromUtf8(dirTxt), kTimetableFileName));
    file.write(text.bytes());
    file.commit();
}

}  // namespace tht
