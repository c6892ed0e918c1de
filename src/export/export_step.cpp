#include "export/export_step.h"

#include <algorithm>

#include "base/messages.h"
#include "platform/code_pages.h"
#include "platform/files.h"
#include "charset/unicode.h"
#include "text/utf8_text.h"

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
        // A file with a UTF-16 byte-order mark is not in any single-byte page: its lines are decoded.
        byteMap_ = ctx.lineBytes(lines.codePage());
    }
}

bool DataLines::next(DataLine& line) {
    for (std::string_view text; nextLine(text, line.number);) {
        if (text.find_first_not_of(' ') != std::string_view::npos) endsWithTrailer_ = text.front() == '9';
        if (!isDataLine(text, file_->tag)) continue;
        line.text = text;
        line.altered = altered_;
        return true;
    }
    return false;
}

bool DataLines::nextLine(std::string_view& line, std::int64_t& number) {
    altered_ = false;
    if (auto* reader = std::get_if<LineReader>(&source_)) {
        if (byteMap_) {
            std::string_view bytes;
            const std::int64_t unstorable = reader->notes().unstorable.count;  // a UTF-8 line is converted by the reader
            if (!reader->next(bytes)) return false;
            altered_ = reader->notes().unstorable.count != unstorable;
            number = reader->lineNumber();
            line = fromBytes(bytes, number);
            return true;
        }
        if (!reader->next(characters_)) return false;
        number = reader->lineNumber();
        line = fromCharacters(number);
        return true;
    }
    const TextLines& lines = std::get<TextLines>(source_);
    if (nextIndex_ >= lines.size()) return false;
    number = static_cast<std::int64_t>(nextIndex_) + 1;
    if (byteMap_) {
        line = fromBytes(lines.lineBytes(nextIndex_++), number);
        return true;
    }
    lines.line(nextIndex_++, characters_);
    line = fromCharacters(number);
    return true;
}

std::string_view DataLines::fromBytes(std::string_view bytes, std::int64_t number) {
    converted_.clear();
    const ByteMap::Counts counts = byteMap_->append(bytes, converted_);
    note(counts.unreadable, number, unreadable_, firstUnreadableLine_);
    altered_ = altered_ || counts.lost > 0;
    return converted_;
}

std::string_view DataLines::fromCharacters(std::int64_t number) {
    const auto unreadable = static_cast<std::size_t>(std::count(characters_.begin(), characters_.end(), kReplacementChar));
    note(unreadable, number, unreadable_, firstUnreadableLine_);
    converted_.clear();
    const std::size_t unstorable = appendInTablePage(characters_, converted_);
    altered_ = unstorable > 0;
    note(unstorable > unreadable ? unstorable - unreadable : 0, number, unstorable_, firstUnstorableLine_);
    return converted_;
}

void DataLines::note(std::size_t count, std::int64_t number, std::int64_t& total, std::int64_t& firstLine) noexcept {
    if (count == 0) return;
    if (total == 0) firstLine = number;
    total += static_cast<std::int64_t>(count);
}

void DataLines::noteOddities(TableReport& report) const {
    addReadingWarnings(notesOf(source_), name_, *codePage_, report);
    if (!endsWithTrailer_) report.warnings.push_back(msg::warn::noTrailerLine(name_));
    if (unreadable_ > 0)
        report.warnings.push_back(
            msg::warn::unreadableCharacters(name_, unreadable_, firstUnreadableLine_, codePage_->name()));
    if (unstorable_ > 0)
        report.warnings.push_back(
            msg::warn::unstorableCharacters(name_, unstorable_, firstUnstorableLine_, windows1252().name()));
}

void noteChanges(const ExportContext& ctx, const TableCodes& codes, TableReport& report) {
    TableScan after = TableScan::open(ctx.tables, report.table);
    try {
        std::optional<TableScan> before = TableScan::openReplaced(ctx.tables, report.table);
        report.changes = before ? compareTables(*before, after, codes) : firstTable(after, codes);
    } catch (const Error& e) {
        report.warnings.push_back(msg::warn::previousUnreadable(report.table, e.what()));
        return;
    }
    const TableChanges& c = *report.changes;
    if (c.big()) report.warnings.push_back(msg::warn::bigChange(report.table, c.before, c.after, c.removed.count));
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
