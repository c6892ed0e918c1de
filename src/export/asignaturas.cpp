// ASIGNOMT: one record per subject and per activity, subjects first.
#include <unordered_set>

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

std::string shortCode(const std::string& base, const std::string& identifier, CodeList& codes) {
    std::string code = base;
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
        std::string base, identifier, initials;  // reused across lines
        std::unordered_set<std::string> codesWithQuestionMarks;  // CODTUXA and CODIDITUXA, as written
        TableReport merged;  // its notes follow the dropped lines
        appendRecords(subjects, table, report, [&](const DataLine& line, SchemaTable<T>& t) {
            identifier.assign(subject::identifier(line));
            base.assign(subject::base(line));
            const std::string shortName = shortCode(base, identifier, codes);
            if (shortName.empty())
                return LineResult::dropped(msg::drop::kSubjectWithoutCode,
                                           msg::report::labelled(msg::report::kName, valueText(subject::name(line))));
            if (codes.contains(shortName))
                return LineResult::dropped(msg::drop::kShortCodeTaken,
                                           msg::report::subjectValue(valueText(subject::code(line)),
                                                                     valueText(identifier)));
            codes.add(shortName);
            t.write(T::COD, shortName);
            const std::string_view name = subject::name(line);
            initials.clear();
            if (!name.empty()) initials.append(1, name.front()).append(Iniciales(name));
            t.write(T::CODLARGO, initials);
            t.write(T::NOMBRE, name);
            t.writeBoolean(T::ESTAREA, false);
            t.write(T::CODTUXA, subject::code(line));
            t.write(T::CODIDITUXA, identifier);
            if (const std::string_view code = subject::code(line);
                code.find('?') != std::string_view::npos || identifier.find('?') != std::string::npos) {
                std::string key(code);
                key.append(1, '\0').append(identifier);
                if (!codesWithQuestionMarks.insert(std::move(key)).second && line.altered)
                    merged.noteRecord(msg::drop::kSubjectCodeMerged, t.recordNumber(),
                                      msg::report::subjectValue(valueText(code), valueText(identifier)),
                                      SourceLine{subjects.fileName(), line.number});
            }
            return LineResult::written();
        });
        for (DropGroup& g : merged.drops) report.drops.push_back(std::move(g));

        // The activities file is optional: without it the table holds the subjects only.
        const auto activitiesPath = ctx.tuxaPath(tuxa::actividades.fileName);
        if (!fileExists(activitiesPath)) return;
        DataLines activities(activitiesPath, tuxa::actividades, ctx);
        std::string code;
        appendRecords(activities, table, report, [&](const DataLine& line, SchemaTable<T>& t) {
            code.assign(1, '*').append(activity::code(line));
            if (codes.contains(code))
                return LineResult::dropped(
                    msg::drop::kActivityRepeated,
                    msg::report::labelled(msg::report::kActivity, valueText(activity::code(line))));
            codes.add(code);
            t.write(T::COD, code);
            t.write(T::CODLARGO, activity::shortName(line));
            t.write(T::NOMBRE, activity::name(line));
            t.writeBoolean(T::ESTAREA, true);
            t.write(T::CODTAREA, activity::task(line));
            return LineResult::written();
        });
        activities.noteOddities(report);
    });
}

}  // namespace tht
