// DIASHORAST: one record per time slot, numbered by the rank of its start
// time among all distinct start times of the week.
#include <algorithm>

#include "base/day_letters.h"
#include "base/numbers.h"
#include "export/export_step.h"
#include "export/steps.h"
#include "export/value_error.h"
#include "export/step_support.h"
#include "platform/files.h"

namespace tht {
namespace {

using T = horalina::Diashorast;

constexpr Column kSlot{5, 4};
constexpr Column kDay{9, 1};
constexpr Column kStart{10, 4};
constexpr Column kEnd{14, 4};

// The day's number for its letter; any other text is kept as it is.
std::string dayNumber(std::string_view letter) {
    if (const auto n = days::number(letter)) return decimalText(*n);
    return std::string(letter);
}

// "0830" becomes "08:30": the first two characters, ":" and the third and fourth.
std::string timeText(std::string_view slice) {
    std::string out(slice.substr(0, 2));
    out += ':';
    if (slice.size() > 2) out += slice.substr(2, 2);
    return out;
}

struct TimeParts {
    std::string_view hour, minute;  // characters 1-2 and 4-5 of hh:mm
};

TimeParts parts(const std::string& hhmm) {
    const std::string_view t(hhmm);
    return {t.substr(0, 2), t.size() > 3 ? t.substr(3, 2) : std::string_view()};
}

// Minutes from start to end; an hour or minute that is no whole number stops
// the run, and says so plainly where a NUL cut the line short.
std::int64_t minutesBetween(const std::string& start, const std::string& end, const std::filesystem::path& path,
                            std::int64_t lineNumber, bool cutAtNul) {
    const TimeParts s = parts(start), e = parts(end);
    std::int64_t values[4];
    const std::string_view texts[4] = {e.hour, s.hour, e.minute, s.minute};
    for (int k = 0; k < 4; ++k) {
        const auto v = parseWholeNumber(texts[k]);
        if (!v && cutAtNul) throw Error(TuxaValueError::TimeCutAtNul, {.file = displayPath(path), .line = lineNumber});
        if (!v)
            throw Error(TuxaValueError::NotATime,
                        {.file = displayPath(path), .line = lineNumber, .value = valueText(texts[k])});
        values[k] = *v;
    }
    return (values[0] - values[1]) * 60 + values[2] - values[3];
}

}  // namespace

TableReport ExportarSesiones(const ExportContext& ctx) {
    const std::filesystem::path path = ctx.tuxaPath(tuxa::sesiones.fileName);
    return exportTable<T>(ctx, tuxa::sesiones, [&](DataLines& lines, SchemaTable<T>& table, TableReport& report) {
        std::vector<std::string> startTimes;    // sorted without regard to case, no repeats
        std::vector<std::string> recordStarts;  // the start time of each record, in stored order
        auto less = [](const std::string& a, const std::string& b) { return compareIgnoreCase(a, b) < 0; };

        appendRecords(lines, table, report, [&](const DataLine& line, SchemaTable<T>& t) {
            const std::string_view startSlice = kStart(line);
            const std::string start = timeText(startSlice);
            const std::string end = timeText(kEnd(line));
            if (auto at = std::lower_bound(startTimes.begin(), startTimes.end(), start, less);
                at == startTimes.end() || compareIgnoreCase(*at, start) != 0)
                startTimes.insert(at, start);
            t.write(T::DIA, dayNumber(kDay(line)));
            t.write(T::HORA, startSlice);
            t.write(T::CODDIHO, kSlot(line));
            t.write(T::TEXTOHOR, "-" + start + "-" + end);
            t.write(T::HORADESDE, start);
            t.write(T::HORAHASTA, end);
            t.write(T::MINUTOS, decimalText(minutesBetween(start, end, path, line.number, line.number == lines.lineCutAtNul())));
            t.write(T::MARCO, "0");
            recordStarts.push_back(start);
            return LineResult::written();
        });

        std::size_t record = 0;
        for (table.first(); !table.eof(); table.next(), ++record) {
            const auto at = std::lower_bound(startTimes.begin(), startTimes.end(), recordStarts[record], less);
            const std::string period = decimalText(at - startTimes.begin() + 1);
            table.edit();
            table.write(T::HORA, period);
            table.write(T::DIHO, table.readText(T::DIA) + table.readText(T::HORA));
            table.write(T::TEXTOHOR, period + table.readText(T::TEXTOHOR));
            table.post();
        }
    });
}

}  // namespace tht
