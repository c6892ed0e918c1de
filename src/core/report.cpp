#include "core/report.h"

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
        out += r.table + ": ";
        if (r.fileMissing) {
            out += "sin archivo de entrada, no se ha cambiado\n";
            continue;
        }
        out += std::to_string(r.written) + " escritos de " + std::to_string(r.linesRead) + " leídos\n";
        for (const auto& g : r.drops) {
            out += "  " + std::to_string(g.count) + (g.records ? " registros: " : " líneas descartadas: ") + g.reason;
            out += g.records ? " (registros " : " (líneas ";
            for (std::size_t i = 0; i < g.firstNumbers.size(); ++i)
                out += (i ? ", " : "") + std::to_string(g.firstNumbers[i]);
            if (g.count > static_cast<std::int64_t>(g.firstNumbers.size())) out += ", ...";
            out += ")\n";
        }
    }
    return out;
}

}  // namespace tht
