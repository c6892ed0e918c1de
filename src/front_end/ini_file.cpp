#include "front_end/ini_file.h"

#include <vector>

#include "base/ascii.h"
#include "base/messages.h"
#include "platform/atomic_file.h"
#include "platform/error.h"
#include "platform/files.h"

namespace tht {
namespace {

// How the file's text is stored. Windows reads a settings file as UTF-16 or
// UTF-8 when it starts with their byte-order mark, else in the ANSI code
// page; we write it back the same way. Names we look for are ASCII, so a
// file in the code page is worked on as its bytes, kept as they are.
enum class Encoding { Bytes, Utf8Marked, Utf16Le, Utf16Be };

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

template <class Ch>
using View = std::basic_string_view<Ch>;

template <class Ch>
View<Ch> trim(View<Ch> s) {
    static constexpr Ch blanks[] = {Ch(' '), Ch('\t')};
    return ascii::trim(s, View<Ch>(blanks, 2));
}

// Names compare without regard to the letter case of ASCII letters.
template <class Ch>
bool sameName(View<Ch> a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ascii::upper(a[i]) != static_cast<Ch>(static_cast<unsigned char>(ascii::upper(b[i])))) return false;
    return true;
}

template <class Ch>
std::basic_string<Ch> widen(std::string_view text) {
    return std::basic_string<Ch>(text.begin(), text.end());
}

template <class Ch>
struct Line {
    View<Ch> text;  // without its line end
    View<Ch> end;   // CR LF, LF, CR, or nothing on a last line without one
};

// Lines as Windows cuts them: at CR LF, LF or a lone CR.
template <class Ch>
std::vector<Line<Ch>> splitLines(View<Ch> content) {
    std::vector<Line<Ch>> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const Ch c = content[i];
        if (c != Ch('\r') && c != Ch('\n')) continue;
        const std::size_t endLength = (c == Ch('\r') && i + 1 < content.size() && content[i + 1] == Ch('\n')) ? 2 : 1;
        lines.push_back({content.substr(start, i - start), content.substr(i, endLength)});
        i += endLength - 1;
        start = i + 1;
    }
    if (start < content.size()) lines.push_back({content.substr(start), {}});
    return lines;
}

// The section named on a line such as "[Transformadores]".
template <class Ch>
bool sectionName(View<Ch> line, View<Ch>& name) {
    line = trim(line);
    if (line.size() < 2 || line.front() != Ch('[')) return false;
    const auto close = line.find(Ch(']'));
    if (close == View<Ch>::npos) return false;
    name = trim(line.substr(1, close - 1));
    return true;
}

template <class Ch>
bool isKeyLine(View<Ch> line, std::string_view key) {
    const auto eq = line.find(Ch('='));
    if (eq == View<Ch>::npos) return false;
    const View<Ch> name = trim(line.substr(0, eq));
    return !name.empty() && name.front() != Ch(';') && sameName(name, key);
}

// What follows the value on a key line: an inline "; comentario" with the
// blanks before it, or nothing.
template <class Ch>
View<Ch> commentAfterValue(View<Ch> line) {
    const auto eq = line.find(Ch('='));
    auto semicolon = line.find(Ch(';'), eq + 1);
    if (semicolon == View<Ch>::npos) return {};
    while (semicolon > eq + 1 && (line[semicolon - 1] == Ch(' ') || line[semicolon - 1] == Ch('\t'))) --semicolon;
    return line.substr(semicolon);
}

