// The Horalina-to-TUXA run: each entry of Horalina's solution SOLUC becomes a
// detail line of "TUXA_HORARIO.TXT", its codes resolved through the tables
// that the export wrote.
#include "import/import_run.h"

#include "import/timetable_file.h"
#include "platform/files.h"
#include "store/table.h"
#include "text/record.h"
#include "text/trim.h"
#include "text/tuxa_files.h"
#include "text/whole_file.h"

namespace tht {
namespace {

// Columns 52-59 of the subjects file's first title line, exactly as they stand.
std::u32string centreCode(const RunContext& ctx) {
    const TextLines lines = TextLines::load(ctx.tuxaPath(tuxa::asignaturas.fileName));
    std::u32string line;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines.line(i, line);
        if (!line.empty() && line[0] == U'0') return std::u32string(rawSlice(line, 52, 8));
    }
    return {};
}

std::u32string dayLetter(const std::u32string& dayText) {
    static constexpr std::u32string_view letters = U"LMXJVSD";
    if (dayText.size() == 1 && dayText[0] >= U'1' && dayText[0] <= U'7') return {letters[dayText[0] - U'1']};
    return dayText;
}

}  // namespace

RunOutcome importar(const RunContext& ctx, std::vector<TableReport>& reports) {
    if (!folderExists(pathFromUtf8(ctx.dirTxt))) {
        ctx.show("No existe la carpeta");
        if (ctx.ModoEjecucion == 2) *ctx.EstadoTransformacion = 0;
        return RunOutcome::FolderMissing;
    }
    TableReport& report = reports.emplace_back(TableReport{.table = std::string(kTimetableFileName)});
    const std::u32string centre = centreCode(ctx);
    TimetableText text;
    text.add(titleLine(centre, ctx.clock()));

    {
        Table wwTableSoluc = Table::open(ctx.htemp, "SOLUC", Access::Exclusive);
        Table wwTableGrupos = Table::open(ctx.htemp, "GRUPOST", Access::Exclusive);
        Table wwTableProfesor = Table::open(ctx.htemp, "PROFT", Access::Exclusive);
        Table wwTableAulas = Table::open(ctx.htemp, "AULAT", Access::Exclusive);
        Table wwTableNomAsg = Table::open(ctx.htemp, "ASIGNOMT", Access::Exclusive);
        Table wwTableTramos = Table::open(ctx.htemp, "DIASHORAST", Access::Exclusive);

        // Fields are found when an entry first needs them, as a record-by-record
        // reading would: a table that lacks one fails only where it is read.
        LazyField sDia(wwTableSoluc, "DIA"), sHora(wwTableSoluc, "HORA"), sMarco(wwTableSoluc, "MARCO"),
            sProf(wwTableSoluc, "PROF"), sCodGrupo(wwTableSoluc, "CODGRUPO"), sTarea(wwTableSoluc, "TAREA"),
            sAsig(wwTableSoluc, "ASIG"), sAula(wwTableSoluc, "AULA");
        LazyField gAbrev(wwTableGrupos, "ABREV"), aAbrev(wwTableAulas, "ABREV"), tCoddiho(wwTableTramos, "CODDIHO"),
            nCodTarea(wwTableNomAsg, "CODTAREA"), nCodTuxa(wwTableNomAsg, "CODTUXA"),
            nCodIdi(wwTableNomAsg, "CODIDITUXA");
        std::vector<std::u32string> slot(3), key(1);

        // A group or room code as its table holds it, else the entry's own code cut to the column.
        auto codeIn = [&](Table& table, LazyField& abrev, LazyField& own, const char* missing, std::int64_t record) {
            key[0] = wwTableSoluc.readString(own());
            if (table.locate("ABREV", key)) return table.readString(abrev());
            report.noteRecord(missing, record);
            return key[0].substr(0, 10);
        };

        for (wwTableSoluc.first(); !wwTableSoluc.eof(); wwTableSoluc.next()) {
            ++report.linesRead;
            const std::int64_t record = wwTableSoluc.recordNumber();
            if (wwTableSoluc.readInteger(sDia()) == 0) {
                report.noteRecord("DIA 0: sin línea", record);
                continue;
            }
            DetailValues v;
            slot[0] = wwTableSoluc.readString(sDia());
            slot[1] = wwTableSoluc.readString(sHora());
            slot[2] = wwTableSoluc.readString(sMarco()).substr(0, 1);
            // The first slot in stored order with this day, hour and frame.
            if (wwTableTramos.locate("DIA;HORA;MARCO", slot))
                v.slot = wwTableTramos.readString(tCoddiho());
            else
                report.noteRecord("tramo que no está en DIASHORAST", record);
            v.day = dayLetter(slot[0]);
            v.teacher = wwTableSoluc.readString(sProf());

            v.group = codeIn(wwTableGrupos, gAbrev, sCodGrupo, "grupo que no está en GRUPOST", record);

            key[0] = wwTableSoluc.readString(sTarea());
            if (wwTableNomAsg.locate("COD", key)) {
                v.task = wwTableNomAsg.readString(nCodTarea());
            } else {
                v.task = U"LEC";
                report.noteRecord("tarea que no está en ASIGNOMT: LEC", record);
            }

            key[0] = wwTableSoluc.readString(sAsig());
            if (wwTableNomAsg.locate("COD", key)) {
                v.subject = wwTableNomAsg.readString(nCodTuxa());
                if (std::u32string id = AllTrim(wwTableNomAsg.readString(nCodIdi())); !id.empty()) v.suffix = id;
                if (v.subject == U"RE") v.suffix = U"   " + v.suffix;
            } else {
                v.subject = key[0].substr(0, 20);
                report.noteRecord("asignatura que no está en ASIGNOMT", record);
            }

            v.room = codeIn(wwTableAulas, aAbrev, sAula, "aula que no está en AULAT", record);
            text.add(detailLine(v));
            ++report.written;
        }
        wwTableSoluc.close();
        wwTableGrupos.close();
        wwTableProfesor.close();
        wwTableAulas.close();
        wwTableNomAsg.close();
        wwTableTramos.close();
    }

    text.add(trailerLine(centre, ctx.clock(), text.lines() - 1));
    saveTimetable(text, ctx.dirTxt);
    *ctx.EstadoTransformacion = 1;
    ctx.show("Proceso finalizado");
    return RunOutcome::Completed;
}

}  // namespace tht
