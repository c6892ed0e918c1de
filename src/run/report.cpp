#include "run/report.h"

#include <algorithm>

#include "base/messages.h"
#include "base/numbers.h"

namespace tht {

DropGroup& TableReport::note(std::string_view reason, std::int64_t number, bool records, std::string_view value,
                       std::string_view source) {
    DropGroup* group = nullptr;
    for (auto& g : drops)
        if (g.reason == reason && g.source == source) group = &g;
    if (!group) {
        group = &drops.emplace_back();
        group->reason = reason;
        group->records = records;
        group->source = source;
    }
    ++group->count;
    group->numbers.push_back(number);
    group->values += value;
    group->valueEnds.push_back(static_cast<std::uint32_t>(group->values.size()));
    return *group;
}

void TableReport::noteRecord(std::string_view reason, std::int64_t record, std::string_view value, SourceLine from) {
    DropGroup& group = note(reason, record, true, value, {});
    group.lineFile = from.file;
    group.lines.push_back(from.line);
}

std::int64_t TableReport::dropCount() const {
    std::int64_t n = 0;
    for (const auto& g : drops) n += g.count;
    return n;
}

std::string formatSummary(const std::vector<TableReport>& reports) {
    std::string out;
    for (const auto& r : reports) {
        out += r.table + ":";
        if (r.fileMissing) {
            out.append(" ").append(msg::summary::kNoInputFile).append("\n");
            continue;
        }
        if (!r.warningsOnly) out.append(" ").append(msg::summary::writtenOfRead(r.written, r.linesRead));
        out += '\n';
        for (const auto& g : r.drops) {
            out += "  " + msg::summary::dropped(g.count, g.records, g.reason);
            out.append(" (").append(msg::summary::numbersLabel(g.count, g.records)).append(" ");
            const std::size_t shown = std::min(g.numbers.size(), TableReport::kFirstNumbers);
            for (std::size_t i = 0; i < shown; ++i) out += (i ? ", " : "") + decimalText(g.numbers[i]);
            if (g.count > static_cast<std::int64_t>(shown)) out += ", ...";
            out += ")\n";
        }
        if (r.changes && r.changes->hadTable)
            out += "  " + msg::changes::summaryLine(r.changes->added.count, r.changes->removed.count,
                                                    r.changes->changed.count) + "\n";
        else if (r.changes && !firstExport(reports))
            out.append("  ").append(msg::changes::kSummaryNoPrevious).append("\n");
        for (const auto& w : r.warnings) out.append("  ").append(msg::summary::kWarning).append(": ") += w + "\n";
    }
    if (firstExport(reports)) out.append(msg::changes::kFirstExport).append("\n");
    return out;
}

bool firstExport(const std::vector<TableReport>& reports) {
    bool compared = false;
    for (const TableReport& r : reports) {
        if (!r.changes) continue;
        if (r.changes->hadTable) return false;
        compared = true;
    }
    return compared;
}

std::vector<std::string> allWarnings(const std::vector<TableReport>& reports) {
    std::vector<std::string> out;
    for (const auto& r : reports)
        for (const auto& w : r.warnings) out.push_back(r.table + ": " + w);
    return out;
}

}  // namespace tht
