#pragma once
// "TUXA_HORARIO.TXT": a title line, one detail line per timetable entry and a
// trailer line, fixed columns padded with spaces and never cut.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/code_pages.h"
#include "run/horalina_tables.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "charset/byte_map.h"
#include "charset/codepage.h"

namespace tht {

inline constexpr std::string_view kTimetableFileName = "TUXA_HORARIO.TXT";

// Text of the tables' page, as the tables give it.
struct DetailValues {
    std::string slot, day, teacher, group, task, subject, room, suffix;
};

// The fixed columns of a detail line after its first character, in order:
// what fills each and how wide it is. The suffix follows them, unpadded.
struct DetailColumn {
    std::string DetailValues::*value;
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
void appendPadded(std::string& line, std::string_view value, std::size_t width);
// "ddmmyyyyhhnn"
std::u32string dateTimeText(const LocalDateTime& t);

std::u32string titleLine(std::u32string_view centre, const LocalDateTime& now);
// A detail line in the tables' page.
std::string detailLine(const DetailValues& v);
void detailLine(const DetailValues& v, std::string& out);  // into a buffer the caller reuses
std::u32string trailerLine(std::u32string_view centre, const LocalDateTime& now, std::int64_t detailLines);

// The file written as it is made: each line encoded as it is added and
// followed by CR LF, behind the UTF-8 byte-order mark when the code page is
// UTF-8. The lines go out a piece at a time under a temporary name in the TUXA
// folder, so a timetable of millions of lines never stands whole in memory;
// the file replaces an earlier one only on commit(), once it is complete on
// the disk. Destroyed without commit, it leaves the earlier file as it was.
// Throws Error(FileUnwritable).
class TimetableFile {
public:
    explicit TimetableFile(std::string dirTxt, const CodePage& codePage = systemCodePage());
    TimetableFile(const TimetableFile&) = delete;
    TimetableFile& operator=(const TimetableFile&) = delete;
    ~TimetableFile();

    void add(std::u32string_view line);
    // A line of the tables' page, carried byte by byte to TUXA's page where
    // both are single-byte, else through its characters.
    void add(std::string_view tablePageLine);
    std::int64_t lines() const noexcept { return lines_; }
    // The file takes its name. With keepWhen, as a commit journaled in the
    // TUXA folder that keeps the file it replaces in a new kept set there
    // (kept_sets.h), whose folder is returned; empty: nothing was replaced.
    std::filesystem::path commit(std::optional<LocalDateTime> keepWhen = std::nullopt);

private:
    void writeOut();

    std::string dirTxt_;
    const CodePage* codePage_;
    std::optional<ByteMap> fromTablePage_;
    std::u32string characters_;  // a line on its way to a page that is not single-byte
    // Made with the first piece written: a run that stops before then has
    // touched nothing in the TUXA folder, as when the file was written whole.
    std::unique_ptr<AtomicFile> file_;
    std::string pending_;  // encoded lines not written out yet
    std::int64_t lines_ = 0;
};

}  // namespace tht
