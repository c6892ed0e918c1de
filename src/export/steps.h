#pragma once
// The six TUXA-to-Horalina steps, in the order the run calls them. Each reads
// its TUXA files from ctx.dirTxt, rebuilds its table in ctx.htemp and may set
// the result status; each returns what it did, for the summary.
#include <optional>

#include "platform/code_pages.h"
#include "run/report.h"
#include "run/run_context.h"
#include "charset/byte_map.h"
#include "store/table_batch.h"

namespace tht {

// What a step works with: the run's context, the tables this export makes,
// and, when TUXA's code page and the tables' are single-byte, the map that
// carries TUXA's bytes to the tables' bytes, built once for the run.
struct ExportContext : RunContext {
    ExportContext(const RunContext& run, TableBatch& batch)
        : RunContext(run),
          tables(batch),
          byteMap(ByteMap::between(*codePage, windows1252())),
          storedMap(ByteMap::between(windows1252(), windows1252())) {}
    TableBatch& tables;
    std::optional<ByteMap> byteMap;
    std::optional<ByteMap> storedMap;  // for a UTF-8 file, whose lines come in the tables' page

    // The map that carries lines a reader gives in `page` into the tables'
    // page; none: each line is decoded and its characters encoded instead.
    const ByteMap* lineBytes(const CodePage& page) const noexcept {
        if (byteMap && &byteMap->from() == &page) return &*byteMap;
        if (storedMap && &page == &windows1252()) return &*storedMap;
        return nullptr;
    }
};

TableReport ExportarAsignaturas(const ExportContext& ctx);
TableReport ExportarProfesores(const ExportContext& ctx);
TableReport ExportarAulas(const ExportContext& ctx);
TableReport ExportarGrupos(const ExportContext& ctx);
TableReport ExportarAsignaturasGrupo(const ExportContext& ctx);
TableReport ExportarSesiones(const ExportContext& ctx);

}  // namespace tht
