#include "run/run_report.h"

#include <algorithm>
#include <cstdio>

#include "base/messages.h"
#include "platform/atomic_file.h"
#include "run/report.h"
#include "platform/files.h"

namespace tht {
namespace {

std::string dateText(const LocalDateTime& t) {
    char text[48];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d %02d:%02d:%02d", t.day, t.month, t.year, t.hour, t.minute,
                  t.second);
    return text;
}

std::string_view kindText(RunKind kind) {
    switch (kind) {
        case RunKind::Import: return msg::report::kImport;
        case RunKind::Check: return msg::report::kCheck;
        case RunKind::Restore: return msg::report::kRestore;
        default: return msg::report::kExport;
    }
}

std::string_view outcomeText(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::FolderMissing: return msg::report::kFolderMissing;
        case RunOutcome::Stopped: return msg::report::kStopped;
        default: return msg::report::kCompleted;
    }
}

void field(std::string& out, std::string_view name, std::string_view value) {
    out.append(name).append(": ").append(value).append("\n");
}

void tableBlock(std::string& out, const TableReport& r) {
    namespace m = msg::report;
    out.append("\n").append(r.table).append(": ");
    if (r.fileMissing) {
        out.append(m::kNoInputFile).append("\n");
        return;
    }
    out += msg::summary::writtenOfRead(r.written, r.linesRead) + "\n";
    for (const DropGroup& g : r.drops) {
        out += "  " + msg::summary::dropped(g.count, g.records, g.reason) + "\n";
        const std::string_view source = g.source.empty() ? std::string_view(r.table) : std::string_view(g.source);
        for (std::size_t i = 0; i < g.numbers.size(); ++i) {
            // A record is found by the line it was made from: the line is what the secretary can correct.
            if (i < g.lines.size())
                out += "    " + m::recordLine(g.lineFile, g.lines[i], source, g.numbers[i], g.value(i)) + "\n";
            else
                out += "    " + m::dropLine(source, g.numbers[i], g.records, g.value(i)) + "\n";
        }
    }
}

void recordList(std::string& out, std::string_view kind, const RecordList& list) {
    if (list.count == 0) return;
    out.append("    ").append(kind).append(":\n");
    for (const RecordLabel& r : list.listed)
        out.append("      ").append(msg::changes::recordLine(r.code, r.name, r.before)).append("\n");
    if (list.count > static_cast<std::int64_t>(list.listed.size()))
        out.append("      ").append(msg::changes::more(list.count - static_cast<std::int64_t>(list.listed.size()))).append("\n");
}

// Each replaced table against the one it replaced, by its codes.
void changesSection(std::string& out, const std::vector<TableReport>& reports) {
    namespace c = msg::changes;
    if (std::ranges::none_of(reports, [](const TableReport& r) { return r.changes.has_value(); })) return;
    out.append("\n").append(c::kTitle).append(":\n");
    if (firstExport(reports)) {
        out.append("  ").append(c::kFirstExport).append("\n");
        return;
    }
    for (const TableReport& r : reports) {
        if (!r.changes) continue;
        const TableChanges& t = *r.changes;
        out.append("  ");
        if (!t.hadTable) out += c::noPrevious(r.table, t.after);
        else if (!t.any()) out += c::unchanged(r.table, t.keys, t.after);
        else out += c::tableLine(r.table, t.keys, t.before, t.after, t.added.count, t.removed.count, t.changed.count);
        out += "\n";
        if (!t.hadTable) continue;
        recordList(out, c::kAdded, t.added);
        recordList(out, c::kRemoved, t.removed);
        recordList(out, c::kChanged, t.changed);
    }
}

