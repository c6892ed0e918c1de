#include "cli/cli.h"

#include <CLI/CLI.hpp>

#include <ostream>

#include "base/messages.h"
#include "run/report.h"
#include "front_end/run_driver.h"
#include "platform/files.h"
#include "platform/locations.h"
#include "store/kept_sets.h"
#include <algorithm>
#include <filesystem>
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
    std::string set;
    bool list = false;
    bool timetable = false;
};

std::string text(std::string_view s) { return std::string(s); }

void addRunOptions(CLI::App& cmd, Options& o) {
    cmd.set_help_flag("-h,--help", text(msg::usage::kHelp));
    // Each value named as the usage line names it, not by CLI11's type.
    cmd.add_option("CARPETA", o.folder, text(msg::usage::kFolder))->required()->type_name("");
    cmd.add_option("--htemp", o.htemp, text(msg::usage::kHtemp))->type_name("DIR");
    // A check writes no status: Horalina is told nothing.
    if (cmd.get_name() != "comprobar") cmd.add_option("--ini", o.ini, text(msg::usage::kIni))->type_name("FICHERO");
    cmd.add_option("--informe", o.informe, text(msg::usage::kReport))->type_name("FICHERO");
    cmd.add_flag("--quiet", o.quiet, text(msg::usage::kQuiet));
}

// What CLI11 found wrong, told in Spanish from the kind of error and what the
// parse left behind, never from CLI11's English text.
std::string usageProblem(const CLI::ParseError& e, const CLI::App& app, const std::vector<std::string>& arguments) {
    const auto directions = app.get_subcommands();
    const CLI::App* direction = directions.empty() ? nullptr : directions.front();
    switch (static_cast<CLI::ExitCodes>(e.get_exit_code())) {
    case CLI::ExitCodes::RequiredError:
        // The folder is the only thing a direction requires.
        return text(direction ? msg::usage::kMissingFolder : msg::usage::kMissingDirection);
    case CLI::ExitCodes::ExtrasError: {
        // CLI11 stops at the program's own extras (before the direction) before it looks at the direction's.
        std::vector<std::string> extras = app.remaining();
        if (extras.empty() && direction) extras = direction->remaining();
        if (!extras.empty()) return msg::usage::unexpectedArguments(extras);
        break;
    }
    case CLI::ExitCodes::ArgumentMismatch:
        if (!direction) break;
        // An option runs out of values only when it is the last argument ("--htemp" or "--htemp=").
        if (const std::string& last = arguments.back(); last.starts_with("-"))
            if (const CLI::Option* option = direction->get_option_no_throw(last.substr(0, last.find('=')));
                option && option->get_expected_min() > 0)
                return msg::usage::missingValue(option->get_name());
        for (const CLI::Option* option : direction->get_options())
            if (option->count() > 1 && option->get_expected_min() > 0)
                return msg::usage::repeatedOption(option->get_name());
        break;
    default:
        break;
    }
    return text(msg::usage::kInvalidArguments);
}

// restaurar --lista: the kept sets, oldest first, each with what it holds. Nothing is locked or changed.
int listKeptSets(const Options& o, std::ostream& out, std::ostream& err) {
    try {
        const std::filesystem::path folder = o.timetable      ? pathFromUtf8(o.folder)
                                             : o.htemp.empty() ? horalinaDataFolder()
                                                               : pathFromUtf8(o.htemp);
        const std::vector<KeptSet> sets = tht::listKeptSets(folder);
        if (sets.empty()) {
            err << msg::usage::noKeptSets(displayPath(keptSetsFolder(folder))) << '\n';
            return 1;
        }
        for (const KeptSet& set : sets) {
            std::vector<std::string> files;
            for (const auto& entry : std::filesystem::directory_iterator(set.folder))
                files.push_back(displayPath(entry.path().filename()));
            std::ranges::sort(files);
            out << msg::usage::keptSetLine(set.name, files) << '\n';
        }
        return 0;
    } catch (const std::exception& e) {
        err << "error: " << userError(e).what() << '\n';
        return 2;
    }
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
    CLI::App* restoreCmd = app.add_subcommand("restaurar", msg::usage::restore(kKeptSetsFolder, kKeptSetsLimit));
    for (CLI::App* cmd : {exportCmd, importCmd, checkCmd, restoreCmd}) {
        cmd->group(text(msg::usage::kDirectionsGroup));
        addRunOptions(*cmd, options);
    }
    restoreCmd->add_option("--conjunto", options.set, text(msg::usage::kSet))->type_name("NOMBRE");
    restoreCmd->add_flag("--lista", options.list, text(msg::usage::kList));
    restoreCmd->add_flag("--horario", options.timetable, text(msg::usage::kTimetable));

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
        err << msg::usage::wrongUsage(usageProblem(e, app, arguments)) << '\n';
        return kExitUsage;
    }
    // An empty value is an unset shell variable, never a wish for the default
    // folder: that would overwrite Horalina's real tables.
    const RunKind kind = exportCmd->parsed()    ? RunKind::Export
                         : importCmd->parsed()  ? RunKind::Import
                         : restoreCmd->parsed() ? RunKind::Restore
                                                : RunKind::Check;
    const CLI::App& cmd = kind == RunKind::Export    ? *exportCmd
                          : kind == RunKind::Import  ? *importCmd
                          : kind == RunKind::Restore ? *restoreCmd
                                                     : *checkCmd;
    for (const char* option : {"CARPETA", "--htemp", "--ini", "--informe", "--conjunto"}) {
        const CLI::Option* given = cmd.get_option_no_throw(option);
        if (!given || given->count() == 0) continue;
        const std::string value = given->as<std::string>();
        if (value.empty()) {
            err << msg::usage::wrongUsage(msg::usage::emptyValue(option)) << '\n';
            return kExitUsage;
        }
        // CLI11 takes the next word as the value, even one of our options:
        // "--htemp --quiet" would make a folder named "--quiet".
        if (value.starts_with("-") && cmd.get_option_no_throw(value.substr(0, value.find('='))) != nullptr) {
            err << msg::usage::wrongUsage(msg::usage::missingValue(option)) << '\n';
            return kExitUsage;
        }
    }

    if (kind == RunKind::Restore && options.list) return listKeptSets(options, out, err);

    RunDriver driver({.mode = InvocationMode::CommandLine,
                      .htemp = pathFromUtf8(options.htemp),
                      .statusFile = pathFromUtf8(options.ini)});
    // A check gives its report on standard output: the window's messages go to standard error.
    StreamSink sink(kind == RunKind::Check ? err : out);
    const RunEnd end = driver.runOnce({.kind = kind,
                                       .folder = options.folder,
                                       .messages = &sink,
                                       .reportFile = pathFromUtf8(options.informe),
                                       .reportBack = kind == RunKind::Check && options.informe.empty(),
                                       .restore = {.set = options.set, .timetable = options.timetable}});
    if (end.error) err << "error: " << end.error->what() << '\n';
    if (end.outcome == RunOutcome::FolderMissing) err << "error: " << msg::folderMissing(options.folder) << '\n';
    if (!options.quiet && !end.reports.empty()) err << formatSummary(end.reports);
    if (!end.reportText.empty()) out << end.reportText << std::flush;
    if (end.reportWarning) err << msg::summary::kWarning << ": " << *end.reportWarning << '\n';
    if (end.statusError) err << "error: " << end.statusError->what() << '\n';
    return end.exitCode;
}

}  // namespace tht
