#pragma once
// Line-by-line reading of a TUXA file, streaming: memory holds one chunk and
// the longest line, whatever the file's size.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/byte_io.h"
#include "platform/codepage.h"

namespace tht {

class LineReader {
public:
    LineReader(std::unique_ptr<ByteSource> source, const CodePage& codePage);
    // Opens a file; throws Error(FileUnreadable) when it cannot be opened.
    static LineReader open(const std::filesystem::path& path, const CodePage& codePage = CodePage::system());

    // The next line, decoded, without its line break; false at the end.
    // A line feed or CR LF ends a line, a lone CR is dropped, byte 26 ends the
    // file; no byte-order mark is recognised.
    bool next(std::u32string& line);
    // The same line as its bytes, not decoded, valid until the next call.
    bool next(std::string_view& line);
    // 1-based number of the line last returned by next().
    std::int64_t lineNumber() const noexcept { return lineNumber_; }
    const std::string& name() const { return source_->name(); }

private:
    bool fill();
    bool readLine(std::string_view& line);
    [[noreturn]] void throwLineTooLong() const;

    std::unique_ptr<ByteSource> source_;
    const CodePage* codePage_;
    std::string buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    std::string lineBytes_;
    std::int64_t lineNumber_ = 0;
};

}  // namespace tht
