#pragma once
// A code page: the system's ANSI page and the other legacy pages that tables
// name, as tables of characters, so that converting costs no call to the
// system. The system (platform/code_pages.h) says which character each byte
// of a page is, and converts the pages no table can hold. Decoding never
// fails; encoding writes "?" for a character the page cannot hold.
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <cstdint>
#include <vector>

namespace tht {

// The system's converter of a page that is neither single-byte nor UTF-8.
class PageConverter {
public:
    virtual ~PageConverter() = default;
    virtual void decode(std::string_view bytes, std::u32string& out) const = 0;
    virtual void encode(std::u32string_view text, std::string& out) const = 0;
};

class CodePage {
public:
    // A single-byte page from the character of each byte (U+FFFD where the
    // page leaves a byte undefined).
    static CodePage singleByte(std::string name, const std::array<char32_t, 256>& characters);
    static CodePage utf8(std::string name);
    static CodePage converted(std::string name, std::shared_ptr<const PageConverter> converter);

    const std::string& name() const noexcept { return name_; }
    bool isUtf8() const noexcept { return mode_ == Mode::Utf8; }

    void decodeAppend(std::string_view bytes, std::u32string& out) const;
    std::u32string decode(std::string_view bytes) const;
    void encodeAppend(std::u32string_view text, std::string& out) const;
    std::string encode(std::u32string_view text) const;

    // Single-byte code pages only: the character of one byte, without a call.
    char32_t decodeByte(unsigned char b) const noexcept { return toUnicode_[b]; }
    bool isSingleByte() const noexcept { return mode_ == Mode::SingleByte; }

private:
    enum class Mode { SingleByte, Utf8, Other };
    CodePage() = default;
    // From toUnicode_: the reverse table and whether bytes 0-127 are ASCII.
    void buildReverseTable();
    std::string name_;
    Mode mode_ = Mode::SingleByte;
    std::array<char32_t, 256> toUnicode_{};
    // The byte of each BMP character, -1 for none, in blocks of 256
    // characters: blockOf_[c >> 8] is the block of c, block 0 one of no
    // character. A page uses a few blocks; a flat table would be 128 KiB to
    // clear and fault in for every page opened.
    std::array<std::uint16_t, 256> blockOf_{};
    std::vector<std::array<std::int16_t, 256>> blocks_;
    bool asciiIdentity_ = true;                 // bytes 0-127 are ASCII
    std::shared_ptr<const PageConverter> converter_;  // Mode::Other
};

}  // namespace tht
