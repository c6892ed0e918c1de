#include "text/whole_file.h"

#include "platform/files.h"
#include "platform/unicode.h"

namespace tht {

TextLines TextLines::fromBytes(std::string_view bytes, const CodePage& codePage) {
    TextLines lines;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        lines.text_ = fromUtf8(bytes.substr(3));
    } else if (bytes.starts_with("\xFF\xFE")) {
        lines.text_ = fromUtf16(bytes.substr(2), Utf16Order::LittleEndian);
    } else if (bytes.starts_with("\xFE\xFF")) {
        lines.text_ = fromUtf16(bytes.substr(2), Utf16Order::BigEndian);
    } else {
        lines.text_.reserve(bytes.size());
        codePage.decodeAppend(bytes, lines.text_);
    }
    if (const std::size_t nul = lines.text_.find(U'\0'); nul != std::u32string::npos) lines.text_.resize(nul);

    const std::u32string& t = lines.text_;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < t.size()) {
        const char32_t c = t[i];
        if (c != U'\r' && c != U'\n') {
            ++i;
            continue;
        }
        lines.spans_.emplace_back(start, i - start);
        i += (c == U'\r' && i + 1 < t.size() && t[i + 1] == U'\n') ? 2 : 1;
        start = i;
    }
    if (start < t.size()) lines.spans_.emplace_back(start, t.size() - start);
    return lines;
}

TextLines TextLines::load(const std::filesystem::path& path, const CodePage& codePage) {
    return fromBytes(readFileBytes(path), codePage);
}

}  // namespace tht
