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

    // What one pass through the map met, counted as it maps: bytes that
    // `from` leaves undefined (they read as U+FFFD), and bytes that became
    // "?" without being one (those undefined ones, and characters `to` lacks).
    struct Counts {
        std::size_t unreadable = 0;
        std::size_t lost = 0;
    };
    // src.size() bytes into dst, each through the map.
    Counts copy(std::string_view src, char* dst) const noexcept;
    Counts append(std::string_view src, std::string& out) const;
    // The n bytes at text, each through the map where it stands.
    Counts mapInPlace(char* text, std::size_t n) const noexcept;

    bool unreadable(unsigned char b) const noexcept { return unreadable_[b]; }

private:
    ByteMap(const CodePage& from, const CodePage& to) : from_(&from), to_(&to) {}

    const CodePage* from_;
    const CodePage* to_;
    std::array<char, 256> bytes_{};
    std::array<bool, 256> unreadable_{};
    // Bytes 0-127 map to themselves: runs of them are copied as they are.
    // An undefined byte below 128 maps to "?", so it makes this false.
    bool asciiKept_ = true;
};

}  // namespace tht
