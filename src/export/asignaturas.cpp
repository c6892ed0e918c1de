// ASIGNOMT: one record per subject and per activity, subjects first.
#include "export/export_step.h"
#include "export/short_code.h"
#include "export/steps.h"
#include "platform/files.h"
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

TableReport ExportarAsignaturas(const ExportContext& ctx) {
    using T = horalina::Asignomt;
    return exportTable<T>(ctx, tuxa::asignaturas, [&](DataLines& subjects, SchemaTable<T>& table, TableReport& report) {
        CodeList codes;
        appendRecords(subjects, table, report, [&](const auto& line, SchemaTable<T>& t) {
            const std::u32string name = subject::name(line);
            const std::u32string identifier = subject::identifier(line);
            const std::u32string shortName = shortCode(asStored(subject::base(line)), asStored(identifier), codes);
            if (shortName.empty()) return LineResult::dropped(msg::drop::kSubjectWithoutCode);
            if (codes.contains(shortName)) return LineResult::dropped(msg::drop::kShortCodeTaken);
            codes.add(shortName);
            t.write(T::COD, shortName);
            t.write(T::CODLARGO, name.empty() ? std::u32string() : name.front() + Iniciales(name));
            t.write(T::NOMBRE, name);
            t.writeBoolean(T::ESTAREA, false);
            t.write(T::CODTUXA, subject::code.view(line));
            t.write(T::CODIDITUXA, identifier);
            return LineResult::written();
        });

        // The activities file is optional: without it the table holds the subjects only.
        const auto activitiesPath = ctx.tuxaPath(tuxa::actividades.fileName);
        if (!fileExists(activitiesPath)) return;
        DataLines activities(activitiesPath, tuxa::actividades, *ctx.codePage, ctx.lineBytes());
        appendRecords(activities, table, report, [&](const auto& line, SchemaTable<T>& t) {
            std::u32string code(1, U'*');
            code += asStored(activity::code.view(line));
            if (codes.contains(code)) return LineResult::dropped(msg::drop::kActivityRepeated);
            codes.add(code);
            t.write(T::COD, code);
            t.write(T::CODLARGO, activity::shortName.view(line));
            t.write(T::NOMBRE, activity::name.view(line));
            t.writeBoolean(T::ESTAREA, true);
            t.write(T::CODTAREA, activity::task.view(line));
            return LineResult::written();
        });
        activities.noteOddities(report);
    });
}

}  // namespace tht
