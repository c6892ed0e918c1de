#include "text/utf8_text.h"

#include <algorithm>
#include <cstring>

#include "platform/codepage.h"
#include "platform/unicode.h"

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
    characters_.clear();
    appendUtf8Decoded(utf8, characters_);
    const std::size_t start = out.size();
    CodePage::windows1252().encodeAppend(characters_, out);
    const auto marks = std::count(out.begin() + static_cast<std::ptrdiff_t>(start), out.end(), '?');
    const auto typed = std::count(characters_.begin(), characters_.end(), U'?');
    return static_cast<std::size_t>(marks - typed);
}

}  // namespace tht
