#pragma once
// `restaurar`: a kept set (kept_sets.h) brought back, as one commit under the
// folder's lock, journaled like an export's, and keeping in turn the set it
// replaces, so that a restore can itself be undone.
#include <string>
#include <vector>

#include "run/run_context.h"
#include "store/kept_sets.h"

namespace tht {

struct RestoreOrder {
    std::string set;         // the kept set's name; empty: the most recent
    bool timetable = false;  // TUXA_HORARIO.TXT in the TUXA folder, instead of Horalina's tables
};

// The folder whose kept sets an order restores: Horalina's, or the TUXA folder.
std::filesystem::path restoreFolder(const RunContext& ctx, bool timetable);

// Brings the set back. Status 0: Horalina has nothing new to load.
RunResult restaurar(const RunContext& ctx, const RestoreOrder& order);

}  // namespace tht
