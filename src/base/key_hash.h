#pragma once
// The hash of a key made of parts of text, for the open-addressing indexes a
// run builds over hundreds of thousands of lines and records. It reads eight
// bytes at a time and folds each part's length in, so ("AB", "C") and
// ("A", "BC") hash apart. Not for anything an attacker chooses the keys of:
// the files are the school's own, and a bad spread costs time, not results.
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tht {

class KeyHash {
public:
    void add(std::string_view part) noexcept {
        const char* s = part.data();
        std::size_t n = part.size();
        h_ = mix(h_ ^ n, kLength);
        if (n >= 8) {
            for (; n > 8; s += 8, n -= 8) h_ = mix(h_ ^ load64(s), kWord);
            h_ = mix(h_ ^ load64(s + n - 8), kTail);  // the last eight, overlapping those before
        } else if (n >= 4) {
            h_ = mix(h_ ^ (std::uint64_t{load32(s)} << 32 | load32(s + n - 4)), kTail);
        } else if (n > 0) {
            const auto byte = [&](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(s[i])}; };
            h_ = mix(h_ ^ (byte(0) << 16 | byte(n / 2) << 8 | byte(n - 1)), kTail);
        }
    }

    std::uint64_t value() const noexcept { return mix(h_, kWord); }

private:
    static constexpr std::uint64_t kLength = 0xa0761d6478bd642full;
    static constexpr std::uint64_t kWord = 0xe7037ed1a0b428dbull;
    static constexpr std::uint64_t kTail = 0x8ebc6af09c88c6e3ull;

    // The two halves of the 128-bit product, folded: every input bit reaches
    // every output bit.
    __extension__ typedef unsigned __int128 Wide;  // GCC's own: one multiply on 64-bit processors
    static std::uint64_t mix(std::uint64_t a, std::uint64_t b) noexcept {
        const Wide r = static_cast<Wide>(a) * b;
        return static_cast<std::uint64_t>(r) ^ static_cast<std::uint64_t>(r >> 64);
    }
    static std::uint64_t load64(const char* p) noexcept {
        std::uint64_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    static std::uint32_t load32(const char* p) noexcept {
        std::uint32_t v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }

    std::uint64_t h_ = 0x1d8e4e27c47d124full;
};

}  // namespace tht
