#include "core/report.h"

namespace tht {

void TableReport::drop(std::string_view reason, std::int64_t line) {
    DropGroup* group = nullptr;
    for (auto& g : drops)
        if (g.reason == reason) group = &g;
    if (!group) group = &drops.emplace_back(DropGroup{std::string(reason), 0, {}});
    ++group->count;
    if (group->firstLines.size() < kFirstLines) group->firstLines.push_back(line);
}

std::string formatSummary(const std::vector<TableReport>& reports) {
    std::string out;
    for (const auto& r : reports) {
        out += r.table + ": ";
        if (r.fileMissing) {
            out += "sin archivo de entrada, no se ha cambiado\n";
            continue;
        }
        out += std::to_string(r.written) + " escritos de " + std::to_string(r.linesRead) + " leídos\n";
        for (const auto& g : r.drops) {
            out += "  " + std::to_string(g.count) + " descartados: " + g.reason + " (";
            out += g.reason.find("registro") != std::string::npos ? "registros " : "líneas ";
            for (std::size_t i = 0; i < g.firstLines.size(); ++i)
                out += (i ? ", " : "") + std::to_string(g.firstLines[i]);
            if (g.count > static_cast<std::int64_t>(g.firstLines.size())) out += ", ...";
            out += ")\n";
        }
    }
    return out;
}

}  // namespace tht
