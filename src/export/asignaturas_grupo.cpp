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

// The five values a course line must match, each behind its length, so that
// one hash lookup gives the first matching line.
std::u32string courseKey(std::u32string_view subject, std::u32string_view shift, std::u32string_view level,
                         std::u32string_view year, std::u32string_view identifier) {
    std::u32string key;
    key.reserve(subject.size() + shift.size() + level.size() + year.size() + identifier.size() + 4);
    for (std::u32string_view part : {subject, shift, level, year, identifier}) {
        key += static_cast<char32_t>(part.size());
        key += part;
    }
    return key;
}

struct CourseLine {
    std::u32string hours;
    std::int64_t line;
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
    std::unordered_map<std::u32string, CourseLine> firstLine;
    {
        const TextLines lines = TextLines::load(coursePath);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::u32string_view line = lines[i];
            if (!isDataLine(line, tuxa::asignaturasCurso.tag)) continue;
            firstLine.try_emplace(courseKey(course::subject(line), course::shift(line), course::level(line),
                                            course::year(line), course::identifier(line)),
                                  CourseLine{course::hours(line), static_cast<std::int64_t>(i) + 1});
        }
    }
    const FieldId fCasigTuxa = asigt.field("CASIGTUXA"), fTurno = asigt.field("TURNO"),
                  fNivel = asigt.field("NIVEL"), fCurso = asigt.field("CURSO"), fCodIdi = asigt.field("CODIDITUXA"),
                  fHoras = asigt.field("HORAS"), fSesiones = asigt.field("SESIONES");
    for (asigt.first(); !asigt.eof(); asigt.next()) {
        const auto it = firstLine.find(courseKey(asigt.readString(fCasigTuxa), asigt.readString(fTurno),
                                                 asigt.readString(fNivel), asigt.readString(fCurso),
                                                 asigt.readString(fCodIdi)));
        if (it == firstLine.end()) {
            report.noteRecord("sin línea de curso: 1 hora", asigt.recordNumber());
            continue;
        }
        const std::optional<double> hours = weeklyHours(it->second.hours);
        if (!hours)
            throw Error(ErrorKind::NotANumber,
                        {.file = displayPath(coursePath), .line = it->second.line, .value = toUtf8(it->second.hours)});
        asigt.edit();
        try {
            asigt.writeFloat(fHoras, *hours);
        } catch (const Error& e) {  // name the line the value came from, too
            if (e.kind() != ErrorKind::ValueTooWide) throw;
            ErrorContext where = e.context();
            where.file = displayPath(coursePath);
            where.line = it->second.line;
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
