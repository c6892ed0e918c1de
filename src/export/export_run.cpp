#include "export/export_run.h"

#include "base/messages.h"
#include "run/run_lock.h"
#include "export/steps.h"
#include "platform/files.h"
#include "platform/temporary_files.h"

namespace tht {

RunResult exportar(const RunContext& ctx) {
    if (auto missing = missingTuxaFolder(ctx, -1)) return *missing;
    RunResult result;
    result.status = 1;
    try {
        // Horalina's folder is made when missing; if that fails, the first step
        // that writes a table says so, naming it.
        requireListableFolder(pathFromUtf8(ctx.dirTxt));
        std::error_code ignored;
        std::filesystem::create_directories(ctx.htemp, ignored);
        const RunLock lock = RunLock::take(ctx.htemp, RunLock::Use::Alone);
        noteRecovery(ctx, lock.recovered(), result.reports);
        removeStaleTemporaries(ctx.htemp);

        // The six tables take their names together, once every step has ended.
        TableBatch tables(ctx.htemp);
        if (ctx.keepReplaced) tables.keepReplaced(ctx.clock());
        const ExportContext steps(ctx, tables);
        for (auto step : {ExportarAsignaturas, ExportarProfesores, ExportarAulas, ExportarGrupos,
                          ExportarAsignaturasGrupo, ExportarSesiones}) {
            const TableReport& report = result.reports.emplace_back(step(steps));
            if (report.fileMissing) result.status = -1;
        }
        tables.commit();
        if (ctx.keepReplaced) result.keptSet = tables.keptSet();
    } catch (const Error& e) {
        // Nothing was replaced: Horalina must not open a half-converted school.
        result.outcome = RunOutcome::Stopped;
        result.status = 0;
        result.error = e;
        return result;
    }
    ctx.show(msg::kRunFinished);
    return result;
}

}  // namespace tht
