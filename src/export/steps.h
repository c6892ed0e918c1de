#pragma once
// The six TUXA-to-Horalina steps, in the order the run calls them. Each reads
// its TUXA files from ctx.dirTxt, rebuilds its table in ctx.htemp and may set
// the result status; each returns what it did, for the summary.
#include "core/report.h"
#include "core/run_context.h"

namespace tht {

TableReport ExportarAsignaturas(const RunContext& ctx);
TableReport ExportarProfesores(const RunContext& ctx);
TableReport ExportarAulas(const RunContext& ctx);
TableReport ExportarGrupos(const RunContext& ctx);
TableReport ExportarAsignaturasGrupo(const RunContext& ctx);
TableReport ExportarSesiones(const RunContext& ctx);

}  // namespace tht
