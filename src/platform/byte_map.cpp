// Built from the code pages' own decoding and encoding, so it gives what the
// character path gives on every system that implements them.
#include "platform/byte_map.h"

#include <cstdint>
#include <cstring>

#include "platform/unicode.h"

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
        if (c == kReplacementChar) {
            m.anyUnreadable_ = true;
            if (b < 128) m.unreadableAscii_ = true;
        }
    }
    return m;
}

void ByteMap::copy(std::string_view src, char* dst) const noexcept {
    const std::size_t n = src.size();
    if (n == 0) return;
    std::memcpy(dst, src.data(), n);
    std::size_t i = 0;
    if (asciiKept_) {
        // Most text is ASCII: skip it eight bytes at a time.
        for (;;) {
            while (i + 8 <= n && (load(dst + i) & kHighBits) == 0) i += 8;
            while (i < n && static_cast<unsigned char>(dst[i]) < 0x80) ++i;
            if (i == n) return;
            dst[i] = bytes_[static_cast<unsigned char>(dst[i])];
            ++i;
        }
    }
    for (; i < n; ++i) dst[i] = bytes_[static_cast<unsigned char>(dst[i])];
}

void ByteMap::append(std::string_view src, std::string& out) const {
    const std::size_t start = out.size();
    out.resize(start + src.size());
    copy(src, out.data() + start);
}

std::size_t ByteMap::countUnreadableBytes(std::string_view text) const noexcept {
    std::size_t count = 0, i = 0;
    const std::size_t n = text.size();
    if (!unreadableAscii_)
        while (i + 8 <= n) {
            if ((load(text.data() + i) & kHighBits) != 0)
                for (std::size_t k = i; k < i + 8; ++k) count += unreadable_[static_cast<unsigned char>(text[k])];
            i += 8;
        }
    for (; i < n; ++i) count += unreadable_[static_cast<unsigned char>(text[i])];
    return count;
}

}  // namespace tht
