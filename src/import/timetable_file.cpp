#include "import/timetable_file.h"

#include <cstdio>

#include "platform/atomic_file.h"
#include "platform/code_pages.h"
#include "platform/files.h"
#include "store/commit_journal.h"

namespace tht {
namespace {
constexpr std::u32string_view kTag = U"TUXA_HORARIO.TXT";

std::u32string frame(char32_t kind, std::u32string_view centre, const LocalDateTime& now) {
    std::u32string line(1, kind);
    appendPadded(line, kTag, 50);
    appendPadded(line, centre, 8);
    line += dateTimeText(now);
    return line;
}
}  // namespace

void appendPadded(std::u32string& line, std::u32string_view value, std::size_t width) {
    line += value;
    if (value.size() < width) line.append(width - value.size(), U' ');
}

void appendPadded(std::string& line, std::string_view value, std::size_t width) {
    line += value;
    if (value.size() < width) line.append(width - value.size(), ' ');
}

std::u32string dateTimeText(const LocalDateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d%02d%04d%02d%02d", t.day, t.month, t.year, t.hour, t.minute);
    return std::u32string(buf, buf + std::char_traits<char>::length(buf));
}

std::u32string titleLine(std::u32string_view centre, const LocalDateTime& now) { return frame(U'0', centre, now); }

std::string detailLine(const DetailValues& v) {
    std::string line;
    detailLine(v, line);
    return line;
}

void detailLine(const DetailValues& v, std::string& line) {
    line.assign(1, '1');
    for (const DetailColumn& column : kDetailColumns) appendPadded(line, v.*column.value, column.width);
    line += v.suffix;
}

std::u32string trailerLine(std::u32string_view centre, const LocalDateTime& now, std::int64_t detailLines) {
    std::u32string line = frame(U'9', centre, now);
    const std::string count = std::to_string(detailLines);
    line.append(count.begin(), count.end());
    return line;
}

namespace {
// Large enough that writes cost nothing next to the lines' making, small
// enough that memory does not grow with the timetable.
constexpr std::size_t kPiece = std::size_t{1} << 20;
}  // namespace

TimetableFile::TimetableFile(std::string dirTxt, const CodePage& codePage)
    : dirTxt_(std::move(dirTxt)), codePage_(&codePage), fromTablePage_(ByteMap::between(windows1252(), codePage)) {
    pending_.reserve(kPiece + 4096);
    if (codePage.isUtf8()) pending_ = "\xEF\xBB\xBF";
}

TimetableFile::~TimetableFile() = default;

void TimetableFile::add(std::u32string_view line) {
    codePage_->encodeAppend(line, pending_);
    pending_ += "\r\n";
    ++lines_;
    if (pending_.size() >= kPiece) writeOut();
}

void TimetableFile::add(std::string_view tablePageLine) {
    if (fromTablePage_) {
        fromTablePage_->append(tablePageLine, pending_);
    } else {
        characters_.clear();
        windows1252().decodeAppend(tablePageLine, characters_);
        codePage_->encodeAppend(characters_, pending_);
    }
    pending_ += "\r\n";
    ++lines_;
    if (pending_.size() >= kPiece) writeOut();
}

void TimetableFile::writeOut() {
    if (!file_) file_ = std::make_unique<AtomicFile>(resolveEntry(pathFromUtf8(dirTxt_), kTimetableFileName));
    file_->write(pending_);
    pending_.clear();
}

std::filesystem::path TimetableFile::commit(std::optional<LocalDateTime> keepWhen) {
    writeOut();
    const std::filesystem::path folder = file_->target().parent_path();
    PreparedFile prepared = std::move(*file_).prepare();
    file_.reset();
    if (!keepWhen) {
        prepared.commit();  // one file: its rename is the whole commit
        return {};
    }
    const Keeping keeping{.when = *keepWhen};
    return commitFiles(folder, {&prepared}, &keeping);
}

}  // namespace tht
