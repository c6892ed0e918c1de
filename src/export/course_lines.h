#pragma once
// The course file of the ASIG step ("tuxa_asignatcurso.txt"), read once and
// carried into the tables' page, and the first of its data lines for each
// key, as a walk from the first line finds it. Held as the file's bytes and
// one small slot per line.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export/steps.h"
#include "text/whole_file.h"

namespace tht {

// The five values a course line must match, tested in this order, as text of the tables' page.
struct CourseKey {
    std::string_view subject, shift, level, year, identifier;
};

class CourseLines {
public:
    CourseLines(const std::filesystem::path& path, const ExportContext& ctx);

    const std::filesystem::path& path() const noexcept { return path_; }
    const ReadingNotes& notes() const noexcept { return lines_.notes(); }
    // The index of the first data line with this key.
    std::optional<std::size_t> find(const CourseKey& key) const;
    // The weekly hours of line i, as its columns hold them.
    std::string_view hours(std::size_t i) const;

private:
    CourseKey keyOf(std::size_t line) const;

    struct Slot {
        std::uint32_t tag = 0;   // high half of the key's hash
        std::uint32_t line = 0;  // line index + 1; 0: empty
    };

    std::filesystem::path path_;
    TextLines lines_;
    std::vector<Slot> slots_;  // open addressing, a power of two at least twice the lines
};

}  // namespace tht
