#include "export/export_run.h"

#include "export/steps.h"
#include "platform/error.h"
#include "platform/files.h"

namespace tht {

RunOutcome exportar(const RunContext& ctx, std::vector<TableReport>& reports) {
    if (!folderExists(ctx.dirTxt)) {
        ctx.show("No existe la carpeta");
        if (ctx.ModoEjecucion == 2) *ctx.EstadoTransformacion = -1;
        return RunOutcome::FolderMissing;
    }
    std::error_code ec;
    std::filesystem::create_directories(ctx.htemp, ec);
    if (!folderExists(ctx.htemp))
        throw Error(ErrorKind::FolderMissing, {.file = displayPath(ctx.htemp), .cause = describeSystemError(ec.value())});

    *ctx.EstadoTransformacion = 1;
    for (auto step : {ExportarAsignaturas, ExportarProfesores, ExportarAulas, ExportarGrupos,
                      ExportarAsignaturasGrupo, ExportarSesiones})
        reports.push_back(step(ctx));
    ctx.show("Proceso finalizado");
    return RunOutcome::Completed;
}

}  // namespace tht
