#pragma once
// The shape every export step shares: find its TUXA file (or show the
// file's message and change nothing), read it as the file table says,
// create its table, turn the data lines into records while counting what was
// read, written and dropped, and close. Each step keeps only what is its own.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "run/table_comparison.h"
#include "run/report.h"
#include "run/run_context.h"
#include "run/schema_table.h"
#include "export/steps.h"
#include "charset/byte_map.h"
#include "charset/unicode.h"
#include "platform/code_pages.h"
#include "text/line_reader.h"
#include "text/record.h"
#include "text/tuxa_files.h"
#include "text/whole_file.h"

namespace tht {

// The path of the file when it exists. Otherwise shows the file's message,
// marks the report and gives nothing.
std::optional<std::filesystem::path> findInput(const RunContext& ctx, const TuxaFile& file, TableReport& report);

// A data line and its 1-based number in the file, as bytes of the tables'
// page (windows-1252): one byte per character, whatever the file's page was.
struct DataLine {
    std::string_view text;
    std::int64_t number;
    // Some character of the line was one the tables' page cannot hold, now "?":
    // two codes that differed there may be the same here.
    bool altered = false;
    operator std::string_view() const noexcept { return text; }
};

// The data lines of one TUXA file, read as its entry in the file table says
// and carried into the tables' page as each line is read.
class DataLines {
public:
    DataLines(const std::filesystem::path& path, const TuxaFile& file, const ExportContext& ctx);

    // f(DataLine) for each data line, in file order.
    template <class F>
    void forEach(F&& f) {
        for (DataLine line; next(line);) f(line);
    }

    // What looked odd in the lines read so far, into the report's warnings.
    void noteOddities(TableReport& report) const;
    // The file's own name, for the report.
    const std::string& fileName() const noexcept { return fileName_; }
    // Whole-file reading: the line at which a NUL ended the text.
    std::optional<std::int64_t> lineCutAtNul() const;

private:
    bool next(DataLine& line);
    // The next line in the tables' page into line, false at the end.
    bool nextLine(std::string_view& line, std::int64_t& number);
    std::string_view fromBytes(std::string_view bytes, std::int64_t number);
    std::string_view fromCharacters(std::int64_t number);
    static void note(std::size_t count, std::int64_t number, std::int64_t& total, std::int64_t& firstLine) noexcept;

    const TuxaFile* file_;
    std::string name_;  // the file's path, for warnings
    std::string fileName_;
    const CodePage* codePage_;
    std::variant<LineReader, TextLines> source_;
    const ByteMap* byteMap_ = nullptr;  // from the page of the source's bytes; none: its lines are decoded
    bool altered_ = false;              // of the line last read
    std::size_t nextIndex_ = 0;         // of TextLines
    std::u32string characters_;         // a decoded line, reused
    std::string converted_;             // the line in the tables' page, reused
    bool endsWithTrailer_ = false;  // the last line that is not blank is the trailer line ("9")
    std::int64_t unreadable_ = 0;   // characters the code page could not read
    std::int64_t firstUnreadableLine_ = 0;
    std::int64_t unstorable_ = 0;   // characters of decoded lines that the tables' page cannot hold
    std::int64_t firstUnstorableLine_ = 0;
};

// What a reader met in a file, as the report's warnings.
void addReadingWarnings(const ReadingNotes& notes, const std::string& file, const CodePage& codePage,
                        TableReport& report);

// What became of one data line.
struct LineResult {
    std::string_view dropReason;  // empty: its record was written
    std::string value;            // what decided the drop, as the report shows it
    static LineResult written() { return {}; }
    static LineResult dropped(std::string_view reason, std::string value) { return {reason, std::move(value)}; }
};

// A value of a line as the report shows it: UTF-8.
inline std::string valueText(std::string_view v) { return toUtf8(windows1252().decode(v)); }

// One record per data line: onLine(line, table) fills the record just
// appended, or drops the line with its reason.
template <class Schema, class OnLine>
void appendRecords(DataLines& lines, SchemaTable<Schema>& table, TableReport& report, OnLine&& onLine) {
    lines.forEach([&](const DataLine& line) {
        ++report.linesRead;
        table.append();
        const LineResult result = onLine(line, table);
        if (result.dropReason.empty()) {
            table.post();
            ++report.written;
        } else {
            table.cancel();
            report.drop(result.dropReason, line.number, result.value, lines.fileName());
        }
    });
}

// What the step's new table changed against the one it replaces, into the
// report; a big loss is a warning. An old table that cannot be read costs the
// comparison, never the export: that is a warning too.
void noteChanges(const ExportContext& ctx, const TableCodes& codes, TableReport& report);

// A whole step: body(lines, table, report) between finding the input and
// closing the new table.
template <class Schema, class Body>
TableReport exportTable(const ExportContext& ctx, const TuxaFile& input, Body&& body) {
    TableReport report{.table = std::string(Schema::name)};
    const auto path = findInput(ctx, input, report);
    if (!path) return report;
    DataLines lines(*path, input, ctx);
    SchemaTable<Schema> table = SchemaTable<Schema>::create(ctx.tables, ctx.clock);
    body(lines, table, report);
    lines.noteOddities(report);
    table.close();
    noteChanges(ctx, TableCodes::of<Schema>(), report);
    return report;
}

// A step whose records are its data lines, one for one.
template <class Schema, class OnLine>
TableReport exportLines(const ExportContext& ctx, const TuxaFile& input, OnLine&& onLine) {
    return exportTable<Schema>(ctx, input, [&](DataLines& lines, SchemaTable<Schema>& table, TableReport& report) {
        appendRecords(lines, table, report, onLine);
    });
}

}  // namespace tht
