// GRUPOST: one record per data line, with a readable description.
#include "export/step_support.h"
#include "export/steps.h"
#include "store/table.h"
#include "text/line_reader.h"
#include "text/record.h"

namespace tht {
namespace {

constexpr Column kUnit{2, 10};
constexpr Column kLevel{15, 3};
constexpr Column kCourse{21, 3};
constexpr Column kDescription{24, 10};  // its last column is also the first of the shift
constexpr Column kShift{33, 3};

const std::vector<FieldDef> kFields = {
    {"ABREV", FieldType::String, 10}, {"TURNO", FieldType::String, 1},   {"NIVEL", FieldType::String, 5},
    {"CURSO", FieldType::String, 3},  {"GRUPO", FieldType::String, 2},   {"MARCO", FieldType::String, 1},
    {"UNIDAD", FieldType::String, 10}, {"DESCRIP", FieldType::String, 80},
};

}  // namespace

TableReport ExportarGrupos(const RunContext& ctx) {
    TableReport report{.table = "GRUPOST"};
    const auto path = findInput(ctx, tuxa::grupos, report);
    if (!path) return report;

    LineReader input = LineReader::open(*path);
    Table table = Table::create(ctx.htemp, "GRUPOST", kFields);
    const FieldId fAbrev = table.field("ABREV"), fTurno = table.field("TURNO"), fNivel = table.field("NIVEL"),
                  fCurso = table.field("CURSO"), fGrupo = table.field("GRUPO"), fMarco = table.field("MARCO"),
                  fUnidad = table.field("UNIDAD"), fDescrip = table.field("DESCRIP");
    for (std::u32string line; input.next(line);) {
        if (!isDataLine(line, tuxa::grupos.tag)) continue;
        ++report.linesRead;
        const std::u32string unit = kUnit(line);
        const std::u32string shift = kShift(line);
        std::u32string level = kLevel(line);
        const std::u32string course = kCourse(line);
        const std::u32string group = unit.empty() ? std::u32string() : unit.substr(unit.size() - 1);
        if (level.empty()) level = U"NIV";
        table.append();
        table.writeString(fAbrev, unit);
        table.writeString(fTurno, shift);
        table.writeString(fNivel, level);
        table.writeString(fCurso, course);
        table.writeString(fGrupo, group);
        table.writeString(fMarco, U"0");
        table.writeString(fUnidad, unit);
        table.writeString(fDescrip,
                          U"(" + kDescription(line) + U") " + shift + U" " + level + U" " + course + U" " + group);
        table.post();
        ++report.written;
    }
    table.close();
    return report;
}

}  // namespace tht
