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

namespace {

template <class String>
String shortCodeOf(const String& base, const String& identifier, CodeList& codes) {
    String code = base;
    if (!identifier.empty()) {
        code = base.size() + identifier.size() <= 10 ? base + identifier
                                                     : base.substr(0, 10 - identifier.size()) + identifier;
    }
    if (codes.contains(code)) code = codes.firstFreeNumbered(code.size() >= 10 ? code.substr(0, 9) : code);
    if (code.size() > 10) code = code.substr(0, 8) + code.substr(code.size() - 2);
    return code;
}

// A field as the table will hold it: bytes of the tables' code page from a line of bytes.
std::u32string stored(std::u32string_view text) { return asStored(text); }
std::string stored(ByteText text) { return storedBytes(text); }

}  // namespace

std::u32string shortCode(const std::u32string& base, const std::u32string& identifier, CodeList& codes) {
    return shortCodeOf(base, identifier, codes);
}
std::string shortCode(const std::string& base, const std::string& identifier, CodeList& codes) {
    return shortCodeOf(base, identifier, codes);
}

TableReport ExportarAsignaturas(const ExportContext& ctx) {
    using T = horalina::Asignomt;
    return exportTable<T>(ctx, tuxa::asignaturas, [&](DataLines& subjects, SchemaTable<T>& table, TableReport& report) {
        CodeList codes;
        appendRecords(subjects, table, report, [&](const auto& line, SchemaTable<T>& t) {
            const auto identifier = subject::identifier.view(line);
            const auto shortName = shortCode(stored(subject::base.view(line)), stored(identifier), codes);
            if (shortName.empty()) return LineResult::dropped(msg::drop::kSubjectWithoutCode);
            if (codes.contains(shortName)) return LineResult::dropped(msg::drop::kShortCodeTaken);
            codes.add(shortName);
            t.write(T::COD, storedText(shortName));
            const std::u32string name = subject::name(line);
            t.write(T::CODLARGO, name.empty() ? std::u32string() : name.front() + Iniciales(name));
            t.write(T::NOMBRE, subject::name.view(line));
            t.writeBoolean(T::ESTAREA, false);
            t.write(T::CODTUXA, subject::code.view(line));
            t.write(T::CODIDITUXA, identifier);
            return LineResult::written();
        });

        // The activities file is optional: without it the table holds the subjects only.
        const auto activitiesPath = ctx.tuxaPath(tuxa::actividades.fileName);
        if (!fileExists(activitiesPath)) return;
        DataLines activities(activitiesPath, tuxa::actividades, ctx);
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
