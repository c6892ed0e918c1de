// ASIGT: one record per subject a group is taught: the subject from ASIGNOMT,
// the group's details from GRUPOST, hours and lessons from the course lines,
// and one hour for a record left without.
#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>

#include "export/course_lines.h"
#include "export/export_step.h"
#include "export/hours.h"
#include "export/steps.h"
#include "export/value_error.h"
#include "platform/files.h"
#include "platform/code_pages.h"
#include "run/lookup_index.h"

namespace tht {
namespace {

namespace assignment {
constexpr Column group{2, 10};
constexpr Column subject{12, 20};
constexpr Column identifier{32, 6};
}  // namespace assignment

using T = horalina::Asigt;
using N = horalina::Asignomt;
using G = horalina::Grupost;

// ASIGNOMT by CODTUXA and CODIDITUXA: COD and CODTUXA.
LookupIndex subjectsOf(SchemaTable<N>& asignomt) {
    LookupIndex subjects(2);
    std::string key[2], code;
    for (asignomt.first(); !asignomt.eof(); asignomt.next()) {
        asignomt.readText(N::CODTUXA, key[0]);
        asignomt.readText(N::CODIDITUXA, key[1]);
        if (const auto entry = subjects.add(key)) {
            asignomt.readText(N::COD, code);
            subjects.setValue(*entry, 0, code);
            subjects.setValue(*entry, 1, key[0]);
        }
    }
    return subjects;
}

// GRUPOST by ABREV: TURNO, NIVEL, CURSO and GRUPO.
LookupIndex groupsOf(SchemaTable<G>& grupost) {
    LookupIndex groups(4);
    std::string code[1], value;
    for (grupost.first(); !grupost.eof(); grupost.next()) {
        grupost.readText(G::ABREV, code[0]);
        const auto entry = groups.add(code);
        if (!entry) continue;
        std::size_t i = 0;
        for (const auto& field : {G::TURNO, G::NIVEL, G::CURSO, G::GRUPO}) {
            grupost.readText(field, value);
            groups.setValue(*entry, i++, value);
        }
    }
    return groups;
}

// The hours and lesson pattern of each hours text met: a district has
// hundreds of thousands of course lines and a few distinct hours.
class HoursByText {
public:
    struct Hours {
        std::optional<double> weekly;
        std::string lessons;  // in the tables' page
    };
    const Hours& of(std::string_view text) {
        auto [it, added] = known_.try_emplace(std::string(text));
        if (added) {
            it->second.weekly = weeklyHours(windows1252().decode(text));
            if (it->second.weekly) it->second.lessons = windows1252().encode(lessonPattern(*it->second.weekly));
        }
        return it->second;
    }

private:
    std::unordered_map<std::string, Hours> known_;
};

// Hours and lessons from the record's course line; one hour for a record without one.
void fillHours(SchemaTable<T>& asigt, const CourseLines& course, const CourseKey& key, std::string_view groupCode,
               HoursByText& hoursByText, TableReport& notes, SourceLine from) {
    const auto found = course.find(key);
    if (!found) {
        notes.noteRecord(msg::drop::kNoCourseLine, asigt.recordNumber(),
                         msg::report::courseValue(valueText(key.subject), valueText(groupCode),
                                                  valueText(key.identifier)),
                         from);
        asigt.writeFloat(T::HORAS, 1);
        asigt.write(T::SESIONES, "1");
        return;
    }
    const std::string_view hoursText = course.hours(*found);
    const auto lineNumber = static_cast<std::int64_t>(*found) + 1;
    const HoursByText::Hours& known = hoursByText.of(hoursText);
    const std::optional<double>& hours = known.weekly;  // never below 1: no default hour is needed
    if (!hours)
        throw Error(TuxaValueError::NotANumber,
                    {.file = displayPath(course.path()), .line = lineNumber, .value = valueText(hoursText)});
    try {
        asigt.writeFloat(T::HORAS, *hours);
    } catch (const Error& e) {  // name the line the value came from, too
        if (!e.is(TableError::ValueTooWide)) throw;
        ErrorContext where = e.context();
        where.file = displayPath(course.path());
        where.line = lineNumber;
        throw Error(TableError::ValueTooWide, std::move(where));
    }
    asigt.write(T::SESIONES, known.lessons);
}

}  // namespace

TableReport ExportarAsignaturasGrupo(const ExportContext& ctx) {
    return exportTable<T>(ctx, tuxa::asignaturasGrupo, [&](DataLines& assignments, SchemaTable<T>& asigt,
                                                             TableReport& report) {
        auto subjectTable = SchemaTable<N>::open(ctx.tables, Access::Exclusive);
        auto groupTable = SchemaTable<G>::open(ctx.tables, Access::Shared, /*readOnly=*/true);
        // Read once: each assignment line is then one look-up in each.
        LookupIndex subjects = subjectsOf(subjectTable);
        LookupIndex groups = groupsOf(groupTable);
        const std::filesystem::path coursePath = ctx.tuxaPath(tuxa::asignaturasCurso.fileName);
        std::optional<CourseLines> course;
        if (fileExists(coursePath)) course.emplace(coursePath, ctx);

        // Each record is made whole from its line, the subjects, the groups
        // and the course lines, and written once: the table is never read back.
        // Its notes are kept apart and follow the dropped lines, as they always have.
        TableReport unheldNotes, groupNotes, hoursNotes;
        HoursByText hoursByText;
        appendRecords(assignments, asigt, report, [&](const DataLine& line, SchemaTable<T>& t) {
            const std::string_view subjectCode = assignment::subject(line);
            const std::string_view identifier = assignment::identifier(line);
            const std::optional<std::size_t> subject = subjects.find(std::array{subjectCode, identifier});
            if (!subject)
                return LineResult::dropped(msg::drop::kSubjectNotInAsignomt,
                                           msg::report::subjectValue(valueText(subjectCode), valueText(identifier)));
            const SourceLine from{assignments.fileName(), line.number};
            if (line.altered && (subjectCode.find('?') != std::string_view::npos ||
                                 identifier.find('?') != std::string_view::npos))
                unheldNotes.noteRecord(msg::drop::kSubjectCodeUnheld, t.recordNumber(),
                                       msg::report::subjectValue(valueText(subjectCode), valueText(identifier)), from);
            const std::string_view groupCode = assignment::group(line);
            const std::string_view tuxaCode = subjects.value(*subject, 1);
            t.write(T::CASIG, subjects.value(*subject, 0));
            t.write(T::CGRUP, groupCode);
            t.write(T::CTAREA, "*LEC");
            t.write(T::CASIGTUXA, tuxaCode);
            t.write(T::CODIDITUXA, identifier);

            // The group's details: the first group of that code in stored order.
            // Without its group a record keeps those fields blank, and its course line is sought so.
            CourseKey courseKey{tuxaCode, {}, {}, {}, identifier};
            if (const auto group = groups.find(std::array{groupCode})) {
                t.write(T::TURNO, courseKey.shift = groups.value(*group, 0));
                t.write(T::NIVEL, courseKey.level = groups.value(*group, 1));
                t.write(T::CURSO, courseKey.year = groups.value(*group, 2));
                t.write(T::GRUPO, groups.value(*group, 3));
            } else {
                groupNotes.noteRecord(msg::drop::kGroupNotInGrupost, t.recordNumber(),
                                      msg::report::labelled(msg::report::kGroup, valueText(groupCode)), from);
            }
            if (course) fillHours(t, *course, courseKey, groupCode, hoursByText, hoursNotes, from);
            return LineResult::written();
        });
        for (TableReport* notes : {&unheldNotes, &groupNotes, &hoursNotes})
            for (DropGroup& g : notes->drops) report.drops.push_back(std::move(g));
        if (course) addReadingWarnings(course->notes(), displayPath(coursePath), *ctx.codePage, report);
        else ctx.show(tuxa::asignaturasCurso.missingMessage);
        groupTable.close();
        subjectTable.close();
    });
}

}  // namespace tht
