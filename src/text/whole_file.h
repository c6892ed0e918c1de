#pragma once
// Whole-file reading of a TUXA file: byte-order marks of UTF-8 and UTF-16
// recognised, else, when asked, UTF-8 recognised by its content, else the
// code page; lines cut at CR, LF and CR LF; a NUL ends the text. The file is
// held as its bytes and each line decoded when asked for, so a large file
// costs its size once, not four times. A UTF-8 file is held as the bytes of
// the tables' page, the form a windows-1252 file has.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_buffer.h"
#include "charset/byte_map.h"
#include "charset/codepage.h"
#include "platform/code_pages.h"
#include "text/reading_notes.h"

namespace tht {

class TextLines {
public:
    // With guessUtf8, a text without a byte-order mark that is UTF-8 with
    // multi-byte sequences is read as UTF-8.
    static TextLines fromBytes(std::string bytes, const CodePage& codePage, bool guessUtf8 = false);
    // Throws Error(FileUnreadable) when the file cannot be read.
    static TextLines load(const std::filesystem::path& path, const CodePage& codePage = systemCodePage(),
                          bool guessUtf8 = false);

    std::size_t size() const noexcept { return spans_.size(); }

    const ReadingNotes& notes() const noexcept { return notes_; }
    // Line i, decoded, into a buffer the caller reuses.
    void line(std::size_t i, std::u32string& out) const;
    std::u32string line(std::size_t i) const;

    // Whether the lines are held as the bytes of the code page the file was
    // read with, or of the tables' page for a UTF-8 file (codePage() says
    // which), and line i as those bytes.
    bool heldAsCodePageBytes() const noexcept { return held_ == Held::CodePageBytes; }
    const CodePage& codePage() const noexcept { return *codePage_; }
    std::string_view lineBytes(std::size_t i) const noexcept {
        return std::string_view(bytes_).substr(spans_[i].first, spans_[i].second);
    }

    // Every line carried into the tables' page (windows-1252), one byte per
    // character: through map where it reads the page the lines are held in,
    // else character by character. A character that page cannot hold
    // becomes "?" and is counted in notes().unstorable.
    void convertToTablePage(const ByteMap* map);

private:
    enum class Held { CodePageBytes, Decoded };
    static TextLines fromBuffer(ByteBuffer bytes, const CodePage& codePage, bool guessUtf8);
    void toTablePage();
    template <class Text>
    void split(const Text& text);
    template <class Text>
    void cutAtNul(Text& text);

    Held held_ = Held::Decoded;
    const CodePage* codePage_ = nullptr;
    ByteBuffer bytes_;       // Held::CodePageBytes
    std::u32string text_;    // Held::Decoded: UTF-16 files and code pages whose bytes cannot be split
    std::vector<std::pair<std::size_t, std::size_t>> spans_;  // start, length
    ReadingNotes notes_;
};

}  // namespace tht
