// ICU-backed code pages: the stand-in for the Windows ANSI code page on Linux.
#include <unicode/ucnv.h>
#include <unicode/utf16.h>

#include <cstdlib>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <cstring>
#include <memory>
#include <vector>

#include "platform/codepage.h"
#include "platform/error.h"
#include "platform/unicode.h"

namespace tht {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openConverter(const std::string& name) {
    UErrorCode status = U_ZERO_ERROR;
    Converter conv(ucnv_open(name.c_str(), &status));
    if (U_FAILURE(status) || !conv) throw Error(FileError::CodePageUnknown, {.value = name});
    return conv;
}

std::u32string utf16ToUtf32(const UChar* s, int32_t n) {
    std::u32string out;
    out.reserve(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n;) {
        UChar32 c;
        U16_NEXT(s, i, n, c);
        out.push_back(static_cast<char32_t>(c));
    }
    return out;
}

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

CodePage CodePage::open(std::string_view requested) {
    CodePage cp;
    cp.name_ = std::string(requested);
    Converter conv = openConverter(cp.name_);
    if (ucnv_getType(conv.get()) == UCNV_UTF8) {
        cp.mode_ = Mode::Utf8;
        return cp;
    }
    if (ucnv_getMaxCharSize(conv.get()) != 1) {
        cp.mode_ = Mode::Other;
        return cp;
    }
    cp.mode_ = Mode::SingleByte;
    for (int b = 0; b < 256; ++b) {
        UErrorCode status = U_ZERO_ERROR;
        UChar buf[4];
        const char byte = static_cast<char>(b);
        ucnv_reset(conv.get());
        int32_t n = ucnv_toUChars(conv.get(), buf, 4, &byte, 1, &status);
        char32_t c = kReplacementChar;
        if (U_SUCCESS(status) && n >= 1) {
            std::u32string s = utf16ToUtf32(buf, n);
            if (s.size() == 1 && s[0] != 0x1A) c = s[0];
            else if (s.size() == 1 && b == 0x1A) c = 0x1A;
        }
        cp.toUnicode_[b] = c;
        if (b < 128 && c != static_cast<char32_t>(b)) cp.asciiIdentity_ = false;
    }
    cp.fromBasicPlane_.assign(0x10000, -1);
    for (int b = 255; b >= 0; --b) {  // the lowest byte wins where two bytes give one character
        const char32_t c = cp.toUnicode_[b];
        if (c == kReplacementChar || c > 0xFFFF) continue;
        // Bytes a code page leaves undefined come back as C1 controls; writing
        // them out again would give files that strict readers reject.
        if (c >= 0x80 && c <= 0x9F) continue;
        cp.fromBasicPlane_[c] = static_cast<std::int16_t>(b);
    }
    return cp;
}

const CodePage& CodePage::system() {
    static const CodePage page = [] {
        const char* env = std::getenv("TUXA_CODEPAGE");
        return open(env && *env ? env : "windows-1252");
    }();
    return page;
}

const CodePage& CodePage::windows1252() {
    static const CodePage page = open("windows-1252");
    return page;
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
    case Mode::Other: {
        Converter conv = openConverter(name_);
        std::vector<UChar> buf(bytes.size() * 2 + 4);
        UErrorCode status = U_ZERO_ERROR;
        int32_t n = ucnv_toUChars(conv.get(), buf.data(), static_cast<int32_t>(buf.size()),
                                  bytes.data(), static_cast<int32_t>(bytes.size()), &status);
        if (U_FAILURE(status)) n = 0;
        out += utf16ToUtf32(buf.data(), n);
        return;
    }
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
        const std::int16_t* table = fromBasicPlane_.data();
        const char32_t* src = text.data();
        const std::size_t n = text.size();
        auto one = [table](char32_t c) {
            const std::int16_t b = c <= 0xFFFF ? table[c] : -1;
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
    case Mode::Other: {
        Converter conv = openConverter(name_);
        UErrorCode status = U_ZERO_ERROR;
        ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr,
                              nullptr, &status);
        ucnv_setSubstChars(conv.get(), "?", 1, &status);
        std::vector<UChar> utf16;
        for (char32_t c : text) {
            if (c > 0xFFFF) {
                utf16.push_back(static_cast<UChar>(U16_LEAD(c)));
                utf16.push_back(static_cast<UChar>(U16_TRAIL(c)));
            } else {
                utf16.push_back(static_cast<UChar>(c));
            }
        }
        std::string buf(utf16.size() * 4 + 8, '\0');
        status = U_ZERO_ERROR;
        int32_t n = ucnv_fromUChars(conv.get(), buf.data(), static_cast<int32_t>(buf.size()),
                                    utf16.data(), static_cast<int32_t>(utf16.size()), &status);
        if (U_FAILURE(status)) n = 0;
        out.append(buf.data(), static_cast<std::size_t>(n));
        return;
    }
    }
}

std::string CodePage::encode(std::u32string_view text) const {
    std::string out;
    out.reserve(text.size());
    encodeAppend(text, out);
    return out;
}

}  // namespace tht
