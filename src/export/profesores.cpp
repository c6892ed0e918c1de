// PROFT: one record per teacher code, the first line of a code deciding.
#include "export/step_support.h"
#include "export/steps.h"
#include "store/table.h"
#include "text/line_reader.h"
#include "text/record.h"

namespace tht {
namespace {

constexpr Column kCode{2, 4};
constexpr Column kName{6, 90};
constexpr Column kDepartment{96, 50};

const std::vector<FieldDef> kFields = {
    {"ABREV", FieldType::String, 10}, {"NOMBRE", FieldType::String, 80}, {"DEPART", FieldType::String, 40},
    {"EMAIL", FieldType::String, 100}, {"DNI", FieldType::Integer},
};

}  // namespace

TableReport ExportarProfesores(const RunContext& ctx) {
    TableReport report{.table = "PROFT"};
    const auto path = findInput(ctx, tuxa::profesores, report);
    if (!path) return report;

    LineReader input = LineReader::open(*path);
    Table table = Table::create(ctx.htemp, "PROFT", kFields);
    const FieldId fAbrev = table.field("ABREV"), fNombre = table.field("NOMBRE"), fDepart = table.field("DEPART");
    CodeList codes;
    for (std::u32string line; input.next(line);) {
        if (!isDataLine(line, tuxa::profesores.tag)) continue;
        ++report.linesRead;
        const std::u32string code = asStored(kCode.view(line));
        if (codes.contains(code)) {
            report.drop(code.empty() ? "código de profesor vacío repetido" : "código de profesor repetido",
                        input.lineNumber());
            continue;
        }
        codes.add(code);
        table.append();
        table.writeString(fAbrev, code);
        table.writeString(fNombre, kName(line));
        table.writeString(fDepart, kDepartment(line));
        table.post();
        ++report.written;
    }
    table.close();
    return report;
}

}  // namespace tht