template <class Ch>
std::basic_string<Ch> updateLines(View<Ch> content, std::string_view section, std::string_view key,
                                  std::string_view value) {
    using String = std::basic_string<Ch>;
    const std::vector<Line<Ch>> lines = splitLines(content);
    // New lines take the file's own line end; a file without one gets Windows'.
    String eol = widen<Ch>("\r\n");
    for (const Line<Ch>& l : lines)
        if (!l.end.empty()) {
            eol = String(l.end);
            break;
        }
    const String keyText = widen<Ch>(std::string(key) + "=" + std::string(value));

    std::ptrdiff_t header = -1;       // the section's header line
    std::ptrdiff_t lastContent = -1;  // its last line that is not blank
    std::ptrdiff_t keyLine = -1;
    for (std::size_t i = 0; i < lines.size() && keyLine < 0; ++i) {
        View<Ch> name;
        if (sectionName(lines[i].text, name)) {
            if (header >= 0) break;  // the section ended before the key was found
            if (sameName(name, section)) header = lastContent = static_cast<std::ptrdiff_t>(i);
            continue;
        }
        if (header < 0) continue;
        if (isKeyLine(lines[i].text, key)) keyLine = static_cast<std::ptrdiff_t>(i);
        else if (!trim(lines[i].text).empty()) lastContent = static_cast<std::ptrdiff_t>(i);
    }

    String out;
    out.reserve(content.size() + keyText.size() + section.size() + 8);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line<Ch>& l = lines[i];
        if (static_cast<std::ptrdiff_t>(i) == keyLine) {
            out += keyText;
            out += commentAfterValue(l.text);
            out += l.end;
            continue;
        }
        out += l.text;
        out += l.end;
        if (keyLine < 0 && static_cast<std::ptrdiff_t>(i) == lastContent) {
            if (l.end.empty()) out += eol;
            out += keyText + eol;
        }
    }
    if (header < 0) {
        if (!lines.empty() && lines.back().end.empty()) out += eol;
        out += widen<Ch>("[");
        out += widen<Ch>(section);
        out += widen<Ch>("]") + eol + keyText + eol;
    }
    return out;
}

std::u16string fromUtf16(std::string_view bytes, Encoding order) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        const auto a = static_cast<unsigned char>(bytes[2 * i]), b = static_cast<unsigned char>(bytes[2 * i + 1]);
        units[i] = static_cast<char16_t>(order == Encoding::Utf16Le ? a | b << 8 : b | a << 8);
    }
    return units;
}

void appendUtf16(std::string& out, std::u16string_view units, Encoding order) {
    for (const char16_t u : units) {
        const char low = static_cast<char>(u & 0xFF), high = static_cast<char>(u >> 8);
        out += order == Encoding::Utf16Le ? low : high;
        out += order == Encoding::Utf16Le ? high : low;
    }
}

}  // namespace

std::string describe(IniError kind, const ErrorContext& c) {
    switch (kind) {
    case IniError::Unwritable: return msg::iniUnwritable(c.file, c.cause);
    }
    return msg::internalError(c.cause);
}

std::string updateIniText(std::string_view content, std::string_view section, std::string_view key,
                          std::string_view value) {
    Encoding encoding = Encoding::Bytes;
    if (content.starts_with(kUtf16LeMark)) encoding = Encoding::Utf16Le;
    else if (content.starts_with(kUtf16BeMark)) encoding = Encoding::Utf16Be;
    else if (content.starts_with(kUtf8Mark)) encoding = Encoding::Utf8Marked;

    switch (encoding) {
    case Encoding::Bytes:
        return updateLines<char>(content, section, key, value);
    case Encoding::Utf8Marked:
        return std::string(kUtf8Mark) + updateLines<char>(content.substr(kUtf8Mark.size()), section, key, value);
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
        const std::string_view body = content.substr(2);
        const std::u16string units = fromUtf16(body, encoding);
        std::string out(content.substr(0, 2));
        appendUtf16(out, updateLines<char16_t>(units, section, key, value), encoding);
        if (body.size() % 2 != 0) out += body.back();  // a stray last byte stays where it was
        return out;
    }
    }
    return std::string(content);
}

void writeIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value) {
    try {
        // Replacing follows a symbolic link, keeps the file's mode and
        // refuses a read-only file (AtomicFile).
        std::string content = fileExists(file) ? readFileBytes(file) : std::string();
        AtomicFile out(file);
        out.write(updateIniText(content, section, key, value));
        out.commit();
    } catch (const Error& e) {
        throw Error(IniError::Unwritable, {.file = displayPath(file), .cause = e.context().cause});
    }
}

}  // namespace tht
