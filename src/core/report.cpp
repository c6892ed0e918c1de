#include "core/report.h"

#include "base/messages.h"
#include "base/numbers.h"

namespace tht {

void TableReport::note(std::string_view reason, std::int64_t number, bool records) {
    DropGroup* group = nullptr;
    for (auto& g : drops)
        if (g.reason == reason) group = &g;
    if (!group) group = &drops.emplace_back(DropGroup{std::string(reason), records, 0, {}});
    ++group->count;
    if (group->firstNumbers.size() < kFirstNumbers) group->firstNumbers.push_back(number);
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
            out += "  " + decimalText(g.count) + " ";
            out.append(g.records ? msg::summary::kRecords : msg::summary::kLinesDropped).append(": ") += g.reason;
            out.append(" (").append(g.records ? msg::summary::kRecordNumbers : msg::summary::kLineNumbers).append(" ");
            for (std::size_t i = 0; i < g.firstNumbers.size(); ++i)
                out += (i ? ", " : "") + decimalText(g.firstNumbers[i]);
            if (g.count > static_cast<std::int64_t>(g.firstNumbers.size())) out += ", ...";
            out += ")\n";
        }
        for (const auto& w : r.warnings) out.append("  ").append(msg::summary::kWarning).append(": ") += w + "\n";
    }
    return out;
}

std::vector<std::string> allWarnings(const std::vector<TableReport>& reports) {
    std::vector<std::string> out;
    for (const auto& r : reports)
        for (const auto& w : r.warnings) out.push_back(r.table + ": " + w);
    return out;
}

}  // namespace tht
