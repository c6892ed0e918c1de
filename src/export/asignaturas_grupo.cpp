// ASIGT: one record per subject a group is taught, each made in four steps:
// create the record, copy the group's details, fill in hours and lessons from
// the course lines, and give one hour to a record left without.
#include "export/course_lines.h"
#include "export/export_step.h"
#include "export/hours.h"
#include "export/steps.h"
#include "export/value_error.h"
#include "platform/files.h"
#include "platform/unicode.h"

namespace tht {
namespace {

namespace assignment {
constexpr Column group{2, 10};
constexpr Column subject{12, 20};
constexpr Column identifier{32, 6};
}  // namespace assignment

using T = horalina::Asigt;

// A record per assignment line whose subject ASIGNOMT holds.
template <class Line>
LineResult createRecord(const Line& line, SchemaTable<T>& asigt, SchemaTable<horalina::Asignomt>& asignomt,
                        std::vector<std::u32string>& key) {
    using N = horalina::Asignomt;
    key[0] = assignment::subject(line);
    key[1] = assignment::identifier(line);
    if (!asignomt.locate(std::array{N::CODTUXA, N::CODIDITUXA}, key))
        return LineResult::dropped(msg::drop::kSubjectNotInAsignomt);
    asigt.write(T::CASIG, asignomt.read(N::COD));
    asigt.write(T::CGRUP, assignment::group.view(line));
    asigt.write(T::CTAREA, U"*LEC");
    asigt.write(T::CASIGTUXA, asignomt.read(N::CODTUXA));
    asigt.write(T::CODIDITUXA, key[1]);
    return LineResult::written();
}

// The group's details: the first group of that code in stored order, as a
// walk from the first record finds it.
void copyGroupDetails(SchemaTable<T>& asigt, SchemaTable<horalina::Grupost>& grupost,
                      std::vector<std::u32string>& group, TableReport& notes) {
    using G = horalina::Grupost;
    group[0] = asigt.read(T::CGRUP);
    if (!grupost.locate(G::ABREV, group)) {
        notes.noteRecord(msg::drop::kGroupNotInGrupost, asigt.recordNumber());
        return;
    }
    asigt.write(T::TURNO, grupost.read(G::TURNO));
    asigt.write(T::NIVEL, grupost.read(G::NIVEL));
    asigt.write(T::CURSO, grupost.read(G::CURSO));
    asigt.write(T::GRUPO, grupost.read(G::GRUPO));
}

// Hours and lessons from the record's course line; one hour for a record without one.
void fillHours(SchemaTable<T>& asigt, const CourseLines& course, TableReport& notes) {
    std::u32string subject, shift, level, year, identifier;
    asigt.read(T::CASIGTUXA, subject);
    asigt.read(T::TURNO, shift);
    asigt.read(T::NIVEL, level);
    asigt.read(T::CURSO, year);
    asigt.read(T::CODIDITUXA, identifier);
    const auto found = course.find({subject, shift, level, year, identifier});
    if (!found) {
        notes.noteRecord(msg::drop::kNoCourseLine, asigt.recordNumber());
        asigt.writeFloat(T::HORAS, 1);
        asigt.write(T::SESIONES, U"1");
        return;
    }
    const std::u32string hoursText = course.hours(*found);
    const auto lineNumber = static_cast<std::int64_t>(*found) + 1;
    const std::optional<double> hours = weeklyHours(hoursText);  // never below 1: no default hour is needed
    if (!hours)
        throw Error(TuxaValueError::NotANumber,
                    {.file = displayPath(course.path()), .line = lineNumber, .value = toUtf8(hoursText)});
    try {
        asigt.writeFloat(T::HORAS, *hours);
    } catch (const Error& e) {  // name the line the value came from, too
        if (!e.is(TableError::ValueTooWide)) throw;
        ErrorContext where = e.context();
        where.file = displayPath(course.path());
        where.line = lineNumber;
        throw Error(TableError::ValueTooWide, std::move(where));
    }
    asigt.write(T::SESIONES, lessonPattern(*hours));
}

}  // namespace

TableReport ExportarAsignaturasGrupo(const ExportContext& ctx) {
    return exportTable<T>(ctx, tuxa::asignaturasGrupo, [&](DataLines& assignments, SchemaTable<T>& asigt,
                                                             TableReport& report) {
        auto subjects = SchemaTable<horalina::Asignomt>::open(ctx.tables, Access::Exclusive);
        auto groups = SchemaTable<horalina::Grupost>::open(ctx.tables, Access::Shared, /*readOnly=*/true);
        const std::filesystem::path coursePath = ctx.tuxaPath(tuxa::asignaturasCurso.fileName);
        std::optional<CourseLines> course;
        if (fileExists(coursePath)) course.emplace(coursePath, *ctx.codePage, ctx.lineBytes() != nullptr);

        // Each record is finished before it is written, so the table is
        // never read back: what were four passes over it is one over the lines.
        // Its notes are kept apart and follow the dropped lines, as the passes gave them.
        TableReport groupNotes, hoursNotes;
        std::vector<std::u32string> key(2), group(1);
        appendRecords(assignments, asigt, report, [&](const auto& line, SchemaTable<T>& t) {
            const LineResult result = createRecord(line, t, subjects, key);
            if (!result.dropReason.empty()) return result;
            copyGroupDetails(t, groups, group, groupNotes);
            if (course) fillHours(t, *course, hoursNotes);
            return result;
        });
        for (TableReport* notes : {&groupNotes, &hoursNotes})
            for (DropGroup& g : notes->drops) report.drops.push_back(std::move(g));
        if (!course) ctx.show(tuxa::asignaturasCurso.missingMessage);
        groups.close();
        subjects.close();
    });
}

}  // namespace tht
