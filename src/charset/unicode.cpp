#include "charset/unicode.h"

namespace tht {

void appendUtf8Decoded(std::string_view bytes, std::u32string& out) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        unsigned char b = *p;
        if (b < 0x80) {
            out.push_back(b);
            ++p;
            continue;
        }
        int extra;
        char32_t c;
        char32_t min;
        if (b >= 0xC2 && b <= 0xDF) { extra = 1; c = b & 0x1F; min = 0x80; }
        else if (b >= 0xE0 && b <= 0xEF) { extra = 2; c = b & 0x0F; min = 0x800; }
        else if (b >= 0xF0 && b <= 0xF4) { extra = 3; c = b & 0x07; min = 0x10000; }
        else { out.push_back(kReplacementChar); ++p; continue; }
        const unsigned char* q = p + 1;
        int i = 0;
        for (; i < extra && q < end && (*q & 0xC0) == 0x80; ++i, ++q) c = (c << 6) | (*q & 0x3F);
        if (i < extra || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            out.push_back(kReplacementChar);
            p = (i < extra) ? q : p + 1 + extra;
            continue;
        }
        out.push_back(c);
        p = q;
    }
}

std::u32string fromUtf8(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    appendUtf8Decoded(bytes, out);
    return out;
}

void appendUtf8(char32_t c, std::string& out) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacementChar;
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

std::string toUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) appendUtf8(c, out);
    return out;
}

std::u32string fromUtf16(std::string_view bytes, Utf16Order order) {
    std::u32string out;
    out.reserve(bytes.size() / 2);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t units = bytes.size() / 2;
    auto unit = [&](std::size_t i) -> char16_t {
        return order == Utf16Order::LittleEndian ? char16_t(p[2 * i] | (p[2 * i + 1] << 8))
                                                 : char16_t((p[2 * i] << 8) | p[2 * i + 1]);
    };
    for (std::size_t i = 0; i < units; ++i) {
        char16_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
            char16_t v = unit(i + 1);
            if (v >= 0xDC00 && v <= 0xDFFF) {
                out.push_back(0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(v) - 0xDC00));
                ++i;
                continue;
            }
        }
        out.push_back((u >= 0xD800 && u <= 0xDFFF) ? kReplacementChar : char32_t(u));
    }
    if (bytes.size() % 2 != 0) out.push_back(kReplacementChar);
    return out;
}

}  // namespace tht
