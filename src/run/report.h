#pragma once
// What a step did, for the command line's summary and the run report: lines
// read, records written, and every line dropped, by reason, with its number
// and the values that caused it. It changes nothing that the run shows or writes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "run/table_changes.h"

namespace tht {

struct DropGroup {
    std::string reason;
    bool records = false;               // numbers are records of a table, not lines of a file
    std::string source;                 // the file or table the numbers count in; empty: the report's table
    std::int64_t count = 0;
    std::vector<std::int64_t> numbers;  // every one, in the order met
    // The values of each drop, one after another: a district drops many lines,
    // so they share one buffer instead of a string each.
    std::string values;
    std::vector<std::uint32_t> valueEnds;
    // Records made from a file's line: that file, and the line of each record in
    // the order of `numbers`. Empty: the records came from no line.
    std::string lineFile;
    std::vector<std::int64_t> lines;

    std::string_view value(std::size_t i) const {
        const std::size_t begin = i == 0 ? 0 : valueEnds[i - 1];
        return std::string_view(values).substr(begin, valueEnds[i] - begin);
    }
};

// The line of a file a record was made from.
struct SourceLine {
    std::string_view file;
    std::int64_t line = 0;
};

struct TableReport {
    static constexpr std::size_t kFirstNumbers = 5;  // the summary lists no more per reason

    std::string table;           // "ASIGNOMT", or "TUXA_HORARIO.TXT" for the timetable
    bool fileMissing = false;    // the step found no input file and changed nothing
    bool warningsOnly = false;   // not a step's table but Horalina's folder: nothing was read or written
    std::int64_t linesRead = 0;  // data lines, or entries of SOLUC
    std::int64_t written = 0;    // records or detail lines written
    std::vector<DropGroup> drops{};
    // What looked odd in the input although the run went on: a file that may
    // be cut short, text lost after a NUL, characters the code page could not
    // read, values wider than their column. Spanish, naming file and line.
    std::vector<std::string> warnings{};
    // What the new table changed against the one it replaced; nothing when
    // the step replaced no table.
    std::optional<TableChanges> changes{};

    // A line of the file `source` that yielded nothing, with the value that decided it.
    void drop(std::string_view reason, std::int64_t line, std::string_view value, std::string_view source) {
        note(reason, line, false, value, source);
    }
    // A record (of `source`, else of this report's table) that yielded nothing or took a fallback.
    void noteRecord(std::string_view reason, std::int64_t record, std::string_view value,
                    std::string_view source = {}) {
        note(reason, record, true, value, source);
    }
    // A record of this report's table, made from `from`, that took a fallback.
    void noteRecord(std::string_view reason, std::int64_t record, std::string_view value, SourceLine from);

    std::int64_t dropCount() const;

private:
    DropGroup& note(std::string_view reason, std::int64_t number, bool records, std::string_view value,
                    std::string_view source);
};

// The summary the command line prints on standard error, one block per table.
std::string formatSummary(const std::vector<TableReport>& reports);

// Tables were compared, and none had a table before it: said once, not per table.
bool firstExport(const std::vector<TableReport>& reports);

// Every warning of the reports, each behind its table's name.
std::vector<std::string> allWarnings(const std::vector<TableReport>& reports);

}  // namespace tht
