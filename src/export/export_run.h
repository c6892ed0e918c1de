#pragma once
#include <vector>

#include "core/report.h"
#include "core/run_context.h"

namespace tht {

// The TUXA-to-Horalina run of the export button, without the window: the
// folder test, the status, the six steps in order and "Proceso finalizado".
// Each step's report is appended as the step ends, so a run stopped by an
// error (an Error propagating out) still tells what the earlier steps did.
RunOutcome exportar(const RunContext& ctx, std::vector<TableReport>& reports);

}  // namespace tht
