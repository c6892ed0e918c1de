#include "text/utf8_text.h"

#include <algorithm>
#include <cstring>

#include "charset/codepage.h"
#include "charset/unicode.h"
#include "platform/code_pages.h"

namespace tht {

bool Utf8Check::feed(std::string_view bytes) noexcept {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (valid_ && p < end) {
        if (left_ == 0) {
            // Most of a TUXA file is ASCII: skip it eight bytes at a time.
            while (end - p >= 8) {
                std::uint64_t word;
                std::memcpy(&word, p, 8);
                if (word & 0x8080808080808080ULL) break;
                p += 8;
            }
            if (p == end) break;
            const unsigned char b = *p++;
            if (b < 0x80) continue;
            low_ = 0x80;
            high_ = 0xBF;
            if (b >= 0xC2 && b <= 0xDF) {
                left_ = 1;
            } else if (b >= 0xE0 && b <= 0xEF) {
                left_ = 2;
                if (b == 0xE0) low_ = 0xA0;   // no overlong forms
                if (b == 0xED) high_ = 0x9F;  // no surrogates
            } else if (b >= 0xF0 && b <= 0xF4) {
                left_ = 3;
                if (b == 0xF0) low_ = 0x90;
                if (b == 0xF4) high_ = 0x8F;  // nothing above U+10FFFF
            } else {
                valid_ = false;
            }
            multiByte_ = true;
            continue;
        }
        const unsigned char b = *p++;
        if (b < low_ || b > high_) {
            valid_ = false;
            break;
        }
        low_ = 0x80;
        high_ = 0xBF;
        --left_;
    }
    return valid_;
}

std::size_t Utf8ToTablePage::append(std::string_view utf8, std::string& out) {
    // ASCII is copied as it stands; each run of other bytes is decoded and
    // encoded on its own, which gives the same as the whole line would, since
    // an ASCII byte always starts a character of its own.
    const CodePage& tables = windows1252();
    std::size_t unstorable = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t j = i;
        while (j < utf8.size() && static_cast<unsigned char>(utf8[j]) < 0x80) ++j;
        out.append(utf8, i, j - i);
        if (j == utf8.size()) break;
        i = j;
        while (j < utf8.size() && static_cast<unsigned char>(utf8[j]) >= 0x80) ++j;
        characters_.clear();
        appendUtf8Decoded(utf8.substr(i, j - i), characters_);
        const std::size_t start = out.size();
        tables.encodeAppend(characters_, out);
        // None of these characters is "?": each "?" written is one the page cannot hold.
        unstorable += static_cast<std::size_t>(std::count(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '?'));
        i = j;
    }
    return unstorable;
}

std::size_t appendInTablePage(std::u32string_view text, std::string& out) {
    const std::size_t start = out.size();
    windows1252().encodeAppend(text, out);
    const auto written = std::count(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '?');
    return static_cast<std::size_t>(written - std::count(text.begin(), text.end(), U'?'));
}

}  // namespace tht
