#include "text/whole_file.h"

#include <cerrno>
#include <new>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/unicode.h"

namespace tht {

template <class Text>
void TextLines::split(const Text& t) {
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < t.size()) {
        const auto c = t[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        spans_.emplace_back(start, i - start);
        i += (c == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < t.size()) spans_.emplace_back(start, t.size() - start);
}

TextLines TextLines::fromBytes(std::string bytes, const CodePage& codePage) {
    TextLines lines;
    const std::string_view b(bytes);
    if (b.starts_with("\xFF\xFE")) {
        lines.text_ = fromUtf16(b.substr(2), Utf16Order::LittleEndian);
    } else if (b.starts_with("\xFE\xFF")) {
        lines.text_ = fromUtf16(b.substr(2), Utf16Order::BigEndian);
    } else if (b.starts_with("\xEF\xBB\xBF")) {
        lines.held_ = Held::Utf8Bytes;
        lines.bytes_ = std::move(bytes);
        lines.bytes_.erase(0, 3);
    } else if (codePage.isSingleByte() || codePage.isUtf8()) {
        // CR, LF and NUL are single bytes in these encodings: the lines can be
        // cut before they are decoded.
        lines.held_ = Held::CodePageBytes;
        lines.codePage_ = &codePage;
        lines.bytes_ = std::move(bytes);
    } else {
        lines.text_ = codePage.decode(b);
    }
    if (lines.held_ == Held::Decoded) {
        if (const auto nul = lines.text_.find(U'\0'); nul != std::u32string::npos) lines.text_.resize(nul);
        lines.split(lines.text_);
    } else {
        if (const auto nul = lines.bytes_.find('\0'); nul != std::string::npos) lines.bytes_.resize(nul);
        lines.split(lines.bytes_);
    }
    return lines;
}

TextLines TextLines::load(const std::filesystem::path& path, const CodePage& codePage) {
    std::string bytes = readFileBytes(path);
    try {
        return fromBytes(std::move(bytes), codePage);
    } catch (const std::bad_alloc&) {  // its lines, or its decoded text, do not fit in memory
        throw Error(FileError::Unreadable, {.file = displayPath(path), .cause = describeSystemError(ENOMEM)});
    }
}

void TextLines::line(std::size_t i, std::u32string& out) const {
    const auto [start, length] = spans_[i];
    out.clear();
    switch (held_) {
    case Held::CodePageBytes:
        codePage_->decodeAppend(std::string_view(bytes_).substr(start, length), out);
        return;
    case Held::Utf8Bytes:
        appendUtf8Decoded(std::string_view(bytes_).substr(start, length), out);
        return;
    case Held::Decoded:
        out.assign(text_, start, length);
        return;
    }
}

std::u32string TextLines::line(std::size_t i) const {
    std::u32string out;
    line(i, out);
    return out;
}

}  // namespace tht
