// ASIGNOMT: one record per subject and per activity, subjects first.
#include "export/short_code.h"
#include "export/steps.h"
#include "platform/files.h"
#include "store/table.h"
#include "text/line_reader.h"
#include "text/record.h"
#include "text/trim.h"

namespace tht {
namespace {

namespace subject {
constexpr Column base{2, 10};
constexpr Column code{2, 20};
constexpr Column name{22, 150};
constexpr Column identifier{172, 6};
}  // namespace subject

namespace activity {
constexpr Column code{2, 4};
constexpr Column shortName{6, 10};
constexpr Column name{6, 60};
constexpr Column task{66, 3};
}  // namespace activity

const std::vector<FieldDef> kFields = {
    {"COD", FieldType::String, 10},      {"CODLARGO", FieldType::String, 10}, {"NOMBRE", FieldType::String, 80},
    {"ESTAREA", FieldType::Boolean},     {"CODTAREA", FieldType::String, 10}, {"CODTUXA", FieldType::String, 20},
    {"CODIDITUXA", FieldType::String, 10},
};

}  // namespace

std::u32string shortCode(const std::u32string& base, const std::u32string& identifier, CodeList& codes) {
    std::u32string code = base;
    if (!identifier.empty()) {
        code = base.size() + identifier.size() <= 10 ? base + identifier
                                                     : base.substr(0, 10 - identifier.size()) + identifier;
    }
    if (codes.contains(code)) code = codes.firstFreeNumbered(code.size() >= 10 ? code.substr(0, 9) : code);
    if (code.size() > 10) code = code.substr(0, 8) + code.substr(code.size() - 2);
    return code;
}

TableReport ExportarAsignaturas(const RunContext& ctx) {
    TableReport report{.table = "ASIGNOMT"};
    const auto subjectsPath = findInput(ctx, tuxa::asignaturas, report);
    if (!subjectsPath) return report;

    LineReader subjects = LineReader::open(*subjectsPath);
    Table table = Table::create(ctx.htemp, "ASIGNOMT", kFields);
    const FieldId fCod = table.field("COD"), fCodLargo = table.field("CODLARGO"), fNombre = table.field("NOMBRE"),
                  fEsTarea = table.field("ESTAREA"), fCodTarea = table.field("CODTAREA"),
                  fCodTuxa = table.field("CODTUXA"), fCodIdiTuxa = table.field("CODIDITUXA");
    CodeList codes;

    for (std::u32string line; subjects.next(line);) {
        if (!isDataLine(line, tuxa::asignaturas.tag)) continue;
        ++report.linesRead;
        const std::u32string code = subject::code(line);
        const std::u32string name = subject::name(line);
        const std::u32string identifier = subject::identifier(line);
        const std::u32string longCode = name.empty() ? std::u32string() : name.front() + Iniciales(name);
        const std::u32string shortName = shortCode(asStored(subject::base(line)), asStored(identifier), codes);
        if (shortName.empty()) {
            report.drop("asignatura sin código", subjects.lineNumber());
            continue;
        }
        if (codes.contains(shortName)) {
            report.drop("código corto ya usado tras el corte a 10 caracteres", subjects.lineNumber());
            continue;
        }
        codes.add(shortName);
        table.append();
        table.writeString(fCod, shortName);
        table.writeString(fCodLargo, longCode);
        table.writeString(fNombre, name);
        table.writeBoolean(fEsTarea, false);
        table.writeString(fCodTuxa, code);
        table.writeString(fCodIdiTuxa, identifier);
        table.post();
        ++report.written;
    }

    if (const auto activitiesPath = ctx.tuxaPath(tuxa::actividades.fileName); fileExists(activitiesPath)) {
        LineReader activities = LineReader::open(activitiesPath);
        for (std::u32string line; activities.next(line);) {
            if (!isDataLine(line, tuxa::actividades.tag)) continue;
            ++report.linesRead;
            std::u32string code(1, U'*');
            code += asStored(activity::code.view(line));
            if (codes.contains(code)) {
                report.drop("código de actividad repetido (TUXA_ACTIVIDADES.TXT)", activities.lineNumber());
                continue;
            }
            codes.add(code);
            table.append();
            table.writeString(fCod, code);
            table.writeString(fCodLargo, activity::shortName(line));
            table.writeString(fNombre, activity::name(line));
            table.writeBoolean(fEsTarea, true);
            table.writeString(fCodTarea, activity::task(line));
            table.post();
            ++report.written;
        }
    }
    table.close();
    return report;
}

}  // namespace tht
