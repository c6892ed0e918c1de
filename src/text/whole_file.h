#pragma once
// Whole-file reading of a TUXA file: byte-order marks of UTF-8 and UTF-16
// recognised, else the code page; lines cut at CR, LF and CR LF; a NUL ends
// the text. The file is held as its bytes and each line decoded when asked
// for, so a large file costs its size once, not four times.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_buffer.h"
#include "platform/codepage.h"

namespace tht {

class TextLines {
public:
    static TextLines fromBytes(std::string bytes, const CodePage& codePage);
    // Throws Error(FileUnreadable) when the file cannot be read.
    static TextLines load(const std::filesystem::path& path, const CodePage& codePage = CodePage::system());

    std::size_t size() const noexcept { return spans_.size(); }

    // Where a NUL ended the text, and how many lines after it were not read.
    struct NulCut {
        std::int64_t line;
        std::int64_t linesNotRead;
    };
    const std::optional<NulCut>& nulCut() const noexcept { return nulCut_; }
    // Line i, decoded, into a buffer the caller reuses.
    void line(std::size_t i, std::u32string& out) const;
    std::u32string line(std::size_t i) const;

    // Whether the lines are held as the bytes of the code page the file was
    // read with (it had no byte-order mark), and line i as those bytes.
    bool heldAsCodePageBytes() const noexcept { return held_ == Held::CodePageBytes; }
    std::string_view lineBytes(std::size_t i) const noexcept {
        return std::string_view(bytes_).substr(spans_[i].first, spans_[i].second);
    }

private:
    enum class Held { CodePageBytes, Utf8Bytes, Decoded };
    static TextLines fromBuffer(ByteBuffer bytes, const CodePage& codePage);
    template <class Text>
    void split(const Text& text);
    template <class Text>
    void cutAtNul(Text& text);

    Held held_ = Held::Decoded;
    const CodePage* codePage_ = nullptr;
    ByteBuffer bytes_;       // Held::CodePageBytes and Held::Utf8Bytes
    std::u32string text_;    // Held::Decoded: UTF-16 files and code pages whose bytes cannot be split
    std::vector<std::pair<std::size_t, std::size_t>> spans_;  // start, length
    std::optional<NulCut> nulCut_;
};

}  // namespace tht
