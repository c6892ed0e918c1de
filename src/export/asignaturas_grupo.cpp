// ASIGT: one record per subject a group is taught: the subject from ASIGNOMT,
// the group's details from GRUPOST, hours and lessons from the course lines,
// and one hour for a record left without.
#include <cstdint>
#include <unordered_map>

#include "export/course_lines.h"
#include "export/export_step.h"
#include "export/first_by_key.h"
#include "export/hours.h"
#include "export/steps.h"
#include "export/value_error.h"
#include "platform/files.h"
#include "platform/code_pages.h"

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

// Two values as one key: the first's length before it keeps ("AB", "C") and ("A", "BC") apart.
void pairKey(std::string_view a, std::string_view b, std::string& out) {
    out.clear();
    const auto n = static_cast<std::uint32_t>(a.size());
    out.append(reinterpret_cast<const char*>(&n), sizeof n).append(a).append(b);
}

// ASIGNOMT by CODTUXA and CODIDITUXA: COD and CODTUXA.
FirstByKey subjectsOf(SchemaTable<N>& asignomt) {
    FirstByKey subjects(2);
    std::string tuxaCode, identifier, code, key;
    for (asignomt.first(); !asignomt.eof(); asignomt.next()) {
        asignomt.readText(N::CODTUXA, tuxaCode);
        asignomt.readText(N::CODIDITUXA, identifier);
        asignomt.readText(N::COD, code);
        pairKey(tuxaCode, identifier, key);
        subjects.add(key, {code, tuxaCode});
    }
    return subjects;
}

// GRUPOST by ABREV: TURNO, NIVEL, CURSO and GRUPO.
FirstByKey groupsOf(SchemaTable<G>& grupost) {
    FirstByKey groups(4);
    std::string code, shift, level, year, letter;
    for (grupost.first(); !grupost.eof(); grupost.next()) {
        grupost.readText(G::ABREV, code);
        grupost.readText(G::TURNO, shift);
        grupost.readText(G::NIVEL, level);
        grupost.readText(G::CURSO, year);
        grupost.readText(G::GRUPO, letter);
        groups.add(code, {shift, level, year, letter});
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
        const FirstByKey subjects = subjectsOf(subjectTable);
        const FirstByKey groups = groupsOf(groupTable);
        const std::filesystem::path coursePath = ctx.tuxaPath(tuxa::asignaturasCurso.fileName);
        std::optional<CourseLines> course;
        if (fileExists(coursePath)) course.emplace(coursePath, ctx);

        // Each record is made whole from its line, the subjects, the groups
        // and the course lines, and written once: the table is never read back.
        // Its notes are kept apart and follow the dropped lines, as they always have.
        TableReport unheldNotes, groupNotes, hoursNotes;
        HoursByText hoursByText;
        std::string key;
        FirstByKey::Found subject, group;
        appendRecords(assignments, asigt, report, [&](const DataLine& line, SchemaTable<T>& t) {
            const std::string_view subjectCode = assignment::subject(line);
            const std::string_view identifier = assignment::identifier(line);
            pairKey(subjectCode, identifier, key);
            if (!subjects.find(key, subject))
                return LineResult::dropped(msg::drop::kSubjectNotInAsignomt,
                                           msg::report::subjectValue(valueText(subjectCode), valueText(identifier)));
            const SourceLine from{assignments.fileName(), line.number};
            if (line.altered && (subjectCode.find('?') != std::string_view::npos ||
                                 identifier.find('?') != std::string_view::npos))
                unheldNotes.noteRecord(msg::drop::kSubjectCodeUnheld, t.recordNumber(),
                                       msg::report::subjectValue(valueText(subjectCode), valueText(identifier)), from);
            const std::string_view groupCode = assignment::group(line);
            const std::string_view tuxaCode = subject.value(1);
            t.write(T::CASIG, subject.value(0));
            t.write(T::CGRUP, groupCode);
            t.write(T::CTAREA, "*LEC");
            t.write(T::CASIGTUXA, tuxaCode);
            t.write(T::CODIDITUXA, identifier);

            // The group's details: the first group of that code in stored order.
            // Without its group a record keeps those fields blank, and its course line is sought so.
            CourseKey courseKey{tuxaCode, {}, {}, {}, identifier};
            if (groups.find(groupCode, group)) {
                t.write(T::TURNO, courseKey.shift = group.value(0));
                t.write(T::NIVEL, courseKey.level = group.value(1));
                t.write(T::CURSO, courseKey.year = group.value(2));
                t.write(T::GRUPO, group.value(3));
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
