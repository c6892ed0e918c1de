#include "export/check_run.h"

#include "run/horalina_tables.h"
#include "export/export_run.h"
#include "platform/files.h"
#include "platform/private_folder.h"

namespace tht {

RunResult comprobar(const RunContext& ctx) {
    const PrivateFolder staging;
    for (std::string_view table : {horalina::Asignomt::name, horalina::Proft::name, horalina::Aulat::name,
                                   horalina::Grupost::name, horalina::Asigt::name, horalina::Diashorast::name}) {
        const std::string file = std::string(table) + ".DBF";
        // A table that cannot be copied is missing from the check: the step
        // that reads it says so, naming it.
        if (const auto existing = findEntry(ctx.htemp, file)) copyFileQuietly(*existing, staging.path() / file);
    }
    RunContext check = ctx;
    check.htemp = staging.path();
    check.keepReplaced = false;
    return exportar(check);
}

}  // namespace tht
