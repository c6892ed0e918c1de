#pragma once
// Text of one single-byte code page carried to another byte by byte, through
// one 256-entry table: each byte becomes what decoding it and encoding its
// character would give, "?" where the other page has no such character.
// TUXA's files and the tables we write are single-byte in every school, and
// a round trip of each character through UTF-32 would cost most of a run.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "charset/codepage.h"

namespace tht {

class ByteMap {
public:
    // The map from `from` to `to`, or nothing where testing bytes would not
    // be testing characters: when either page is not single-byte, or a byte
    // reads as a printable ASCII character other than itself (lines are cut,
    // trimmed and recognised by their spaces, digits and tags as bytes).
    static std::optional<ByteMap> between(const CodePage& from, const CodePage& to);

    const CodePage& from() const noexcept { return *from_; }
    const CodePage& to() const noexcept { return *to_; }

    char map(unsigned char b) const noexcept { return bytes_[b]; }
    // src.size() bytes into dst, each through the map.
    void copy(std::string_view src, char* dst) const noexcept;
    void append(std::string_view src, std::string& out) const;
    // The n bytes at text, each through the map where it stands.
    void mapInPlace(char* text, std::size_t n) const noexcept;

    // Bytes that `from` leaves undefined: they read as U+FFFD.
    bool unreadable(unsigned char b) const noexcept { return unreadable_[b]; }
    std::size_t countUnreadable(std::string_view text) const noexcept {
        return anyUnreadable_ ? countUnreadableBytes(text) : 0;
    }

private:
    ByteMap(const CodePage& from, const CodePage& to) : from_(&from), to_(&to) {}
    std::size_t countUnreadableBytes(std::string_view text) const noexcept;

    const CodePage* from_;
    const CodePage* to_;
    std::array<char, 256> bytes_{};
    std::array<bool, 256> unreadable_{};
    bool asciiKept_ = true;        // bytes 0-127 map to themselves: runs of them are copied as they are
    bool anyUnreadable_ = false;
    bool unreadableAscii_ = false;  // an undefined byte below 128: every byte has to be looked at
};

}  // namespace tht
