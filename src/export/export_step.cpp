#include "export/export_step.h"

#include "platform/files.h"

namespace tht {
namespace {

std::variant<LineReader, TextLines> openLines(const std::filesystem::path& path, const TuxaFile& file,
                                              const CodePage& codePage) {
    if (file.reading == Reading::WholeFile) return TextLines::load(path, codePage);
    return LineReader::open(path, codePage);
}

}  // namespace

std::optional<std::filesystem::path> findInput(const RunContext& ctx, const TuxaFile& file, TableReport& report) {
    std::filesystem::path path = ctx.tuxaPath(file.fileName);
    if (fileExists(path)) return path;
    report.fileMissing = true;
    if (!file.missingMessage.empty()) ctx.show(file.missingMessage);
    return std::nullopt;
}

DataLines::DataLines(const std::filesystem::path& path, const TuxaFile& file, const CodePage& codePage)
    : file_(&file), source_(openLines(path, file, codePage)) {}

}  // namespace tht