// More than the whole text can take, so that it is made in one block: the
// report of a district that drops every entry runs to tens of megabytes, and
// a text grown step by step would hold two copies at each step. Room that is
// never written costs no memory.
std::size_t roomFor(const RunResult& result) {
    constexpr std::size_t kLine = 128;  // a drop's line without its names and value
    std::size_t n = 4096 + (result.error ? std::string_view(result.error->what()).size() : 0);
    for (const TableReport& r : result.reports) {
        n += kLine + r.table.size();
        for (const DropGroup& g : r.drops)
            n += kLine + g.reason.size() + g.values.size() +
                 g.numbers.size() * (kLine + r.table.size() + g.source.size() + g.lineFile.size());
        for (const std::string& w : r.warnings) n += kLine + r.table.size() + w.size();
        if (r.changes)
            for (const RecordList* list : {&r.changes->added, &r.changes->removed, &r.changes->changed})
                for (const RecordLabel& l : list->listed) n += kLine + l.code.size() + l.name.size() + l.before.size();
    }
    return n;
}

}  // namespace

std::string formatRunReport(const RunReportFacts& facts, const RunResult& result) {
    namespace m = msg::report;
    std::string out;
    out.reserve(roomFor(result));
    out.append(m::kTitle).append("\n\n");
    field(out, m::kRun, kindText(facts.kind));
    field(out, m::kDate, dateText(facts.when));
    field(out, m::kTuxaFolder, facts.tuxaFolder);
    field(out, m::kHoralinaFolder, facts.horalinaFolder);
    field(out, m::kOutcome, outcomeText(result.outcome));
    field(out, m::kStatus, result.status ? m::statusText(*result.status) : std::string(m::kStatusUnchanged));
    if (result.error) field(out, m::kError, result.error->what());
    if (result.restoredSet) field(out, m::kRestored, displayPath(*result.restoredSet));
    if (result.keptSet)
        field(out, m::kKept, result.keptSet->empty() ? std::string(m::kKeptNothing) : displayPath(*result.keptSet));

    // A block of Horalina's folder (a commit put right) has only warnings: they
    // are told below with the others.
    const auto hasCounts = [](const TableReport& r) { return !r.warningsOnly; };
    if (std::ranges::any_of(result.reports, hasCounts)) {
        out.append("\n").append(m::kTables).append(":\n");
        for (const TableReport& r : result.reports)
            if (hasCounts(r)) tableBlock(out, r);
    }

    changesSection(out, result.reports);

    const RunProblems problems = problemsOf(result);
    out.append("\n").append(m::kWarnings).append(":\n");
    if (problems.warnings == 0) out.append("  ").append(m::kNoWarnings).append("\n");
    for (const std::string& w : allWarnings(result.reports)) out.append("  ").append(w).append("\n");
    out.append("\n").append(m::totals(problems.dropped, problems.warnings)).append("\n");
    return out;
}

RunProblems problemsOf(const RunResult& result) {
    RunProblems p;
    for (const TableReport& r : result.reports) {
        p.dropped += r.dropCount();
        p.warnings += static_cast<std::int64_t>(r.warnings.size());
    }
    return p;
}

std::filesystem::path defaultReportPath(const std::filesystem::path& htemp) {
    return htemp / std::string(msg::report::kFileName);
}

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

void appendWithCrLf(std::string_view text, std::string& bytes) {
    for (char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
}

}  // namespace

std::string reportFileBytes(const std::string& text) {
    std::string bytes(kUtf8Bom);
    bytes.reserve(text.size() + text.size() / 16 + 3);
    appendWithCrLf(text, bytes);
    return bytes;
}

std::optional<std::string> saveRunReport(const std::filesystem::path& file, const std::string& text) {
    try {
        AtomicFile out(file);
        // A piece at a time: the report of a district that drops every entry
        // runs to tens of megabytes, and needs no second copy in memory.
        constexpr std::size_t kPiece = std::size_t{1} << 20;
        std::string bytes(kUtf8Bom);
        for (std::size_t at = 0; at < text.size(); at += kPiece) {
            appendWithCrLf(std::string_view(text).substr(at, kPiece), bytes);
            out.write(bytes);
            bytes.clear();
        }
        out.write(bytes);
        out.commit();
        return std::nullopt;
    } catch (const std::exception& e) {
        return msg::report::notWritten(displayPath(file), e.what());
    }
}

}  // namespace tht
