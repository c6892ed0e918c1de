#include "text/line_reader.h"

#include <algorithm>
#include <cstring>

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
    lineBytes_.clear();
    bool any = false;
    for (;;) {
        if (pos_ == end_ && !fill()) break;
        any = true;
        const char* start = buffer_.data() + pos_;
        const char* stop = buffer_.data() + end_;
        const char* lf = static_cast<const char*>(std::memchr(start, '\n', static_cast<std::size_t>(stop - start)));
        const char* piece_end = lf ? lf : stop;
        lineBytes_.append(start, piece_end);
        pos_ = static_cast<std::size_t>(piece_end - buffer_.data()) + (lf ? 1 : 0);
        if (lf) break;
    }
    if (!any) return false;
    lineBytes_.erase(std::remove(lineBytes_.begin(), lineBytes_.end(), '\r'), lineBytes_.end());
    line.clear();
    codePage_->decodeAppend(lineBytes_, line);
    ++lineNumber_;
    return true;
}

}  // namespace tht
