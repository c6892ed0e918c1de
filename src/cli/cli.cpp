#include "cli/cli.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "base/messages.h"
#include "core/report.h"
#include "core/run_driver.h"
#include "platform/files.h"
#include "version.h"

namespace tht {
namespace {

constexpr int kExitUsage = 64;

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
    std::string informe;
    bool quiet = false;
};

std::string text(std::string_view s) { return std::string(s); }

void addRunOptions(CLI::App& cmd, Options& o) {
    cmd.set_help_flag("-h,--help", text(msg::usage::kHelp));
    cmd.add_option("CARPETA", o.folder, text(msg::usage::kFolder))->required();
    cmd.add_option("--htemp", o.htemp, text(msg::usage::kHtemp));
    // A check writes no status: Horalina is told nothing.
    if (cmd.get_name() != "comprobar") cmd.add_option("--ini", o.ini, text(msg::usage::kIni));
    cmd.add_option("--informe", o.informe, text(msg::usage::kReport));
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
    CLI::App* checkCmd = app.add_subcommand("comprobar", text(msg::usage::kCheck));
    exportCmd->group(text(msg::usage::kDirectionsGroup));
    importCmd->group(text(msg::usage::kDirectionsGroup));
    checkCmd->group(text(msg::usage::kDirectionsGroup));
    addRunOptions(*exportCmd, options);
    addRunOptions(*importCmd, options);
    addRunOptions(*checkCmd, options);

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
    const RunKind kind = exportCmd->parsed()   ? RunKind::Export
                         : importCmd->parsed() ? RunKind::Import
                                               : RunKind::Check;
    const CLI::App& cmd = kind == RunKind::Export ? *exportCmd : kind == RunKind::Import ? *importCmd : *checkCmd;
    for (const char* option : {"CARPETA", "--htemp", "--ini", "--informe"}) {
        const CLI::Option* given = cmd.get_option_no_throw(option);
        if (given && given->count() > 0 && given->as<std::string>().empty()) {
            err << msg::usage::wrongUsage(msg::usage::emptyValue(option)) << '\n';
            return kExitUsage;
        }
    }

    RunDriver driver({.mode = InvocationMode::CommandLine,
                      .htemp = pathFromUtf8(options.htemp),
                      .statusFile = pathFromUtf8(options.ini)});
    // A check gives its report on standard output: the window's messages go to standard error.
    StreamSink sink(kind == RunKind::Check ? err : out);
    const RunEnd end = driver.runOnce({.kind = kind,
                                       .folder = options.folder,
                                       .messages = &sink,
                                       .reportFile = pathFromUtf8(options.informe),
                                       .reportBack = kind == RunKind::Check && options.informe.empty()});
    if (end.error) err << "error: " << end.error->what() << '\n';
    if (end.outcome == RunOutcome::FolderMissing) err << "error: " << msg::folderMissing(options.folder) << '\n';
    if (!options.quiet && !end.reports.empty()) err << formatSummary(end.reports);
    if (!end.reportText.empty()) out << end.reportText << std::flush;
    if (end.reportWarning) err << msg::summary::kWarning << ": " << *end.reportWarning << '\n';
    if (end.statusError) err << "error: " << end.statusError->what() << '\n';
    return end.exitCode;
}

}  // namespace tht
