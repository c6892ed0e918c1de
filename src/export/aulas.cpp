// AULAT: one record per data line, the name joined from two columns.
#include "export/step_support.h"
#include "export/steps.h"
#include "store/table.h"
#include "text/line_reader.h"
#include "text/record.h"

namespace tht {
namespace {

constexpr Column kCode{2, 10};
constexpr Column kNameFirst{12, 70};
constexpr Column kNameSecond{82, 100};

const std::vector<FieldDef> kFields = {
    {"ABREV", FieldType::String, 10},
    {"NOMBRE", FieldType::String, 80},
    {"EDIFICIO", FieldType::String, 1},
    {"MAXALUM", FieldType::Integer},
};

}  // namespace

TableReport ExportarAulas(const RunContext& ctx) {
    TableReport report{.table = "AULAT"};
    const auto path = findInput(ctx, tuxa::aulas, report);
    if (!path) return report;

    LineReader input = LineReader::open(*path);
    Table table = Table::create(ctx.htemp, "AULAT", kFields);
    const FieldId fAbrev = table.field("ABREV"), fNombre = table.field("NOMBRE");
    std::u32string name;
    for (std::u32string line; input.next(line);) {
        if (!isDataLine(line, tuxa::aulas.tag)) continue;
        ++report.linesRead;
        name = kNameFirst.view(line);
        name += U' ';
        name += kNameSecond.view(line);
        table.append();
        table.writeString(fAbrev, kCode.view(line));
        table.writeString(fNombre, name);
        table.post();
        ++report.written;
    }
    table.close();
    return report;
}

}  // namespace tht
