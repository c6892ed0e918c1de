// ASIGT: one record per subject a group is taught, each made in four steps:
// create the record, copy the group's details, fill in hours and lessons from
// the course lines, and give one hour to a record left without.
#include <type_traits>
#include <unordered_map>

#include "export/course_lines.h"
#include "export/export_step.h"
#include "export/hours.h"
#include "export/steps.h"
#include "export/value_error.h"
#include "platform/files.h"
#include "charset/unicode.h"

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

// A field of the record being made, as bytes: ASIGT is ours, in a
// single-byte code page with text fields, so its bytes are always there.
ByteText bytesOf(const SchemaTable<T>& asigt, const horalina::Field<T>& f) { return asigt.readBytes(f).value(); }

// The keys a line gives: its bytes where it is read as bytes, else its characters.
template <class Line>
using KeyValue = std::conditional_t<std::is_same_v<Line, ByteDataLine>, ByteText, std::u32string>;

// A record per assignment line whose subject ASIGNOMT holds.
template <class Line>
LineResult createRecord(const Line& line, SchemaTable<T>& asigt, SchemaTable<N>& asignomt,
                        std::vector<KeyValue<Line>>& key) {
    if constexpr (std::is_same_v<Line, ByteDataLine>) {
        key[0] = assignment::subject.view(line);
        key[1] = assignment::identifier.view(line);
    } else {
        key[0] = assignment::subject(line);
        key[1] = assignment::identifier(line);
    }
    if (!asignomt.locate(std::array{N::CODTUXA, N::CODIDITUXA}, key))
        return LineResult::dropped(msg::drop::kSubjectNotInAsignomt,
                                   msg::report::subjectValue(valueText(assignment::subject.view(line)),
                                                             valueText(assignment::identifier.view(line))));
    asigt.copy(T::CASIG, asignomt, N::COD);
    asigt.write(T::CGRUP, assignment::group.view(line));
    asigt.write(T::CTAREA, U"*LEC");
    asigt.copy(T::CASIGTUXA, asignomt, N::CODTUXA);
    asigt.write(T::CODIDITUXA, key[1]);
    return LineResult::written();
}

// The group's details: the first group of that code in stored order, as a
// walk from the first record finds it.
void copyGroupDetails(SchemaTable<T>& asigt, SchemaTable<G>& grupost, std::vector<ByteText>& group,
                      TableReport& notes, SourceLine from) {
    group[0] = bytesOf(asigt, T::CGRUP);
    if (!grupost.locate(G::ABREV, group)) {
        notes.noteRecord(msg::drop::kGroupNotInGrupost, asigt.recordNumber(),
                         msg::report::labelled(msg::report::kGroup, valueText(group[0])), from);
        return;
    }
    asigt.copy(T::TURNO, grupost, G::TURNO);
    asigt.copy(T::NIVEL, grupost, G::NIVEL);
    asigt.copy(T::CURSO, grupost, G::CURSO);
    asigt.copy(T::GRUPO, grupost, G::GRUPO);
}

// The hours and lesson pattern of each hours text met: a district has
// hundreds of thousands of course lines and a few distinct hours.
class HoursByText {
public:
    struct Hours {
        std::optional<double> weekly;
        std::u32string lessons;
    };
    const Hours& of(const std::u32string& text) {
        auto [it, added] = known_.try_emplace(text);
        if (added) {
            it->second.weekly = weeklyHours(text);
            if (it->second.weekly) it->second.lessons = lessonPattern(*it->second.weekly);
        }
        return it->second;
    }

private:
    std::unordered_map<std::u32string, Hours> known_;
};

// Hours and lessons from the record's course line; one hour for a record without one.
void fillHours(SchemaTable<T>& asigt, const CourseLines& course, HoursByText& hoursByText, TableReport& notes,
               SourceLine from) {
    const ByteText subject = bytesOf(asigt, T::CASIGTUXA);
    const auto found = course.find({subject.bytes, bytesOf(asigt, T::TURNO).bytes, bytesOf(asigt, T::NIVEL).bytes,
                                    bytesOf(asigt, T::CURSO).bytes, bytesOf(asigt, T::CODIDITUXA).bytes,
                                    &subject.map->from()});
    if (!found) {
        notes.noteRecord(msg::drop::kNoCourseLine, asigt.recordNumber(),
                         msg::report::courseValue(valueText(subject), valueText(bytesOf(asigt, T::CGRUP)),
                                                  valueText(bytesOf(asigt, T::CODIDITUXA))),
                         from);
        asigt.writeFloat(T::HORAS, 1);
        asigt.write(T::SESIONES, U"1");
        return;
    }
    const std::u32string hoursText = course.hours(*found);
    const auto lineNumber = static_cast<std::int64_t>(*found) + 1;
    const HoursByText::Hours& known = hoursByText.of(hoursText);
    const std::optional<double>& hours = known.weekly;  // never below 1: no default hour is needed
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
    asigt.write(T::SESIONES, known.lessons);
}

}  // namespace

TableReport ExportarAsignaturasGrupo(const ExportContext& ctx) {
    return exportTable<T>(ctx, tuxa::asignaturasGrupo, [&](DataLines& assignments, SchemaTable<T>& asigt,
                                                             TableReport& report) {
        auto subjects = SchemaTable<N>::open(ctx.tables, Access::Exclusive);
        auto groups = SchemaTable<G>::open(ctx.tables, Access::Shared, /*readOnly=*/true);
        const std::filesystem::path coursePath = ctx.tuxaPath(tuxa::asignaturasCurso.fileName);
        std::optional<CourseLines> course;
        if (fileExists(coursePath)) course.emplace(coursePath, ctx);

        // Each record is finished before it is written, so the table is
        // never read back: what were four passes over it is one over the lines.
        // Its notes are kept apart and follow the dropped lines, as the passes gave them.
        TableReport groupNotes, hoursNotes;
        HoursByText hoursByText;
        std::vector<ByteText> byteKey(2), group(1);
        std::vector<std::u32string> key(2);
        appendRecords(assignments, asigt, report, [&](const auto& line, SchemaTable<T>& t) {
            LineResult result;
            if constexpr (std::is_same_v<std::decay_t<decltype(line)>, ByteDataLine>)
                result = createRecord(line, t, subjects, byteKey);
            else
                result = createRecord(line, t, subjects, key);
            if (!result.dropReason.empty()) return result;
            const SourceLine from{assignments.fileName(), line.number};
            copyGroupDetails(t, groups, group, groupNotes, from);
            if (course) fillHours(t, *course, hoursByText, hoursNotes, from);
            return result;
        });
        for (TableReport* notes : {&groupNotes, &hoursNotes})
            for (DropGroup& g : notes->drops) report.drops.push_back(std::move(g));
        if (course) addReadingWarnings(course->notes(), displayPath(coursePath), *ctx.codePage, report);
        else ctx.show(tuxa::asignaturasCurso.missingMessage);
        groups.close();
        subjects.close();
    });
}

}  // namespace tht
