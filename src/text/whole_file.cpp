#include "text/whole_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <type_traits>

#include "platform/code_pages.h"
#include "platform/error.h"
#include "platform/files.h"
#include "charset/unicode.h"
#include "text/utf8_text.h"

namespace tht {

template <class Text>
void TextLines::split(const Text& t) {
    if constexpr (std::is_same_v<Text, ByteBuffer>) {
        // Most lines end in CR LF: each is found by two searches of its bytes, not a test of every byte.
        const char* data = t.data();
        const std::size_t n = t.size();
        // Counted first: a course file has most of a million lines, and a
        // growing list of them would copy itself a score of times.
        spans_.reserve(static_cast<std::size_t>(std::count(data, data + n, '\n')) + 1);
        for (std::size_t start = 0; start < n;) {
            const auto* lf = static_cast<const char*>(std::memchr(data + start, '\n', n - start));
            const std::size_t stop = lf ? static_cast<std::size_t>(lf - data) : n;
            const auto* cr = static_cast<const char*>(std::memchr(data + start, '\r', stop - start));
            if (!cr) {
                spans_.emplace_back(start, stop - start);
                start = stop + 1;
                continue;
            }
            const auto at = static_cast<std::size_t>(cr - data);
            spans_.emplace_back(start, at - start);
            start = at + 1 < n && data[at + 1] == '\n' ? at + 2 : at + 1;
        }
        return;
    }
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
    using Char = std::remove_cvref_t<decltype(t[0])>;
    const std::basic_string_view<Char> all(t.data(), t.size());
    const auto nul = all.find(Char(0));
    if (nul == all.npos) return;
    const auto kept = all.substr(0, nul);
    const auto last = kept.empty() ? '\n' : kept.back();
    const std::int64_t line = countLines(kept) + (last == '\r' || last == '\n' ? 1 : 0);
    const auto rest = all.substr(nul);
    notes_.nuls.add(static_cast<std::int64_t>(std::count(rest.begin(), rest.end(), Char(0))), line);
    notes_.linesAfterNul = countLines(rest) - 1;
    t.resize(nul);
}

namespace {
bool isMultiByteUtf8(std::string_view bytes) {
    Utf8Check check;
    return check.feed(bytes) && check.isMultiByteUtf8();
}
}  // namespace

TextLines TextLines::fromBytes(std::string bytes, const CodePage& codePage, bool guessUtf8) {
    return fromBuffer(ByteBuffer(bytes), codePage, guessUtf8);
}

TextLines TextLines::fromBuffer(ByteBuffer bytes, const CodePage& codePage, bool guessUtf8) {
    TextLines lines;
    lines.codePage_ = &codePage;
    const std::string_view b(bytes);
    if (b.starts_with("\xFF\xFE") || b.starts_with("\xFE\xFF")) {
        lines.text_ = fromUtf16(b.substr(2), b[0] == '\xFF' ? Utf16Order::LittleEndian : Utf16Order::BigEndian);
    } else if (b.starts_with(kUtf8Bom)) {
        lines.notes_.readAsUtf8 = true;
        lines.held_ = Held::CodePageBytes;
        lines.bytes_ = ByteBuffer(b.substr(kUtf8Bom.size()));
    } else if (const bool utf8 = guessUtf8 && isMultiByteUtf8(b); utf8 || codePage.isSingleByte() || codePage.isUtf8()) {
        // CR, LF and NUL are single bytes in these encodings: the lines can be
        // cut before they are decoded.
        lines.notes_.readAsUtf8 = utf8;
        lines.held_ = Held::CodePageBytes;
        lines.bytes_ = std::move(bytes);
    } else {
        lines.text_ = codePage.decode(b);
    }
    if (lines.held_ == Held::Decoded) {
        lines.cutAtNul(lines.text_);
        lines.split(lines.text_);
        return lines;
    }
    lines.cutAtNul(lines.bytes_);
    lines.split(lines.bytes_);
    if (lines.notes_.readAsUtf8) lines.toTablePage();
    return lines;
}

// The lines of a UTF-8 text carried into the tables' page, line by line so
// that each character it cannot hold is counted at its line.
void TextLines::toTablePage() {
    ByteBuffer converted;
    converted.reserve(bytes_.size());
    Utf8ToTablePage convert;
    std::string line;
    for (std::size_t i = 0; i < spans_.size(); ++i) {
        line.clear();
        const std::size_t n = convert.append(lineBytes(i), line);
        notes_.unstorable.add(static_cast<std::int64_t>(n), static_cast<std::int64_t>(i) + 1);
        spans_[i] = {converted.size(), line.size()};
        converted.append(line);
    }
    bytes_ = std::move(converted);
    codePage_ = &windows1252();
}

void TextLines::convertToTablePage(const ByteMap* map) {
    if (held_ == Held::CodePageBytes && codePage_ == &windows1252() && notes_.readAsUtf8) return;
    if (held_ == Held::CodePageBytes && map && &map->from() == codePage_) {
        map->mapInPlace(bytes_.data(), bytes_.size());
        codePage_ = &map->to();
        return;
    }
    ByteBuffer converted;
    std::u32string text;
    std::string line;
    for (std::size_t i = 0; i < spans_.size(); ++i) {
        this->line(i, text);
        line.clear();
        const std::size_t n = appendInTablePage(text, line);
        notes_.unstorable.add(static_cast<std::int64_t>(n), static_cast<std::int64_t>(i) + 1);
        spans_[i] = {converted.size(), line.size()};
        converted.append(line);
    }
    bytes_ = std::move(converted);
    text_.clear();
    text_.shrink_to_fit();
    held_ = Held::CodePageBytes;
    codePage_ = &windows1252();
}

TextLines TextLines::load(const std::filesystem::path& path, const CodePage& codePage, bool guessUtf8) {
    ByteBuffer bytes = readFileBuffer(path);
    try {
        return fromBuffer(std::move(bytes), codePage, guessUtf8);
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
