#include "export/course_lines.h"

#include <stdexcept>

#include "base/key_hash.h"
#include "text/record.h"
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

std::uint64_t hashOf(const CourseKey& k) noexcept {
    KeyHash h;
    for (const std::string_view part : {k.subject, k.shift, k.level, k.year, k.identifier}) h.add(part);
    return h.value();
}

bool operator==(const CourseKey& a, const CourseKey& b) noexcept {
    return a.subject == b.subject && a.shift == b.shift && a.level == b.level && a.year == b.year &&
           a.identifier == b.identifier;
}

}  // namespace

CourseKey CourseLines::keyOf(std::size_t i) const {
    const std::string_view line = lines_.lineBytes(i);
    return {course::subject(line), course::shift(line), course::level(line), course::year(line),
            course::identifier(line)};
}

CourseLines::CourseLines(const std::filesystem::path& path, const ExportContext& ctx)
    : path_(path), lines_(TextLines::load(path, *ctx.codePage, ctx.guessUtf8)) {
    lines_.convertToTablePage(lines_.heldAsCodePageBytes() ? ctx.lineBytes(lines_.codePage()) : nullptr);
    if (lines_.size() >= 0xFFFFFFFFu) throw std::length_error("course file of more than 2^32 lines");
    std::size_t size = 16;
    while (size < 2 * lines_.size()) size *= 2;
    slots_.resize(size);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (!isDataLine(lines_.lineBytes(i), tuxa::asignaturasCurso.tag)) continue;
        const CourseKey key = keyOf(i);
        const std::uint64_t h = hashOf(key);
        const auto tag = static_cast<std::uint32_t>(h >> 32);
        std::size_t s = h & mask;
        while (slots_[s].line != 0 && !(slots_[s].tag == tag && keyOf(slots_[s].line - 1) == key)) s = (s + 1) & mask;
        if (slots_[s].line == 0) slots_[s] = {tag, static_cast<std::uint32_t>(i + 1)};  // else an earlier line has it
    }
}

std::optional<std::size_t> CourseLines::find(const CourseKey& key) const {
    const std::uint64_t h = hashOf(key);
    const std::size_t mask = slots_.size() - 1;
    const auto tag = static_cast<std::uint32_t>(h >> 32);
    for (std::size_t s = h & mask; slots_[s].line != 0; s = (s + 1) & mask)
        if (slots_[s].tag == tag && keyOf(slots_[s].line - 1) == key) return slots_[s].line - 1;
    return std::nullopt;
}

std::string_view CourseLines::hours(std::size_t i) const { return course::hours(lines_.lineBytes(i)); }

}  // namespace tht
