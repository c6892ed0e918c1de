#include "text/line_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#include "platform/error.h"
#include "platform/files.h"

namespace tht {
namespace {
constexpr std::size_t kChunk = 1 << 16;
constexpr char kCtrlZ = 26;
}  // namespace

LineReader::LineReader(std::unique_ptr<ByteSource> source, const CodePage& codePage)
    : source_(std::move(source)), codePage_(&codePage), buffer_(kChunk, '\0') {}

LineReader LineReader::open(const std::filesystem::path& path, const CodePage& codePage) {
    return LineReader(std::make_unique<InputFile>(path), codePage);
}

bool LineReader::fill() {
    if (atEnd_) return false;
    end_ = source_->read(buffer_.data(), buffer_.size());
    pos_ = 0;
    if (end_ == 0) {
        atEnd_ = true;
        return false;
    }
    if (const void* z = std::memchr(buffer_.data(), kCtrlZ, end_)) {
        end_ = static_cast<std::size_t>(static_cast<const char*>(z) - buffer_.data());
        atEnd_ = true;  // nothing after Ctrl-Z is read, not even the rest of this chunk
        return end_ > 0;
    }
    return true;
}

bool LineReader::next(std::u32string& line) {
    try {
        std::string_view bytes;
        if (!readLine(bytes)) return false;
        line.clear();
        codePage_->decodeAppend(bytes, line);
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

bool LineReader::readLine(std::string_view& line) {
    if (pos_ == end_ && !fill()) return false;
    const char* start = buffer_.data() + pos_;
    const char* stop = buffer_.data() + end_;
    const char* lf = static_cast<const char*>(std::memchr(start, '\n', static_cast<std::size_t>(stop - start)));
    ++lineNumber_;
    if (lf) {  // the whole line is in the buffer: give it from there
        pos_ = static_cast<std::size_t>(lf - buffer_.data()) + 1;
        std::string_view piece(start, static_cast<std::size_t>(lf - start));
        if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
        if (piece.find('\r') == std::string_view::npos) {
            line = piece;
            return true;
        }
        lineBytes_.assign(piece);
    } else {  // the line goes on in the next chunks
        lineBytes_.assign(start, stop);
        pos_ = end_;
        while (fill()) {
            const char* s = buffer_.data();
            const char* e = buffer_.data() + end_;
            const char* nl = static_cast<const char*>(std::memchr(s, '\n', static_cast<std::size_t>(e - s)));
            lineBytes_.append(s, nl ? nl : e);
            pos_ = nl ? static_cast<std::size_t>(nl - s) + 1 : end_;
            if (nl) break;
        }
    }
    lineBytes_.erase(std::remove(lineBytes_.begin(), lineBytes_.end(), '\r'), lineBytes_.end());
    line = lineBytes_;
    return true;
}

}  // namespace tht
