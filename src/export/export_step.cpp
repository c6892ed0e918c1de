#include "export/export_step.h"

#include "base/messages.h"
#include "platform/code_pages.h"
#include "platform/files.h"
#include "charset/unicode.h"

namespace tht {
namespace {

std::variant<LineReader, TextLines> openLines(const std::filesystem::path& path, const TuxaFile& file,
                                              const RunContext& ctx) {
    if (file.reading == Reading::WholeFile) return TextLines::load(path, *ctx.codePage, ctx.guessUtf8);
    return LineReader::open(path, *ctx.codePage, ctx.guessUtf8);
}

const ReadingNotes& notesOf(const std::variant<LineReader, TextLines>& source) {
    return std::visit([](const auto& s) -> const ReadingNotes& { return s.notes(); }, source);
}

}  // namespace

std::optional<std::filesystem::path> findInput(const RunContext& ctx, const TuxaFile& file, TableReport& report) {
    std::filesystem::path path = ctx.tuxaPath(file.fileName);
    if (fileExists(path)) return path;
    report.fileMissing = true;
    if (!file.missingMessage.empty()) ctx.show(file.missingMessage);
    return std::nullopt;
}

DataLines::DataLines(const std::filesystem::path& path, const TuxaFile& file, const ExportContext& ctx)
    : file_(&file), name_(displayPath(path)), fileName_(displayPath(path.filename())), codePage_(ctx.codePage),
      source_(openLines(path, file, ctx)) {
    if (const auto* reader = std::get_if<LineReader>(&source_)) {
        byteMap_ = ctx.lineBytes(reader->codePage());
    } else if (const auto& lines = std::get<TextLines>(source_); lines.heldAsCodePageBytes()) {
        // A file with a UTF-16 byte-order mark is not in any single-byte page: its lines are read as characters.
        byteMap_ = ctx.lineBytes(lines.codePage());
    }
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
    addReadingWarnings(notesOf(source_), name_, *codePage_, report);
    if (!endsWithTrailer_) report.warnings.push_back(msg::warn::noTrailerLine(name_));
    if (unreadable_ > 0)
        report.warnings.push_back(
            msg::warn::unreadableCharacters(name_, unreadable_, firstUnreadableLine_, codePage_->name()));
}

std::optional<std::int64_t> DataLines::lineCutAtNul() const {
    const ReadingNotes& notes = notesOf(source_);
    if (!notes.linesAfterNul) return std::nullopt;
    return notes.nuls.firstLine;
}

void addReadingWarnings(const ReadingNotes& notes, const std::string& file, const CodePage& codePage,
                        TableReport& report) {
    std::vector<std::string>& w = report.warnings;
    if (notes.readAsUtf8) w.push_back(msg::warn::readAsUtf8(file, codePage.name()));
    if (notes.unstorable.count > 0)
        w.push_back(msg::warn::unstorableCharacters(file, notes.unstorable.count, notes.unstorable.firstLine,
                                                    windows1252().name()));
    if (notes.nuls.count > 0) {
        if (notes.linesAfterNul)
            w.push_back(msg::warn::textEndedAtNul(file, notes.nuls.count, notes.nuls.firstLine, *notes.linesAfterNul));
        else
            w.push_back(msg::warn::nulsReadAsSpaces(file, notes.nuls.count, notes.nuls.firstLine));
    }
    if (notes.loneCrs.count > 0)
        w.push_back(msg::warn::loneCarriageReturns(file, notes.loneCrs.count, notes.loneCrs.firstLine));
}

}  // namespace tht
