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

// The number of lines split() makes of a text.
template <class Text>
std::int64_t countLines(const Text& t) {
    std::int64_t lines = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] != '\r' && t[i] != '\n') continue;
        ++lines;
        if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') ++i;
    }
    const auto last = t.empty() ? '\n' : t[t.size() - 1];
    return lines + (last != '\r' && last != '\n' ? 1 : 0);
}

// A NUL ends the text; what followed it is counted, so that it is not lost without a word.
template <class Text>
void TextLines::cutAtNul(Text& t) {
    const std::basic_string_view<typename Text::value_type> all(t);
    const auto nul = all.find(typename Text::value_type(0));
    if (nul == all.npos) return;
    const auto kept = all.substr(0, nul);
    const auto last = kept.empty() ? '\n' : kept.back();
    const std::int64_t line = countLines(kept) + (last == '\r' || last == '\n' ? 1 : 0);
    nulCut_ = NulCut{line, countLines(all.substr(nul)) - 1};
    t.resize(nul);
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
        lines.cutAtNul(lines.text_);
        lines.split(lines.text_);
    } else {
        lines.cutAtNul(lines.bytes_);
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
