#include "store/key_bytes.h"

#include <algorithm>

#include "platform/codepage.h"

namespace tht {

std::optional<KeyBytes> KeyBytes::of(const CodePage& page) {
    if (!page.isSingleByte()) return std::nullopt;
    KeyBytes k(page);
    for (int b = 0; b < 256; ++b) {
        const char32_t c = page.decodeByte(static_cast<unsigned char>(b));
        const auto known = std::find_if(k.byCharacter_.begin(), k.byCharacter_.end(),
                                        [c](const auto& e) { return e.first == c; });
        if (known == k.byCharacter_.end()) {
            k.byCharacter_.emplace_back(c, static_cast<unsigned char>(b));
            k.first_[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
        } else {
            k.first_[static_cast<std::size_t>(b)] = known->second;
        }
    }
    k.byLatin1_.fill(-1);
    std::erase_if(k.byCharacter_, [&k](const auto& e) {
        if (e.first >= 256) return false;
        k.byLatin1_[e.first] = e.second;
        return true;
    });
    std::sort(k.byCharacter_.begin(), k.byCharacter_.end());
    return k;
}

void KeyBytes::append(std::string_view bytes, std::string& out) const {
    const std::size_t start = out.size();
    out.resize(start + bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[start + i] = static_cast<char>(first_[static_cast<unsigned char>(bytes[i])]);
}

bool KeyBytes::appendText(std::u32string_view text, std::string& out) const {
    for (const char32_t c : text) {
        if (c < 256) {
            if (byLatin1_[c] < 0) return false;
            out.push_back(static_cast<char>(byLatin1_[c]));
            continue;
        }
        const auto it = std::lower_bound(byCharacter_.begin(), byCharacter_.end(), std::pair{c, static_cast<unsigned char>(0)});
        if (it == byCharacter_.end() || it->first != c) return false;
        out.push_back(static_cast<char>(it->second));
    }
    return true;
}

}  // namespace tht
