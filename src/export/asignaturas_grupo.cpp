// ASIGT: one record per subject a group is taught, each made in four steps:
// create the record, copy the group's details, fill in hours and lessons from
// the course lines, and give one hour to a record left without.
#include <unordered_map>

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

namespace course {
constexpr Column level{2, 3};
constexpr Column shift{5, 3};
constexpr Column year{8, 3};
constexpr Column subject{24, 20};
constexpr Column hours{44, 6};
constexpr Column identifier{50, 6};
}  // namespace course

using T = horalina::Asigt;

// The five values a course line must match, tested in this order.
struct CourseKey {
    std::u32string_view subject, shift, level, year, identifier;

    bool operator==(const CourseKey&) const = default;
    std::uint64_t hash() const {
        std::uint64_t h = 1469598103934665603ULL;  // FNV-1a over each part and its length
        for (std::u32string_view part : {subject, shift, level, year, identifier}) {
            for (char32_t c : part) h = (h ^ c) * 1099511628211ULL;
            h = (h ^ (0x110000 + part.size())) * 1099511628211ULL;
        }
        return h;
    }
    std::u32string joined() const {
        std::u32string all;
        for (std::u32string_view part : {subject, shift, level, year, identifier}) {
            all += static_cast<char32_t>(part.size());
            all += part;
        }
        return all;
    }
};

CourseKey keyOfLine(std::u32string_view line) {
    return {course::subject.view(line), course::shift.view(line), course::level.view(line), course::year.view(line),
            course::identifier.view(line)};
}

// The first data line of each key in the course file, as a walk from the
// first line finds it, held as line numbers under a hash of the key: the
// file stays as its bytes and no key is copied but for the rare collision.
class FirstCourseLines {
public:
    explicit FirstCourseLines(const TextLines& lines) : lines_(lines) {
        std::u32string line, earlier;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            lines.line(i, line);
            if (!isDataLine(line, tuxa::asignaturasCurso.tag)) continue;
            const CourseKey key = keyOfLine(line);
            const auto [at, inserted] = byHash_.try_emplace(key.hash(), i);
            if (inserted) continue;
            lines.line(at->second, earlier);
            if (keyOfLine(earlier) != key) collided_.try_emplace(key.joined(), i);
        }
    }

    // The index of the first line with this key, decoded into line.
    std::optional<std::size_t> find(const CourseKey& key, std::u32string& line) const {
        if (const auto at = byHash_.find(key.hash()); at != byHash_.end()) {
            lines_.line(at->second, line);
            if (keyOfLine(line) == key) return at->second;
        }
        if (collided_.empty()) return std::nullopt;
        const auto at = collided_.find(key.joined());
        if (at == collided_.end()) return std::nullopt;
        lines_.line(at->second, line);
        return at->second;
    }

private:
    const TextLines& lines_;
    std::unordered_map<std::uint64_t, std::size_t> byHash_;
    std::unordered_map<std::u32string, std::size_t> collided_;  // keys whose hash an earlier key had taken
};

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

// The course file, read once, and the first line of each key in it.
struct CourseLines {
    CourseLines(const std::filesystem::path& path, const CodePage& codePage)
        : path(path), lines(TextLines::load(path, codePage)), first(lines) {}
    std::filesystem::path path;
    TextLines lines;
    FirstCourseLines first;
};

// Hours and lessons from the record's course line; one hour for a record without one.
void fillHours(SchemaTable<T>& asigt, const CourseLines& course, TableReport& notes) {
    std::u32string subject, shift, level, year, identifier, line;
    asigt.read(T::CASIGTUXA, subject);
    asigt.read(T::TURNO, shift);
    asigt.read(T::NIVEL, level);
    asigt.read(T::CURSO, year);
    asigt.read(T::CODIDITUXA, identifier);
    if (const auto found = course.first.find({subject, shift, level, year, identifier}, line)) {
        const std::u32string hoursText = course::hours(line);
        const auto lineNumber = static_cast<std::int64_t>(*found) + 1;
        const std::optional<double> hours = weeklyHours(hoursText);
        if (!hours)
            throw Error(TuxaValueError::NotANumber,
                        {.file = displayPath(course.path), .line = lineNumber, .value = toUtf8(hoursText)});
        try {
            asigt.writeFloat(T::HORAS, *hours);
        } catch (const Error& e) {  // name the line the value came from, too
            if (!e.is(TableError::ValueTooWide)) throw;
            ErrorContext where = e.context();
            where.file = displayPath(course.path);
            where.line = lineNumber;
            throw Error(TableError::ValueTooWide, std::move(where));
        }
        asigt.write(T::SESIONES, lessonPattern(*hours));
    } else {
        notes.noteRecord(msg::drop::kNoCourseLine, asigt.recordNumber());
    }
    if (asigt.readFloat(T::HORAS) != 0) return;
    asigt.writeFloat(T::HORAS, 1);
    asigt.write(T::SESIONES, U"1");
}

}  // namespace

TableReport ExportarAsignaturasGrupo(const ExportContext& ctx) {
    return exportTable<T>(ctx, tuxa::asignaturasGrupo, [&](DataLines& assignments, SchemaTable<T>& asigt,
                                                             TableReport& report) {
        auto subjects = SchemaTable<horalina::Asignomt>::open(ctx.tables, Access::Exclusive);
        auto groups = SchemaTable<horalina::Grupost>::open(ctx.tables, Access::Shared, /*readOnly=*/true);
        const std::filesystem::path coursePath = ctx.tuxaPath(tuxa::asignaturasCurso.fileName);
        std::optional<CourseLines> course;
        if (fileExists(coursePath)) course.emplace(coursePath, *ctx.codePage);

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
