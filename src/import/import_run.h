#pragma once
#include <vector>

#include "core/report.h"
#include "core/run_context.h"

namespace tht {

// The Horalina-to-TUXA run of the import button, without the window: from the
// folder test to "Proceso finalizado" and the status.
RunOutcome importar(const RunContext& ctx, std::vector<TableReport>& reports);

}  // namespace tht
