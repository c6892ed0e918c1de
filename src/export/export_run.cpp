#include "export/export_run.h"

#include "export/steps.h"
#include "platform/files.h"

namespace tht {

RunOutcome exportar(const RunContext& ctx, std::vector<TableReport>& reports) {
    if (!folderExists(pathFromUtf8(ctx.dirTxt))) {
        ctx.show("No existe la carpeta");
        if (ctx.ModoEjecucion == 2) *ctx.EstadoTransformacion = -1;
        return RunOutcome::FolderMissing;
    }
    *ctx.EstadoTransformacion = 1;
    // Horalina's folder is made when missing; if that fails, the first step
    // that writes a table says so, naming it.
    std::error_code ignored;
    std::filesystem::create_directories(ctx.htemp, ignored);
    for (auto step : {ExportarAsignaturas, ExportarProfesores, ExportarAulas, ExportarGrupos,
                      ExportarAsignaturasGrupo, ExportarSesiones})
        reports.push_back(step(ctx));
    ctx.show("Proceso finalizado");
    return RunOutcome::Completed;
}

}  // namespace tht
