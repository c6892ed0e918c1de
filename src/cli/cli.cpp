#include "cli/cli.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "base/messages.h"
#include "core/ini_file.h"
#include "export/export_run.h"
#include "import/import_run.h"
#include "platform/files.h"
#include "platform/locations.h"
#include "version.h"

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

std::string text(std::string_view s) { return std::string(s); }

void addRunOptions(CLI::App& cmd, Options& o) {
    cmd.set_help_flag("-h,--help", text(msg::usage::kHelp));
    cmd.add_option("CARPETA", o.folder, text(msg::usage::kFolder))->required();
    cmd.add_option("--htemp", o.htemp, text(msg::usage::kHtemp));
    cmd.add_option("--ini", o.ini, text(msg::usage::kIni));
    cmd.add_flag("--quiet", o.quiet, text(msg::usage::kQuiet));
}

// CLI11 tells what is wrong in English: say it in Spanish.
std::string usageProblem(const CLI::ParseError& e) {
    const std::string_view what = e.what();
    if (what.find("subcommand is required") != what.npos) return text(msg::usage::kMissingDirection);
    if (what.ends_with(" is required")) return text(msg::usage::kMissingFolder);
    if (const auto at = what.find("not expected: "); at != what.npos)
        return msg::usage::unexpectedArgument(std::string(what.substr(at + 14)));
    if (what.find(" required ") != what.npos && what.starts_with("--"))
        return msg::usage::missingValue(std::string(what.substr(0, what.find(':'))));
    return text(msg::usage::kInvalidArguments);
}

// The exit code of a run that ended: 0 with status 1, 1 with status -1, 2 when it stopped.
int exitCode(const RunResult& result) {
    if (result.outcome != RunOutcome::Completed) return kExitStopped;
    return result.status == 1 ? 0 : 1;
}

}  // namespace

int runCommandLine(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    const std::string version = std::string("transhoralotuxa-cli ") + THT_VERSION;
    CLI::App app{text(msg::usage::kProgram)};
    // A folder such as /srv/tuxa is a folder on every system, never an option.
    app.allow_windows_style_options(false);
    // Subcommands take their defaults and formatter from here when added.
    app.option_defaults()->group(text(msg::usage::kOptionsGroup));
    for (const auto& [english, spanish] : msg::usage::kHelpLabels) app.get_formatter()->label(text(english), text(spanish));
    app.set_help_flag("-h,--help", text(msg::usage::kHelp));
    app.set_version_flag("--version", version, text(msg::usage::kVersion));
    app.require_subcommand(1, 1);
    Options options;
    CLI::App* exportCmd = app.add_subcommand("exportar", text(msg::usage::kExport));
    CLI::App* importCmd = app.add_subcommand("importar", text(msg::usage::kImport));
    exportCmd->group(text(msg::usage::kDirectionsGroup));
    importCmd->group(text(msg::usage::kDirectionsGroup));
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
        out << version << '\n';
        return 0;
    } catch (const CLI::ParseError& e) {
        err << msg::usage::wrongUsage(usageProblem(e)) << '\n';
        return kExitUsage;
    }
    // An empty value is an unset shell variable, never a wish for the default
    // folder: that would overwrite Horalina's real tables.
    const CLI::App& cmd = exportCmd->parsed() ? *exportCmd : *importCmd;
    for (const char* option : {"CARPETA", "--htemp", "--ini"}) {
        const CLI::Option* given = cmd.get_option(option);
        if (given->count() > 0 && given->as<std::string>().empty()) {
            err << msg::usage::wrongUsage(msg::usage::emptyValue(option)) << '\n';
            return kExitUsage;
        }
    }

    // Status 0 goes in first: a run killed from here on leaves 0, never an
    // earlier run's 1, and a settings file we cannot write stops us before
    // any table is touched.
    const auto writeStatus = [&](int estado) {
        try {
            writeIniValue(pathFromUtf8(options.ini), kStatusSection, kStatusKey, std::to_string(estado));
            return true;
        } catch (const Error& e) {
            err << "error: " << e.what() << '\n';
        } catch (const std::exception& e) {
            err << "error: " << msg::internalError(e.what()) << '\n';
        }
        return false;
    };
    if (!options.ini.empty() && !writeStatus(0)) return kExitStopped;

    StreamSink sink(out);
    int estado = 0;
    int code = kExitStopped;
    try {
        const RunContext ctx = RunContext::forFolder(
            options.folder, options.htemp.empty() ? horalinaDataFolder() : pathFromUtf8(options.htemp),
            InvocationMode::CommandLine, sink);
        const RunResult result = exportCmd->parsed() ? exportar(ctx) : importar(ctx);
        if (result.status) estado = *result.status;
        if (result.error) err << "error: " << result.error->what() << '\n';
        if (result.outcome == RunOutcome::FolderMissing) err << "error: " << msg::folderMissing(options.folder) << '\n';
        code = exitCode(result);
        if (!options.quiet && !result.reports.empty()) err << formatSummary(result.reports);
    } catch (const Error& e) {
        err << "error: " << e.what() << '\n';
    } catch (const std::exception& e) {
        err << "error: " << msg::internalError(e.what()) << '\n';
    }
    if (!options.ini.empty() && estado != 0 && !writeStatus(estado)) code = kExitStopped;
    return code;
}

}  // namespace tht
