#include "export/export_run.h"

#include "base/messages.h"
#include "export/steps.h"
#include "platform/files.h"

namespace tht {

RunResult exportar(const RunContext& ctx) {
    RunResult result;
    if (!folderExists(ctx.dirTxt)) {
        ctx.show(msg::kFolderMissing);
        result.outcome = RunOutcome::FolderMissing;
        if (ctx.mode == InvocationMode::CommandLine) result.status = -1;
        return result;
    }
    result.status = 1;
    // Horalina's folder is made when missing; if that fails, the first step
    // that writes a table says so, naming it.
    std::error_code ignored;
    std::filesystem::create_directories(ctx.htemp, ignored);
    try {
        for (auto step : {ExportarAsignaturas, ExportarProfesores, ExportarAulas, ExportarGrupos,
                          ExportarAsignaturasGrupo, ExportarSesiones}) {
            const TableReport& report = result.reports.emplace_back(step(ctx));
            if (report.fileMissing) result.status = -1;
        }
    } catch (const Error& e) {
        result.outcome = RunOutcome::Stopped;
        result.error = e;
        return result;
    }
    ctx.show(msg::kRunFinished);
    return result;
}

}  // namespace tht
