// ASIGT: one record per subject a group is taught, in four passes over the
// new table: create the records, copy the group's details, fill in hours and
// lessons from the course lines, and give one hour to the records left without.
#include <unordered_map>

#include "export/hours.h"
#include "export/step_support.h"
#include "export/steps.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/unicode.h"
#include "store/table.h"
#include "text/line_reader.h"
#include "text/record.h"
#include "text/whole_file.h"

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

const std::vector<FieldDef> kFields = {
    {"CASIG", FieldType::String, 10},     {"CPROF", FieldType::String, 10},  {"CGRUP", FieldType::String, 10},
    {"CAULA", FieldType::String, 10},     {"CTAREA", FieldType::String, 10}, {"TURNO", FieldType::String, 1},
    {"NIVEL", FieldType::String, 5},      {"CURSO", FieldType::String, 3},   {"GRUPO", FieldType::String, 2},
    {"HORAS", FieldType::Float},          {"SESIONES", FieldType::String, 20}, {"NCONEX", FieldType::String, 4},
    {"CASIGTUXA", FieldType::String, 20}, {"CODIDITUXA", FieldType::String, 6},
};

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

void passCreateRecords(LineReader& input, Table& asigt, Table& asignomt, TableReport& report) {
    const FieldId fCasig = asigt.field("CASIG"), fCgrup = asigt.field("CGRUP"), fCtarea = asigt.field("CTAREA"),
                  fCasigTuxa = asigt.field("CASIGTUXA"), fCodIdi = asigt.field("CODIDITUXA");
    LazyField fCod(asignomt, "COD"), fCodTuxa(asignomt, "CODTUXA");
    std::vector<std::u32string> key(2);
    for (std::u32string line; input.next(line);) {
        if (!isDataLine(line, tuxa::asignaturasGrupo.tag)) continue;
        ++report.linesRead;
        key[0] = assignment::subject(line);
        key[1] = assignment::identifier(line);
        if (!asignomt.locate("CODTUXA;CODIDITUXA", key)) {
            report.drop("asignatura que no está en ASIGNOMT", input.lineNumber());
            continue;
        }
        const std::u32string cod = asignomt.readString(fCod());
        const std::u32string codTuxa = asignomt.readString(fCodTuxa());
        asigt.append();
        asigt.writeString(fCasig, cod);
        asigt.writeString(fCgrup, assignment::group(line));
        asigt.writeString(fCtarea, U"*LEC");
        asigt.writeString(fCasigTuxa, codTuxa);
        asigt.writeString(fCodIdi, key[1]);
        asigt.post();
        ++report.written;
    }
}

void passGroupDetails(const RunContext& ctx, Table& asigt, TableReport& report) {
    Table grupost = Table::open(ctx.htemp, "GRUPOST.DBF", Access::Shared, /*readOnly=*/true);
    LazyField gTurno(grupost, "TURNO"), gNivel(grupost, "NIVEL"), gCurso(grupost, "CURSO"), gGrupo(grupost, "GRUPO");
    const FieldId fCgrup = asigt.field("CGRUP"), fTurno = asigt.field("TURNO"), fNivel = asigt.field("NIVEL"),
                  fCurso = asigt.field("CURSO"), fGrupo = asigt.field("GRUPO");
    std::vector<std::u32string> group(1);
    for (asigt.first(); !asigt.eof(); asigt.next()) {
        group[0] = asigt.readString(fCgrup);
        // The first group of that code in stored order, as a walk from the first record finds it.
        if (!grupost.locate("ABREV", group)) {
            report.noteRecord("grupo que no está en GRUPOST", asigt.recordNumber());
            continue;
        }
        asigt.edit();
        asigt.writeString(fTurno, grupost.readString(gTurno()));
        asigt.writeString(fNivel, grupost.readString(gNivel()));
        asigt.writeString(fCurso, grupost.readString(gCurso()));
        asigt.writeString(fGrupo, grupost.readString(gGrupo()));
        asigt.post();
    }
    grupost.close();
}

void passHours(const std::filesystem::path& coursePath, Table& asigt, TableReport& report) {
    const TextLines lines = TextLines::load(coursePath);
    const FirstCourseLines firstLines(lines);
    const FieldId fCasigTuxa = asigt.field("CASIGTUXA"), fTurno = asigt.field("TURNO"),
                  fNivel = asigt.field("NIVEL"), fCurso = asigt.field("CURSO"), fCodIdi = asigt.field("CODIDITUXA"),
                  fHoras = asigt.field("HORAS"), fSesiones = asigt.field("SESIONES");
    std::u32string subject, shift, level, year, identifier, line;
    for (asigt.first(); !asigt.eof(); asigt.next()) {
        asigt.readString(fCasigTuxa, subject);
        asigt.readString(fTurno, shift);
        asigt.readString(fNivel, level);
        asigt.readString(fCurso, year);
        asigt.readString(fCodIdi, identifier);
        const auto found = firstLines.find({subject, shift, level, year, identifier}, line);
        if (!found) {
            report.noteRecord("sin línea de curso: 1 hora", asigt.recordNumber());
            continue;
        }
        const std::u32string hoursText = course::hours(line);
        const auto lineNumber = static_cast<std::int64_t>(*found) + 1;
        const std::optional<double> hours = weeklyHours(hoursText);
        if (!hours)
            throw Error(ErrorKind::NotANumber,
                        {.file = displayPath(coursePath), .line = lineNumber, .value = toUtf8(hoursText)});
        asigt.edit();
        try {
            asigt.writeFloat(fHoras, *hours);
        } catch (const Error& e) {  // name the line the value came from, too
            if (e.kind() != ErrorKind::ValueTooWide) throw;
            ErrorContext where = e.context();
            where.file = displayPath(coursePath);
            where.line = lineNumber;
            throw Error(ErrorKind::ValueTooWide, std::move(where));
        }
        asigt.writeString(fSesiones, lessonPattern(*hours));
        asigt.post();
    }
}

void passDefaultHours(Table& asigt) {
    const FieldId fHoras = asigt.field("HORAS"), fSesiones = asigt.field("SESIONES");
    for (asigt.first(); !asigt.eof(); asigt.next()) {
        if (asigt.readFloat(fHoras) != 0) continue;
        asigt.edit();
        asigt.writeFloat(fHoras, 1);
        asigt.writeString(fSesiones, U"1");
        asigt.post();
    }
}

}  // namespace

TableReport ExportarAsignaturasGrupo(const RunContext& ctx) {
    TableReport report{.table = "ASIGT"};
    const auto assignmentsPath = findInput(ctx, tuxa::asignaturasGrupo, report);
    if (!assignmentsPath) return report;

    LineReader assignments = LineReader::open(*assignmentsPath);
    Table asigt = Table::create(ctx.htemp, "ASIGT", kFields);
    Table wwTableNomAsg = Table::open(ctx.htemp, "ASIGNOMT", Access::Exclusive);
    passCreateRecords(assignments, asigt, wwTableNomAsg, report);
    passGroupDetails(ctx, asigt, report);

    const std::filesystem::path coursePath = ctx.tuxaPath(tuxa::asignaturasCurso.fileName);
    if (!fileExists(coursePath)) {
        ctx.show(std::string(tuxa::asignaturasCurso.missingMessage));
        asigt.close();
        wwTableNomAsg.close();
        return report;
    }
    passHours(coursePath, asigt, report);
    passDefaultHours(asigt);
    asigt.close();
    wwTableNomAsg.close();
    return report;
}

}  // namespace tht
