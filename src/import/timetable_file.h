#pragma once
// "TUXA_HORARIO.TXT": a title line, one detail line per timetable entry and a
// trailer line, fixed columns padded with spaces and never cut.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/codepage.h"

namespace tht {

inline constexpr std::string_view kTimetableFileName = "TUXA_HORARIO.TXT";

struct DetailValues {
    std::u32string slot, day, teacher, group, task, subject, room, suffix;
};

// v followed by spaces up to width; a longer v is kept whole.
void appendPadded(std::u32string& line, std::u32string_view value, std::size_t width);
// "ddmmyyyyhhnn"
std::u32string dateTimeText(const LocalDateTime& t);

std::u32string titleLine(std::u32string_view centre, const LocalDateTime& now);
std::u32string detailLine(const DetailValues& v);
std::u32string trailerLine(std::u32string_view centre, const LocalDateTime& now, std::int64_t detailLines);

// The file's bytes: every line followed by CR LF, in the code page, with the
// UTF-8 byte-order mark in front when the code page is UTF-8.
std::string encodeTimetable(const std::vector<std::u32string>& lines, const CodePage& codePage);

// Writes the file into the TUXA folder in one go, replacing an earlier one
// only once the new one is complete. Throws Error(FileUnwritable).
void saveTimetable(const std::vector<std::u32string>& lines, const std::string& dirTxt,
                   const CodePage& codePage = CodePage::system());

}  // namespace tht
