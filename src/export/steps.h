#pragma once
// The six TUXA-to-Horalina steps, in the order the run calls them. Each reads
// its TUXA files from ctx.dirTxt, rebuilds its table in ctx.htemp and may set
// the result status; each returns what it did, for the summary.
#include "core/report.h"
#include "core/run_context.h"
#include "store/table_batch.h"

namespace tht {

// What a step works with: the run's context and the tables this export makes.
struct ExportContext : RunContext {
    ExportContext(const RunContext& run, TableBatch& batch) : RunContext(run), tables(batch) {}
    TableBatch& tables;
};

TableReport ExportarAsignaturas(const ExportContext& ctx);
TableReport ExportarProfesores(const ExportContext& ctx);
TableReport ExportarAulas(const ExportContext& ctx);
TableReport ExportarGrupos(const ExportContext& ctx);
TableReport ExportarAsignaturasGrupo(const ExportContext& ctx);
TableReport ExportarSesiones(const ExportContext& ctx);

}  // namespace tht
