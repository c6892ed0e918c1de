#pragma once
// Line-by-line reading of a TUXA file, streaming: memory holds one chunk and
// the longest line, whatever the file's size.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/byte_io.h"
#include "charset/codepage.h"
#include "platform/code_pages.h"
#include "text/reading_notes.h"
#include "text/utf8_text.h"

namespace tht {

class LineReader {
public:
    // With utf8, the bytes are UTF-8 whatever codePage says. A UTF-8
    // byte-order mark at the start is dropped and says the same.
    LineReader(std::unique_ptr<ByteSource> source, const CodePage& codePage, bool utf8 = false);
    // Opens a file; throws Error(FileUnreadable) when it cannot be opened.
    // With guessUtf8, a file that is UTF-8 with multi-byte sequences is read
    // as UTF-8 (one extra pass over it, stopped at its first byte that is not).
    static LineReader open(const std::filesystem::path& path, const CodePage& codePage = systemCodePage(),
                           bool guessUtf8 = false);

    // The next line, decoded, without its line break; false at the end.
    // A line feed or CR LF ends a line, a lone CR is dropped, byte 26 ends the
    // file, a NUL reads as a space.
    bool next(std::u32string& line);
    // The same line as bytes of codePage(), valid until the next call.
    bool next(std::string_view& line);
    // The physical line (counting lone CRs as editors do) at which the line
    // last returned by next() starts, 1-based.
    std::int64_t lineNumber() const noexcept { return lineNumber_; }
    const std::string& name() const { return source_->name(); }
    // The page of the bytes next() gives: a UTF-8 file comes as the tables' page.
    const CodePage& codePage() const noexcept;
    const ReadingNotes& notes() const noexcept { return notes_; }

private:
    bool fill();
    bool readLine(std::string_view& line);
    void replaceNuls(std::string_view& line);
    [[noreturn]] void throwLineTooLong() const;

    std::unique_ptr<ByteSource> source_;
    const CodePage* codePage_;
    std::string buffer_;
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool atEnd_ = false;
    bool atStart_ = true;
    bool sawNul_ = false;  // from the first chunk with a NUL on, lines are searched for one
    std::string lineBytes_;
    std::int64_t lineNumber_ = 0;
    std::int64_t nextLine_ = 1;
    Utf8ToTablePage toTablePage_;
    std::string converted_;
    ReadingNotes notes_;
};

}  // namespace tht
