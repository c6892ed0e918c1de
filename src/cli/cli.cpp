#include "cli/cli.h"

#include <CLI/CLI.hpp>

#include <optional>
#include <ostream>

#include "core/ini_file.h"
#include "export/export_run.h"
#include "import/import_run.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/locations.h"

namespace tht {
namespace {

constexpr int kExitUsage = 64;
constexpr int kExitStopped = 2;

class StreamSink final : public MessageSink {
public:
    explicit StreamSink(std::ostream& out) : out_(out) {}
    void show(const std::string& message) override { out_ << message << '\n' << std::flush; }

private:
    std::ostream& out_;
};

struct Options {
    std::string folder;
    std::string htemp;
    std::string ini;
    bool quiet = false;
};

void addRunOptions(CLI::App& cmd, Options& o) {
    cmd.add_option("CARPETA", o.folder, "Carpeta de los ficheros TXT de TUXA")->required();
    cmd.add_option("--htemp", o.htemp, "Carpeta de datos de Horalina (por defecto $HORALINA_HTEMP o C:\\HTEMP de Wine)");
    cmd.add_option("--ini", o.ini, "Archivo en el que escribir el estado final ([Transformadores] Transformado)");
    cmd.add_flag("--quiet", o.quiet, "Sin resumen por tabla en la salida de errores");
}

}  // namespace

int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    CLI::App app{"transhoralotuxa-cli: pasa datos entre los ficheros de TUXA y las tablas de Horalina"};
    // A folder such as /srv/tuxa is a folder on every system, never an option.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", std::string("transhoralotuxa-cli ") + THT_VERSION);
    app.require_subcommand(1, 1);
    Options options;
    CLI::App* exportCmd = app.add_subcommand("exportar", "De TUXA a Horalina: recrea las tablas de Horalina");
    CLI::App* importCmd = app.add_subcommand("importar", "De Horalina a TUXA: escribe TUXA_HORARIO.TXT");
    addRunOptions(*exportCmd, options);
    addRunOptions(*importCmd, options);

    try {
        std::vector<const char*> argv;
        for (const std::string& a : arguments) argv.push_back(a.c_str());
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::CallForHelp&) {
        out << app.help();
        return 0;
    } catch (const CLI::CallForVersion&) {
        out << std::string("transhoralotuxa-cli ") + THT_VERSION << '\n';
        return 0;
    } catch (const CLI::ParseError& e) {
        err << "error: " << e.what() << '\n' << "Uso: transhoralotuxa-cli exportar|importar CARPETA [--htemp DIR] [--ini FICHERO] [--quiet]\n";
        return kExitUsage;
    }

    const bool exporting = exportCmd->parsed();
    StreamSink sink(out);
    int estado = 0;
    RunContext ctx;
    // An empty folder names no folder: the run reports it missing rather than use the root.
    ctx.dirTxt = options.folder.empty() ? std::string() : makeDirTxt(options.folder);
    ctx.htemp = options.htemp.empty() ? horalinaDataFolder() : pathFromUtf8(options.htemp);
    ctx.messages = &sink;
    ctx.EstadoTransformacion = &estado;
    ctx.ModoEjecucion = 2;

    std::vector<TableReport> reports;
    int code = kExitStopped;
    try {
        const RunOutcome outcome = exporting ? exportar(ctx, reports) : importar(ctx, reports);
        if (outcome == RunOutcome::Completed) code = estado == 1 ? 0 : 1;
    } catch (const std::exception& e) {
        err << "error: " << e.what() << '\n';
    }
    if (!options.quiet && !reports.empty()) err << formatSummary(reports);
    if (!options.ini.empty()) {
        try {
            writeIniValue(pathFromUtf8(options.ini), "Transformadores", "Transformado", std::to_string(estado));
        } catch (const std::exception& e) {
            err << "error: " << e.what() << '\n';
            code = kExitStopped;
        }
    }
    return code;
}

}  // namespace tht
