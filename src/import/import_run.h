#pragma once
#include "run/run_context.h"

namespace tht {

// The Horalina-to-TUXA run of the import button, without the window: from the
// folder test to "Proceso finalizado" and the status.
RunResult importar(const RunContext& ctx);

}  // namespace tht
