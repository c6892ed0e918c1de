#pragma once
// "TUXA_HORARIO.TXT": a title line, one detail line per timetable entry and a
// trailer line, fixed columns padded with spaces and never cut.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/code_pages.h"
#include "run/horalina_tables.h"
#include "platform/byte_buffer.h"
#include "platform/clock.h"
#include "charset/codepage.h"

namespace tht {

inline constexpr std::string_view kTimetableFileName = "TUXA_HORARIO.TXT";

struct DetailValues {
    std::u32string slot, day, teacher, group, task, subject, room, suffix;
};

// The fixed columns of a detail line after its first character, in order:
// what fills each and how wide it is. The suffix follows them, unpadded.
struct DetailColumn {
    std::u32string DetailValues::*value;
    std::size_t width;
    std::string_view source;  // the field the value comes from, for warnings
};
inline constexpr DetailColumn kDetailColumns[] = {
    {&DetailValues::slot, 4, horalina::Diashorast::CODDIHO.name},
    {&DetailValues::day, 1, horalina::Soluc::DIA.name},
    {&DetailValues::teacher, 4, horalina::Soluc::PROF.name},
    {&DetailValues::group, 10, horalina::Soluc::CODGRUPO.name},
    {&DetailValues::task, 4, horalina::Asignomt::CODTAREA.name},
    {&DetailValues::subject, 20, horalina::Asignomt::CODTUXA.name},
    {&DetailValues::room, 10, horalina::Soluc::AULA.name},
};

// v followed by spaces up to width; a longer v is kept whole.
void appendPadded(std::u32string& line, std::u32string_view value, std::size_t width);
// "ddmmyyyyhhnn"
std::u32string dateTimeText(const LocalDateTime& t);

std::u32string titleLine(std::u32string_view centre, const LocalDateTime& now);
std::u32string detailLine(const DetailValues& v);
void detailLine(const DetailValues& v, std::u32string& out);  // into a buffer the caller reuses
std::u32string trailerLine(std::u32string_view centre, const LocalDateTime& now, std::int64_t detailLines);

// The file as it is gathered: each line encoded as it is added and followed
// by CR LF, behind the UTF-8 byte-order mark when the code page is UTF-8.
class TimetableText {
public:
    explicit TimetableText(const CodePage& codePage = systemCodePage());
    void add(std::u32string_view line);
    // Room for about this many more lines, so that a large file is not copied as it grows.
    void reserve(std::int64_t lines);
    std::int64_t lines() const noexcept { return lines_; }
    std::string_view bytes() const noexcept { return bytes_; }

private:
    const CodePage* codePage_;
    ByteBuffer bytes_;    // large pages, not copied as it grows
    std::string line_;    // the line being encoded
    std::int64_t lines_ = 0;
};

// Writes the file into the TUXA folder in one go, replacing an earlier one
// only once the new one is complete. Throws Error(FileUnwritable).
void saveTimetable(const TimetableText& text, const std::string& dirTxt);

}  // namespace tht
