#pragma once
#include "run/run_context.h"

namespace tht {

// The TUXA-to-Horalina run of the export button, without the window: the
// folder test, the six steps in order and "Proceso finalizado".
RunResult exportar(const RunContext& ctx);

}  // namespace tht
