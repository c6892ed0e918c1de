#pragma once
// The system's ANSI code page and the other legacy code pages that tables
// name. Decoding never fails; encoding writes "?" for a character the code
// page cannot hold.
#include <array>
#include <string>
#include <string_view>
#include <cstdint>
#include <vector>

namespace tht {

class CodePage {
public:
    // A converter by name ("windows-1252", "ibm-850", "ISO-8859-15", "UTF-8", ...):
    // any ICU converter on Linux, the names of Windows' own code pages on Windows.
    // Throws Error(CodePageUnknown) for a name the system does not know.
    static CodePage open(std::string_view name);

    // The code page of TUXA files and "TUXA_HORARIO.TXT": the environment
    // variable TUXA_CODEPAGE when set, else the system's ANSI code page
    // (windows-1252 on Linux). Built once.
    static const CodePage& system();
    // Whether TUXA_CODEPAGE names the page: then no file's page is guessed.
    static bool systemIsNamed();
    // windows-1252, the code page of the tables we write. Built once.
    static const CodePage& windows1252();

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
    // Mode::Other, through the system's converter.
    void decodeOther(std::string_view bytes, std::u32string& out) const;
    void encodeOther(std::u32string_view text, std::string& out) const;

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
    unsigned systemId_ = 0;                     // the system's number for the page, where it has one
};

}  // namespace tht
