// Built from the code pages' own decoding and encoding, so it gives what the
// character path gives on every system that implements them.
#include "charset/byte_map.h"

#include <bit>
#include <cstdint>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "charset/unicode.h"

namespace tht {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

bool printableAscii(char32_t c) { return c >= 0x20 && c <= 0x7E; }

std::uint64_t load(const char* p) noexcept {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

}  // namespace

std::optional<ByteMap> ByteMap::between(const CodePage& from, const CodePage& to) {
    if (!from.isSingleByte() || !to.isSingleByte()) return std::nullopt;
    ByteMap m(from, to);
    for (int b = 0; b < 256; ++b) {
        const char32_t c = from.decodeByte(static_cast<unsigned char>(b));
        if ((printableAscii(c) || printableAscii(static_cast<char32_t>(b))) && c != static_cast<char32_t>(b))
            return std::nullopt;
        const std::string encoded = to.encode(std::u32string_view(&c, 1));
        m.bytes_[static_cast<std::size_t>(b)] = encoded.size() == 1 ? encoded[0] : '?';
        m.unreadable_[static_cast<std::size_t>(b)] = c == kReplacementChar;
        if (b < 128 && m.bytes_[static_cast<std::size_t>(b)] != static_cast<char>(b)) m.asciiKept_ = false;
    }
    return m;
}

ByteMap::Counts ByteMap::copy(std::string_view src, char* dst) const noexcept {
    if (src.empty()) return {};
    std::memcpy(dst, src.data(), src.size());
    return mapInPlace(dst, src.size());
}

ByteMap::Counts ByteMap::mapInPlace(char* dst, std::size_t n) const noexcept {
    Counts counts;
    auto one = [&](std::size_t i) {
        const auto b = static_cast<unsigned char>(dst[i]);
        const char to = bytes_[b];
        counts.unreadable += unreadable_[b];
        counts.lost += to == '?' && b != '?';
        dst[i] = to;
    };
    if (!asciiKept_) {
        for (std::size_t i = 0; i < n; ++i) one(i);
        return counts;
    }
    // Only bytes above 127 can change: find them sixteen at a time, the last
    // sixteen overlapping those before; a short text is first tested whole.
    std::size_t i = 0;
#ifdef __SSE2__
    auto highIn = [&](std::size_t at) {
        return static_cast<unsigned>(_mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + at))));
    };
    if (n >= 16) {
        for (; i + 16 <= n; i += 16)
            for (unsigned high = highIn(i); high != 0; high &= high - 1) one(i + static_cast<std::size_t>(std::countr_zero(high)));
        if (i < n)
            for (unsigned high = highIn(n - 16) & (0xFFFFu << (16 - (n - i))); high != 0; high &= high - 1)
                one(n - 16 + static_cast<std::size_t>(std::countr_zero(high)));
        return counts;
    }
#endif
    if (n >= 8 && ((load(dst) | load(dst + n - 8)) & kHighBits) == 0) return counts;
    for (; i < n; ++i)
        if (static_cast<unsigned char>(dst[i]) >= 0x80) one(i);
    return counts;
}

ByteMap::Counts ByteMap::append(std::string_view src, std::string& out) const {
    const std::size_t start = out.size();
    out.resize(start + src.size());
    return copy(src, out.data() + start);
}

}  // namespace tht
