#include "run/run_context.h"

#include "base/messages.h"
#include "platform/files.h"
#include "platform/locations.h"

namespace tht {

RunContext RunContext::forFolder(const std::string& folder, std::filesystem::path htemp, InvocationMode mode,
                                 MessageSink& messages, Clock clock) {
    RunContext ctx;
    // An empty folder names no folder: the run reports it missing rather than use the root.
    ctx.dirTxt = folder.empty() ? std::string() : makeDirTxt(folder);
    ctx.htemp = std::move(htemp);
    ctx.mode = mode;
    ctx.messages = &messages;
    ctx.clock = std::move(clock);
    return ctx;
}

std::filesystem::path RunContext::tuxaPath(std::string_view fileName) const {
    // dirTxt may end in two separators (a root folder); the file system reads them as one.
    return resolveEntry(pathFromUtf8(dirTxt), fileName);
}

std::string makeDirTxt(const std::string& folder) { return folder + folderSeparator(); }

std::optional<RunResult> missingTuxaFolder(const RunContext& ctx, int commandLineStatus) {
    if (folderExists(pathFromUtf8(ctx.dirTxt))) return std::nullopt;
    ctx.show(msg::kFolderMissing);
    RunResult result;
    result.outcome = RunOutcome::FolderMissing;
    if (ctx.mode == InvocationMode::CommandLine) result.status = commandLineStatus;
    return result;
}

}  // namespace tht
