#include "front_end/shortened_folder.h"

#include <vector>

namespace tht {

std::u32string shortenFolder(const std::u32string& folder, char32_t separator,
                             const std::function<int(const std::u32string&)>& width, int maxWidth) {
    if (width(folder) <= maxWidth) return folder;
    constexpr char32_t kEllipsis = U'\u2026';
    std::vector<std::u32string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = folder.find(separator, start);
        parts.push_back(folder.substr(start, end - start));
        if (end == std::u32string::npos) break;
        start = end + 1;
    }
    for (std::size_t dropped = 1; dropped + 2 <= parts.size(); ++dropped) {
        std::u32string candidate = parts.front() + separator + kEllipsis;
        for (std::size_t i = 1 + dropped; i < parts.size(); ++i) candidate += separator + parts[i];
        if (width(candidate) <= maxWidth) return candidate;
    }
    std::u32string tail = folder;
    while (!tail.empty() && width(kEllipsis + tail) > maxWidth) tail.erase(0, 1);
    return kEllipsis + tail;
}

}  // namespace tht
