#include "run/restore_run.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "base/ascii.h"
#include "base/messages.h"
#include "platform/atomic_file.h"
#include "platform/files.h"
#include "platform/locked_file.h"
#include "platform/temporary_files.h"
#include "run/run_lock.h"
#include "store/commit_journal.h"
#include "store/table_error.h"

namespace tht {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTimetableFile = "TUXA_HORARIO.TXT";

// "ASIGNOMT" of "asignomt.dbf"; empty for a file that is no table or index.
std::string tableOf(const fs::path& file) {
    const std::string name = ascii::upper(std::string_view(displayPath(file.filename())));
    for (std::string_view extension : {".DBF", ".MDX"})
        if (name.size() > extension.size() && name.ends_with(extension))
            return name.substr(0, name.size() - extension.size());
    return {};
}

// What the set brings back: every table and index it holds, or its timetable.
std::vector<fs::path> restoredFiles(const KeptSet& set, bool timetable) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(set.folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!fileExists(it->path())) continue;
        const std::string name = displayPath(it->path().filename());
        if (timetable ? ascii::upper(std::string_view(name)) == kTimetableFile : !tableOf(it->path()).empty()) files.push_back(it->path());
    }
    std::ranges::sort(files);
    return files;
}

}  // namespace

fs::path restoreFolder(const RunContext& ctx, bool timetable) {
    return timetable ? pathFromUtf8(ctx.dirTxt) : ctx.htemp;
}

RunResult restaurar(const RunContext& ctx, const RestoreOrder& order) {
    if (auto missing = missingTuxaFolder(ctx, 0)) return *missing;
    RunResult result;
    // Whatever happens, Horalina has nothing new to load.
    result.status = 0;
    try {
        const fs::path folder = restoreFolder(ctx, order.timetable);
        const RunLock lock = RunLock::take(folder, RunLock::Use::Alone);
        noteRecovery(folder, lock.recovered(), result.reports);
        removeStaleTemporaries(folder);

        const std::vector<KeptSet> sets = listKeptSets(folder);
        if (sets.empty()) throw Error(RunError::NothingKept, {.file = displayPath(keptSetsFolder(folder))});
        const auto chosen = order.set.empty() ? std::optional(sets.back()) : findKeptSet(folder, order.set);
        if (!chosen)
            throw Error(RunError::KeptSetUnknown, {.file = displayPath(keptSetsFolder(folder)), .value = order.set});
        const std::vector<fs::path> files = restoredFiles(*chosen, order.timetable);
        if (files.empty()) throw Error(RunError::NothingKept, {.file = displayPath(chosen->folder)});

        Keeping keeping{.when = ctx.clock()};
        std::vector<LockedFile> held;  // no program opens a table we are about to replace
        std::vector<PreparedFile> prepared;
        prepared.reserve(files.size());
        for (const fs::path& file : files) {
            const fs::path target = folder / file.filename();
            const std::string table = tableOf(file);
            // The table, its index and any other spelling of either, as they are now, go with the set replaced.
            for (std::string_view extension : {".DBF", ".MDX"}) {
                if (table.empty()) break;
                for (const fs::path& now : findCaseVariants(folder, table + std::string(extension))) {
                    if (extension == ".DBF") {
                        std::optional<LockedFile> lock = LockedFile::open(now, LockedFile::Mode::Exclusive);
                        if (!lock) throw Error(TableError::InUse, {.table = table});
                        held.push_back(std::move(*lock));
                    }
                    if (std::ranges::none_of(files, [&](const fs::path& f) { return folder / f.filename() == now; }))
                        keeping.alsoKept.push_back(now);
                }
            }
            AtomicFile out(target);
            out.write(readFileBytes(file));
            prepared.push_back(std::move(out).prepare());
        }
        std::ranges::sort(keeping.alsoKept);
        keeping.alsoKept.erase(std::ranges::unique(keeping.alsoKept).begin(), keeping.alsoKept.end());
        if (!order.timetable)
            if (const auto report = findEntry(folder, msg::report::kFileName)) keeping.companions.push_back(*report);
        std::vector<PreparedFile*> commit;
        for (PreparedFile& p : prepared) commit.push_back(&p);
        held.clear();  // Windows renames over no file that is open
        result.keptSet = commitFiles(folder, std::move(commit), &keeping);
        result.restoredSet = chosen->folder;
    } catch (const Error& e) {
        result.outcome = RunOutcome::Stopped;
        result.error = e;
        return result;
    }
    ctx.show(msg::kRunFinished);
    return result;
}

}  // namespace tht
