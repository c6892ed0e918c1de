#include "store/key_bytes.h"

#include <algorithm>

#include "charset/codepage.h"

namespace tht {

std::optional<KeyBytes> KeyBytes::of(const CodePage& page) {
    if (!page.isSingleByte()) return std::nullopt;
    KeyBytes k(page);
    std::vector<std::pair<char32_t, unsigned char>> all;  // every byte's character; sorted, the first byte leads
    for (int b = 0; b < 256; ++b) all.emplace_back(page.decodeByte(static_cast<unsigned char>(b)), static_cast<unsigned char>(b));
    std::sort(all.begin(), all.end());
    k.byLatin1_.fill(-1);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const auto [c, b] = all[i];
        const bool first = i == 0 || all[i - 1].first != c;
        const unsigned char lead = first ? b : k.first_[all[i - 1].second];
        k.first_[b] = lead;
        if (!first) continue;
        if (c < 256) k.byLatin1_[c] = lead;
        else k.byCharacter_.emplace_back(c, lead);
    }
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
