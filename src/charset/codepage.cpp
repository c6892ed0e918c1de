// The table-driven paths of single-byte pages, UTF-8, and the reverse table
// built from the forward one. The system's converter (ICU, Windows) gives the
// forward table and converts the pages no table can hold.
#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "charset/codepage.h"

#include <utility>

#include "charset/unicode.h"

namespace tht {
namespace {

// Plain ASCII is most of every TUXA line and every table field: these copy
// runs of it between bytes and characters without a table, sixteen at a time.
// Each returns how many leading characters it converted.
std::size_t widenAscii(const unsigned char* src, std::size_t n, char32_t* dst) {
    std::size_t i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        if (_mm_movemask_epi8(bytes) != 0) break;  // a byte above 127: the table decides
        const __m128i lo = _mm_unpacklo_epi8(bytes, zero), hi = _mm_unpackhi_epi8(bytes, zero);
        auto* out = reinterpret_cast<__m128i*>(dst + i);
        _mm_storeu_si128(out, _mm_unpacklo_epi16(lo, zero));
        _mm_storeu_si128(out + 1, _mm_unpackhi_epi16(lo, zero));
        _mm_storeu_si128(out + 2, _mm_unpacklo_epi16(hi, zero));
        _mm_storeu_si128(out + 3, _mm_unpackhi_epi16(hi, zero));
    }
#endif
    for (; i < n && src[i] < 0x80; ++i) dst[i] = src[i];
    return i;
}

std::size_t narrowAscii(const char32_t* src, std::size_t n, char* dst) {
    std::size_t i = 0;
#ifdef __SSE2__
    const __m128i limit = _mm_set1_epi32(0x7F);
    for (; i + 16 <= n; i += 16) {
        const auto* in = reinterpret_cast<const __m128i*>(src + i);
        const __m128i a = _mm_loadu_si128(in), b = _mm_loadu_si128(in + 1), c = _mm_loadu_si128(in + 2),
                      d = _mm_loadu_si128(in + 3);
        // Signed compares: a character above 0x7FFFFFFF is no character, and none gets here.
        const __m128i over = _mm_or_si128(_mm_or_si128(_mm_cmpgt_epi32(a, limit), _mm_cmpgt_epi32(b, limit)),
                                          _mm_or_si128(_mm_cmpgt_epi32(c, limit), _mm_cmpgt_epi32(d, limit)));
        if (_mm_movemask_epi8(over) != 0) break;
        const __m128i words = _mm_packs_epi32(a, b), words2 = _mm_packs_epi32(c, d);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_packus_epi16(words, words2));
    }
#endif
    for (; i < n && src[i] < 0x80; ++i) dst[i] = static_cast<char>(src[i]);
    return i;
}

}  // namespace

void CodePage::buildReverseTable() {
    asciiIdentity_ = true;
    for (int b = 0; b < 128; ++b)
        if (toUnicode_[b] != static_cast<char32_t>(b)) asciiIdentity_ = false;
    blockOf_.fill(0);
    blocks_.assign(1, {});
    blocks_[0].fill(-1);
    for (int b = 255; b >= 0; --b) {  // the lowest byte wins where two bytes give one character
        const char32_t c = toUnicode_[b];
        if (c == kReplacementChar || c > 0xFFFF) continue;
        // Bytes a code page leaves undefined come back as C1 controls; writing
        // them out again would give files that strict readers reject.
        if (c >= 0x80 && c <= 0x9F) continue;
        std::uint16_t& block = blockOf_[c >> 8];
        if (block == 0) {
            block = static_cast<std::uint16_t>(blocks_.size());
            blocks_.emplace_back().fill(-1);
        }
        blocks_[block][c & 0xFF] = static_cast<std::int16_t>(b);
    }
}

CodePage CodePage::singleByte(std::string name, const std::array<char32_t, 256>& characters) {
    CodePage cp;
    cp.name_ = std::move(name);
    cp.mode_ = Mode::SingleByte;
    cp.toUnicode_ = characters;
    cp.buildReverseTable();
    return cp;
}

CodePage CodePage::utf8(std::string name) {
    CodePage cp;
    cp.name_ = std::move(name);
    cp.mode_ = Mode::Utf8;
    return cp;
}

CodePage CodePage::converted(std::string name, std::shared_ptr<const PageConverter> converter) {
    CodePage cp;
    cp.name_ = std::move(name);
    cp.mode_ = Mode::Other;
    cp.converter_ = std::move(converter);
    return cp;
}

void CodePage::decodeAppend(std::string_view bytes, std::u32string& out) const {
    switch (mode_) {
    case Mode::SingleByte: {
        const std::size_t start = out.size();
        out.resize(start + bytes.size());
        char32_t* dst = out.data() + start;
        const auto* src = reinterpret_cast<const unsigned char*>(bytes.data());
        const std::size_t n = bytes.size();
        std::size_t i = 0;
        while (i < n) {
            if (asciiIdentity_) i += widenAscii(src + i, n - i, dst + i);
            if (i < n) {
                dst[i] = toUnicode_[src[i]];
                ++i;
            }
        }
        return;
    }
    case Mode::Utf8:
        appendUtf8Decoded(bytes, out);
        return;
    case Mode::Other:
        converter_->decode(bytes, out);
        return;
    }
}

std::u32string CodePage::decode(std::string_view bytes) const {
    std::u32string out;
    decodeAppend(bytes, out);
    return out;
}

void CodePage::encodeAppend(std::u32string_view text, std::string& out) const {
    switch (mode_) {
    case Mode::SingleByte: {
        const std::size_t start = out.size();
        out.resize(start + text.size());
        char* dst = out.data() + start;
        // Locals, because stores through dst (a char*) could alias the members.
        const std::uint16_t* blockOf = blockOf_.data();
        const std::array<std::int16_t, 256>* blocks = blocks_.data();
        const char32_t* src = text.data();
        const std::size_t n = text.size();
        auto one = [blockOf, blocks](char32_t c) {
            const std::int16_t b = c <= 0xFFFF ? blocks[blockOf[c >> 8]][c & 0xFF] : -1;
            return b >= 0 ? static_cast<char>(b) : '?';
        };
        std::size_t i = 0;
        while (i < n) {
            if (asciiIdentity_) i += narrowAscii(src + i, n - i, dst + i);
            if (i < n) {
                dst[i] = one(src[i]);
                ++i;
            }
        }
        return;
    }
    case Mode::Utf8:
        for (char32_t c : text) appendUtf8(c, out);
        return;
    case Mode::Other:
        converter_->encode(text, out);
        return;
    }
}

std::string CodePage::encode(std::u32string_view text) const {
    std::string out;
    out.reserve(text.size());
    encodeAppend(text, out);
    return out;
}

}  // namespace tht
