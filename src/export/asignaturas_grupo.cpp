// ASIGT: one record per subject a group is taught: the subject from ASIGNOMT,
// the group's details from GRUPOST, hours and lessons from the course lines,
// and one hour for a record left without.
#include <cstdint>
#include <unordered_map>

#include "export/course_lines.h"
#include "export/export_step.h"
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

// The subjects of ASIGNOMT by their TUXA code and identifier, and the groups
// of GRUPOST by their code: the first record of each key in stored order, as
// a walk from the first record finds it. Read once, so that each assignment
// line is one look-up in memory.
struct Subject {
    std::string code, tuxaCode;  // COD, CODTUXA
};
struct Group {
    std::string shift, level, year, letter;  // TURNO, NIVEL, CURSO, GRUPO
};

// Two values as one key: the first's length before it keeps ("AB", "C") and ("A", "BC") apart.
void pairKey(std::string_view a, std::string_view b, std::string& out) {
    out.clear();
    const auto n = static_cast<std::uint32_t>(a.size());
    out.append(reinterpret_cast<const char*>(&n), sizeof n).append(a).append(b);
}

std::unordered_map<std::string, Subject> subjectsOf(SchemaTable<N>& asignomt) {
    std::unordered_map<std::string, Subject> subjects;
    std::string tuxaCode, identifier, key;
    for (asignomt.first(); !asignomt.eof(); asignomt.next()) {
        asignomt.readText(N::CODTUXA, tuxaCode);
        asignomt.readText(N::CODIDITUXA, identifier);
        pairKey(tuxaCode, identifier, key);
        if (auto [it, added] = subjects.try_emplace(key); added) it->second = {asignomt.readText(N::COD), tuxaCode};
    }
    return subjects;
}

std::unordered_map<std::string, Group> groupsOf(SchemaTable<G>& grupost) {
    std::unordered_map<std::string, Group> groups;
    for (grupost.first(); !grupost.eof(); grupost.next()) {
        if (auto [it, added] = groups.try_emplace(grupost.readText(G::ABREV)); added)
            it->second = {grupost.readText(G::TURNO), grupost.readText(G::NIVEL), grupost.readText(G::CURSO),
                          grupost.readText(G::GRUPO)};
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
        const std::unordered_map<std::string, Subject> subjects = subjectsOf(subjectTable);
        const std::unordered_map<std::string, Group> groups = groupsOf(groupTable);
        const std::filesystem::path coursePath = ctx.tuxaPath(tuxa::asignaturasCurso.fileName);
        std::optional<CourseLines> course;
        if (fileExists(coursePath)) course.emplace(coursePath, ctx);

        // Each record is made whole from its line, the subjects, the groups
        // and the course lines, and written once: the table is never read back.
        // Its notes are kept apart and follow the dropped lines, as they always have.
        TableReport unheldNotes, groupNotes, hoursNotes;
        HoursByText hoursByText;
        const Group noGroup;
        std::string key;
        appendRecords(assignments, asigt, report, [&](const DataLine& line, SchemaTable<T>& t) {
            const std::string_view subjectCode = assignment::subject(line);
            const std::string_view identifier = assignment::identifier(line);
            pairKey(subjectCode, identifier, key);
            const auto subject = subjects.find(key);
            if (subject == subjects.end())
                return LineResult::dropped(msg::drop::kSubjectNotInAsignomt,
                                           msg::report::subjectValue(valueText(subjectCode), valueText(identifier)));
            const SourceLine from{assignments.fileName(), line.number};
            if (line.altered && (subjectCode.find('?') != std::string_view::npos ||
                                 identifier.find('?') != std::string_view::npos))
                unheldNotes.noteRecord(msg::drop::kSubjectCodeUnheld, t.recordNumber(),
                                       msg::report::subjectValue(valueText(subjectCode), valueText(identifier)), from);
            const std::string_view groupCode = assignment::group(line);
            t.write(T::CASIG, subject->second.code);
            t.write(T::CGRUP, groupCode);
            t.write(T::CTAREA, "*LEC");
            t.write(T::CASIGTUXA, subject->second.tuxaCode);
            t.write(T::CODIDITUXA, identifier);

            // The group's details: the first group of that code in stored order.
            const auto found = groups.find(std::string(groupCode));
            const Group& group = found == groups.end() ? noGroup : found->second;
            if (found == groups.end()) {
                groupNotes.noteRecord(msg::drop::kGroupNotInGrupost, t.recordNumber(),
                                      msg::report::labelled(msg::report::kGroup, valueText(groupCode)), from);
            } else {
                t.write(T::TURNO, group.shift);
                t.write(T::NIVEL, group.level);
                t.write(T::CURSO, group.year);
                t.write(T::GRUPO, group.letter);
            }
            if (course)
                fillHours(t, *course, {subject->second.tuxaCode, group.shift, group.level, group.year, identifier},
                          groupCode, hoursByText, hoursNotes, from);
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
