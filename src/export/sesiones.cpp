// DIASHORAST: one record per time slot, numbered by the rank of its start
// time among all distinct start times of the week.
#include <algorithm>

#include "export/step_support.h"
#include "export/steps.h"
#include "platform/casefold.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/unicode.h"
#include "store/table.h"
#include "text/record.h"
#include "text/whole_file.h"

namespace tht {
namespace {

constexpr Column kSlot{5, 4};
constexpr Column kDay{9, 1};
constexpr Column kStart{10, 4};
constexpr Column kEnd{14, 4};

const std::vector<FieldDef> kFields = {
    {"DIHO", FieldType::String, 10},     {"CODDIHO", FieldType::String, 10}, {"DIA", FieldType::String, 20},
    {"TEXTODIA", FieldType::String, 20}, {"HORA", FieldType::String, 8},     {"TEXTOHOR", FieldType::String, 15},
    {"HORADESDE", FieldType::String, 8}, {"HORAHASTA", FieldType::String, 8}, {"MINUTOS", FieldType::String, 8},
    {"MARCO", FieldType::String, 1},     {"MARCOXML", FieldType::String, 10},
};

std::u32string dayNumber(const std::u32string& letter) {
    static constexpr std::u32string_view letters = U"LMXJVSD";
    if (letter.size() == 1)
        if (const auto i = letters.find(letter[0]); i != std::u32string_view::npos) return decimalText(long(i) + 1);
    return letter;
}

// "0830" becomes "08:30": the first two characters, ":" and the third and fourth.
std::u32string timeText(const std::u32string& slice) {
    return slice.substr(0, 2) + U":" + (slice.size() > 2 ? slice.substr(2, 2) : std::u32string());
}

// Leading blanks, an optional sign, decimal digits and nothing after them.
std::optional<long> wholeNumber(std::u32string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == U' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == U'+' || text[i] == U'-')) negative = text[i++] == U'-';
    if (i == text.size()) return std::nullopt;
    long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < U'0' || text[i] > U'9') return std::nullopt;
        value = value * 10 + long(text[i] - U'0');
    }
    return negative ? -value : value;
}

struct TimeParts {
    std::u32string_view hour, minute;  // characters 1-2 and 4-5 of hh:mm
};

TimeParts parts(const std::u32string& hhmm) {
    const std::u32string_view t(hhmm);
    return {t.substr(0, 2), t.size() > 3 ? t.substr(3, 2) : std::u32string_view()};
}

}  // namespace

TableReport ExportarSesiones(const RunContext& ctx) {
    TableReport report{.table = "DIASHORAST"};
    const auto path = findInput(ctx, tuxa::sesiones, report);
    if (!path) return report;

    const TextLines lines = TextLines::load(*path);
    Table table = Table::create(ctx.htemp, "DIASHORAST", kFields);
    const FieldId fDiho = table.field("DIHO"), fCoddiho = table.field("CODDIHO"), fDia = table.field("DIA"),
                  fHora = table.field("HORA"), fTextohor = table.field("TEXTOHOR"),
                  fHoradesde = table.field("HORADESDE"), fHorahasta = table.field("HORAHASTA"),
                  fMinutos = table.field("MINUTOS"), fMarco = table.field("MARCO");

    std::vector<std::u32string> startTimes;    // sorted without regard to case, no repeats
    std::vector<std::u32string> recordStarts;  // the start time of each record, in stored order
    auto less = [](const std::u32string& a, const std::u32string& b) { return compareIgnoreCase(a, b) < 0; };

    std::u32string line;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines.line(i, line);
        if (!isDataLine(line, tuxa::sesiones.tag)) continue;
        ++report.linesRead;
        const std::u32string startSlice = kStart(line);
        const std::u32string start = timeText(startSlice);
        const std::u32string end = timeText(kEnd(line));
        if (auto at = std::lower_bound(startTimes.begin(), startTimes.end(), start, less);
            at == startTimes.end() || compareIgnoreCase(*at, start) != 0)
            startTimes.insert(at, start);

        const TimeParts s = parts(start), e = parts(end);
        long values[4];
        const std::u32string_view texts[4] = {e.hour, s.hour, e.minute, s.minute};
        for (int k = 0; k < 4; ++k) {
            const auto v = wholeNumber(texts[k]);
            if (!v)
                throw Error(ErrorKind::NotATime,
                            {.file = displayPath(*path), .line = static_cast<std::int64_t>(i) + 1,
                             .value = toUtf8(texts[k])});
            values[k] = *v;
        }
        const long minutes = (values[0] - values[1]) * 60 + values[2] - values[3];

        table.append();
        table.writeString(fDia, dayNumber(kDay(line)));
        table.writeString(fHora, startSlice);
        table.writeString(fCoddiho, kSlot(line));
        table.writeString(fTextohor, U"-" + start + U"-" + end);
        table.writeString(fHoradesde, start);
        table.writeString(fHorahasta, end);
        table.writeString(fMinutos, decimalText(minutes));
        table.writeString(fMarco, U"0");
        table.post();
        recordStarts.push_back(start);
        ++report.written;
    }

    std::size_t record = 0;
    for (table.first(); !table.eof(); table.next(), ++record) {
        const auto at = std::lower_bound(startTimes.begin(), startTimes.end(), recordStarts[record], less);
        const std::u32string period = decimalText(long(at - startTimes.begin()) + 1);
        table.edit();
        table.writeString(fHora, period);
        table.writeString(fDiho, table.readString(fDia) + table.readString(fHora));
        table.writeString(fTextohor, period + table.readString(fTextohor));
        table.post();
    }
    table.close();
    return report;
}

}  // namespace tht
