#include "export/course_lines.h"

#include <array>
#include <stdexcept>
#include <type_traits>

#include "text/record.h"
#include "text/trim.h"
#include "text/tuxa_files.h"

namespace tht {
namespace {

namespace course {
constexpr Column level{2, 3};
constexpr Column shift{5, 3};
constexpr Column year{8, 3};
constexpr Column subject{24, 20};
constexpr Column hours{44, 6};
constexpr Column identifier{50, 6};
}  // namespace course

template <class Char>
std::basic_string_view<Char> field(std::basic_string_view<Char> line, const Column& c) {
    return trimmedView(rawSlice(line, c.first, c.width));
}

}  // namespace

// A key as views into a line of characters or of bytes; a byte is compared
// and hashed as the character its code page reads it as, so that both give
// the same hash as a key of characters read from the table.
template <class Char>
struct CourseLines::Key {
    std::array<std::basic_string_view<Char>, 5> parts;
    const CodePage* page;

    char32_t at(std::size_t part, std::size_t i) const noexcept {
        if constexpr (std::is_same_v<Char, char>) return page->decodeByte(static_cast<unsigned char>(parts[part][i]));
        else return parts[part][i];
    }
    std::uint64_t hash() const noexcept {
        std::uint64_t h = 1469598103934665603ULL;  // FNV-1a over each part and its length
        for (std::size_t p = 0; p < parts.size(); ++p) {
            for (std::size_t i = 0; i < parts[p].size(); ++i) h = (h ^ at(p, i)) * 1099511628211ULL;
            h = (h ^ (0x110000 + parts[p].size())) * 1099511628211ULL;
        }
        return h;
    }
    template <class Other>
    bool operator==(const Key<Other>& o) const noexcept {
        for (std::size_t p = 0; p < parts.size(); ++p) {
            if (parts[p].size() != o.parts[p].size()) return false;
            for (std::size_t i = 0; i < parts[p].size(); ++i)
                if (at(p, i) != o.at(p, i)) return false;
        }
        return true;
    }
};

template <class Char>
std::basic_string_view<Char> CourseLines::lineOf(std::size_t i, std::basic_string<Char>& buffer) const {
    if constexpr (std::is_same_v<Char, char>) {
        return lines_.lineBytes(i);
    } else {
        lines_.line(i, buffer);
        return buffer;
    }
}

template <class Char>
CourseLines::Key<Char> CourseLines::keyOf(std::basic_string_view<Char> line) const {
    return {{field(line, course::subject), field(line, course::shift), field(line, course::level),
             field(line, course::year), field(line, course::identifier)},
            codePage_};
}

CourseLines::CourseLines(const std::filesystem::path& path, const ExportContext& ctx)
    : path_(path),
      lines_(TextLines::load(path, *ctx.codePage, ctx.guessUtf8)),
      bytes_(lines_.heldAsCodePageBytes() && ctx.lineBytes(lines_.codePage()) != nullptr) {
    codePage_ = &lines_.codePage();
    if (lines_.size() >= 0xFFFFFFFFu) throw std::length_error("course file of more than 2^32 lines");
    std::size_t size = 16;
    while (size < 2 * lines_.size()) size *= 2;
    slots_.resize(size);
    if (bytes_) index<char>();
    else index<char32_t>();
}

template <class Char>
void CourseLines::index() {
    std::basic_string<Char> buffer, earlier;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const std::basic_string_view<Char> line = lineOf(i, buffer);
        if (!isDataLine(line, tuxa::asignaturasCurso.tag)) continue;
        const Key<Char> key = keyOf(line);
        const std::uint64_t h = key.hash();
        const auto tag = static_cast<std::uint32_t>(h >> 32);
        std::size_t s = h & mask;
        while (slots_[s].line != 0 && !(slots_[s].tag == tag && keyOf(lineOf(slots_[s].line - 1, earlier)) == key))
            s = (s + 1) & mask;
        if (slots_[s].line == 0) slots_[s] = {tag, static_cast<std::uint32_t>(i + 1)};  // else an earlier line has it
    }
}

template <class Char, class Other>
std::optional<std::size_t> CourseLines::findIn(const Key<Other>& key, std::uint64_t h) const {
    const std::size_t mask = slots_.size() - 1;
    const auto tag = static_cast<std::uint32_t>(h >> 32);
    std::basic_string<Char> buffer;
    for (std::size_t s = h & mask; slots_[s].line != 0; s = (s + 1) & mask)
        if (slots_[s].tag == tag && keyOf(lineOf<Char>(slots_[s].line - 1, buffer)) == key) return slots_[s].line - 1;
    return std::nullopt;
}

std::optional<std::size_t> CourseLines::find(const CourseKey& k) const {
    const Key<char32_t> key{{k.subject, k.shift, k.level, k.year, k.identifier}, codePage_};
    const std::uint64_t h = key.hash();
    return bytes_ ? findIn<char>(key, h) : findIn<char32_t>(key, h);
}

std::optional<std::size_t> CourseLines::find(const CourseKeyBytes& k) const {
    const Key<char> key{{k.subject, k.shift, k.level, k.year, k.identifier}, k.page};
    const std::uint64_t h = key.hash();
    return bytes_ ? findIn<char>(key, h) : findIn<char32_t>(key, h);
}

std::u32string CourseLines::hours(std::size_t i) const {
    if (bytes_) return codePage_->decode(field(lines_.lineBytes(i), course::hours));
    return std::u32string(field(std::u32string_view(lines_.line(i)), course::hours));
}

}  // namespace tht
