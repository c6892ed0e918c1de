#include "text/line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "platform/code_pages.h"
#include "platform/error.h"
#include "platform/files.h"

namespace tht {
namespace {
constexpr std::size_t kChunk = 1 << 16;
constexpr char kCtrlZ = 26;

// Whether the file, up to a Ctrl-Z, is UTF-8 with multi-byte sequences.
bool isMultiByteUtf8File(const std::filesystem::path& path) {
    InputFile file(path);
    std::string chunk(kChunk, '\0');
    Utf8Check check;
    bool first = true;
    for (std::size_t n; (n = file.read(chunk.data(), chunk.size())) > 0; first = false) {
        std::string_view bytes(chunk.data(), n);
        if (first && bytes.starts_with(kUtf8Bom)) return true;
        const std::size_t z = bytes.find(kCtrlZ);
        if (!check.feed(bytes.substr(0, z))) return false;
        if (z != std::string_view::npos) break;
    }
    return check.isMultiByteUtf8();
}
}  // namespace

LineReader::LineReader(std::unique_ptr<ByteSource> source, const CodePage& codePage, bool utf8)
    : source_(std::move(source)), codePage_(&codePage), buffer_(kChunk, '\0') {
    notes_.readAsUtf8 = utf8;
}

LineReader LineReader::open(const std::filesystem::path& path, const CodePage& codePage, bool guessUtf8) {
    auto source = std::make_unique<InputFile>(path);
    const bool utf8 = guessUtf8 && isMultiByteUtf8File(path);
    return LineReader(std::move(source), codePage, utf8);
}

const CodePage& LineReader::codePage() const noexcept {
    return notes_.readAsUtf8 ? windows1252() : *codePage_;
}

bool LineReader::fill() {
    if (atEnd_) return false;
    end_ = source_->read(buffer_.data(), buffer_.size());
    pos_ = 0;
    if (end_ == 0) {
        atEnd_ = true;
        return false;
    }
    if (atStart_) {
        atStart_ = false;
        if (std::string_view(buffer_.data(), end_).starts_with(kUtf8Bom)) {
            pos_ = kUtf8Bom.size();
            notes_.readAsUtf8 = true;
        }
    }
    if (const void* z = std::memchr(buffer_.data(), kCtrlZ, end_)) {
        end_ = static_cast<std::size_t>(static_cast<const char*>(z) - buffer_.data());
        atEnd_ = true;  // nothing after Ctrl-Z is read, not even the rest of this chunk
        pos_ = std::min(pos_, end_);
    }
    if (!sawNul_ && std::memchr(buffer_.data() + pos_, '\0', end_ - pos_)) sawNul_ = true;
    return true;
}

bool LineReader::next(std::u32string& line) {
    try {
        std::string_view bytes;
        if (!readLine(bytes)) return false;
        line.clear();
        codePage().decodeAppend(bytes, line);
        return true;
    } catch (const std::bad_alloc&) {
        throwLineTooLong();
    }
}

bool LineReader::next(std::string_view& line) {
    try {
        return readLine(line);
    } catch (const std::bad_alloc&) {
        throwLineTooLong();
    }
}

// A line longer than memory holds.
void LineReader::throwLineTooLong() const {
    throw Error(FileError::Unreadable, {.file = name(), .line = lineNumber_, .cause = describeSystemError(ENOMEM)});
}

// A NUL would be copied into a table and end the value there for every
// reader of it; a space keeps the columns after it where they were typed.
void LineReader::replaceNuls(std::string_view& line) {
    if (line.find('\0') == std::string_view::npos) return;
    char* begin;
    if (line.data() >= buffer_.data() && line.data() < buffer_.data() + buffer_.size()) {
        begin = buffer_.data() + (line.data() - buffer_.data());
    } else {
        begin = lineBytes_.data();
    }
    char* stop = begin + line.size();
    const auto n = std::count(begin, stop, '\0');
    std::replace(begin, stop, '\0', ' ');
    notes_.nuls.add(n, lineNumber_);
}

bool LineReader::readLine(std::string_view& line) {
    while (pos_ == end_)
        if (!fill()) return false;
    const char* start = buffer_.data() + pos_;
    const char* stop = buffer_.data() + end_;
    const char* lf = static_cast<const char*>(std::memchr(start, '\n', static_cast<std::size_t>(stop - start)));
    lineNumber_ = nextLine_;
    ++nextLine_;
    bool whole = false;
    if (lf) {  // the whole line is in the buffer: give it from there
        pos_ = static_cast<std::size_t>(lf - buffer_.data()) + 1;
        std::string_view piece(start, static_cast<std::size_t>(lf - start));
        if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
        if (piece.find('\r') == std::string_view::npos) {
            line = piece;
            whole = true;
        } else {
            lineBytes_.assign(piece);
        }
    } else {  // the line goes on in the next chunks
        lineBytes_.assign(start, stop);
        pos_ = end_;
        bool endedByLf = false;
        while (fill()) {
            const char* s = buffer_.data() + pos_;
            const char* e = buffer_.data() + end_;
            const char* nl = static_cast<const char*>(std::memchr(s, '\n', static_cast<std::size_t>(e - s)));
            lineBytes_.append(s, nl ? nl : e);
            pos_ = nl ? static_cast<std::size_t>(nl - buffer_.data()) + 1 : end_;
            if (nl) {
                endedByLf = true;
                break;
            }
        }
        if (endedByLf && !lineBytes_.empty() && lineBytes_.back() == '\r') lineBytes_.pop_back();
    }
    if (!whole) {
        // A lone CR joins two lines, as TUXA's own reader did; an editor shows
        // two, so the numbers that follow count it as a line break.
        const auto loneCrs = std::count(lineBytes_.begin(), lineBytes_.end(), '\r');
        notes_.loneCrs.add(loneCrs, lineNumber_);
        nextLine_ += loneCrs;
        lineBytes_.erase(std::remove(lineBytes_.begin(), lineBytes_.end(), '\r'), lineBytes_.end());
        line = lineBytes_;
    }
    if (sawNul_) replaceNuls(line);
    if (notes_.readAsUtf8) {
        converted_.clear();
        notes_.unstorable.add(static_cast<std::int64_t>(toTablePage_.append(line, converted_)), lineNumber_);
        line = converted_;
    }
    return true;
}

}  // namespace tht
