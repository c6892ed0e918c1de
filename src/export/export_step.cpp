#include "export/export_step.h"

#include "base/messages.h"
#include "platform/files.h"
#include "platform/unicode.h"

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

DataLines::DataLines(const std::filesystem::path& path, const TuxaFile& file, const CodePage& codePage,
                     const ByteMap* byteMap)
    : file_(&file), name_(displayPath(path)), fileName_(displayPath(path.filename())), codePage_(&codePage), source_(openLines(path, file, codePage)),
      byteMap_(byteMap) {
    // A file with a byte-order mark is not in the code page: its lines are read as characters.
    if (const auto* lines = std::get_if<TextLines>(&source_); lines && !lines->heldAsCodePageBytes()) byteMap_ = nullptr;
    if (byteMap_ && &byteMap_->from() != &codePage) byteMap_ = nullptr;
}

void DataLines::watch(std::u32string_view line, std::int64_t number) noexcept {
    if (line.find_first_not_of(U' ') != std::u32string_view::npos) endsWithTrailer_ = line.front() == U'9';
    std::size_t count = 0;
    for (char32_t c : line) count += c == kReplacementChar;
    noteUnreadable(count, number);
}

void DataLines::watch(std::string_view line, std::int64_t number) noexcept {
    if (line.find_first_not_of(' ') != std::string_view::npos) endsWithTrailer_ = line.front() == '9';
    noteUnreadable(byteMap_->countUnreadable(line), number);
}

void DataLines::noteUnreadable(std::size_t count, std::int64_t number) noexcept {
    if (count == 0) return;
    if (unreadable_ == 0) firstUnreadableLine_ = number;
    unreadable_ += static_cast<std::int64_t>(count);
}

void DataLines::noteOddities(TableReport& report) const {
    if (!endsWithTrailer_) report.warnings.push_back(msg::warn::noTrailerLine(name_));
    if (const auto* lines = std::get_if<TextLines>(&source_); lines && lines->nulCut() && lines->nulCut()->linesNotRead > 0)
        report.warnings.push_back(msg::warn::textEndedAtNul(name_, lines->nulCut()->line, lines->nulCut()->linesNotRead));
    if (unreadable_ > 0)
        report.warnings.push_back(
            msg::warn::unreadableCharacters(name_, unreadable_, firstUnreadableLine_, codePage_->name()));
}

}  // namespace tht
