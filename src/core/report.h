#pragma once
// What a step did, for the command line's summary: lines read, records
// written, lines dropped by reason with their first line numbers. It changes
// nothing that the run shows or writes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tht {

struct DropGroup {
    std::string reason;
    bool records = false;                  // numbers are records of a table, not lines of a file
    std::int64_t count = 0;
    std::vector<std::int64_t> firstNumbers;  // at most kFirstNumbers
};

struct TableReport {
    static constexpr std::size_t kFirstNumbers = 5;

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

    // A line of the input that yielded nothing, or a record that took a fallback.
    void drop(std::string_view reason, std::int64_t line) { note(reason, line, false); }
    void noteRecord(std::string_view reason, std::int64_t record) { note(reason, record, true); }

private:
    void note(std::string_view reason, std::int64_t number, bool records);
};

// The summary the command line prints on standard error, one block per table.
std::string formatSummary(const std::vector<TableReport>& reports);

// Every warning of the reports, each behind its table's name.
std::vector<std::string> allWarnings(const std::vector<TableReport>& reports);

}  // namespace tht
