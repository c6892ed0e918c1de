#pragma once
#include "run/run_context.h"

namespace tht {

// The export of ctx's folder with nothing replaced: the new tables are made
// in a private folder seeded with Horalina's current ones (a step without its
// input file leaves the old table for the steps after it, as a real export
// would) and thrown away. Horalina's folder (ctx.htemp) is only read and not
// locked. The result is the one exportar would give.
RunResult comprobar(const RunContext& ctx);

}  // namespace tht
