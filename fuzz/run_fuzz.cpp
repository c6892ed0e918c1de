// A whole export and import over a fuzzed folder. The input is cut at "@@\n"
// into the seven TUXA files, in the order of the export's steps, and SOLUC.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string_view>

#include "run/run_context.h"
#include "export/export_run.h"
#include "fuzz/scratch.h"
#include "import/import_run.h"
#include "platform/error.h"
#include "text/tuxa_files.h"

namespace {

class NullSink final : public tht::MessageSink {
public:
    void show(const std::string&) override {}
};

void write(const std::filesystem::path& p, std::string_view bytes) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tht;
    if (size > 64 * 1024) return 0;  // small folders keep the run fast; size is not what this target explores
    const fuzz::Scratch& scratch = fuzz::Scratch::get();
    const auto tuxa = scratch.path() / "tuxa";
    const auto htemp = scratch.path() / "htemp";
    std::filesystem::remove_all(tuxa);
    std::filesystem::remove_all(htemp);
    std::filesystem::create_directories(tuxa);
    std::filesystem::create_directories(htemp);

    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view names[] = {tuxa::asignaturas.fileName, tuxa::actividades.fileName, tuxa::profesores.fileName,
                                      tuxa::aulas.fileName,       tuxa::grupos.fileName,      tuxa::asignaturasGrupo.fileName,
                                      tuxa::asignaturasCurso.fileName, tuxa::sesiones.fileName, "SOLUC.DBF"};
    for (std::string_view name : names) {
        const auto cut = rest.find("@@\n");
        const std::string_view piece = rest.substr(0, cut);
        write((name == "SOLUC.DBF" ? htemp : tuxa) / std::string(name), piece);
        if (cut == std::string_view::npos) break;
        rest.remove_prefix(cut + 3);
    }

    NullSink sink;
    const RunContext ctx = RunContext::forFolder(tuxa.string(), htemp, InvocationMode::CommandLine, sink,
                                                 [] { return LocalDateTime{2024, 12, 9, 14, 5, 0}; });
    // A run that stops on an error returns it: only a fault of ours escapes.
    exportar(ctx);
    importar(ctx);
    return 0;
}
