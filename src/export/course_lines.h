#pragma once
// The course file of the ASIGT step ("tuxa_asignatcurso.txt"), read once,
// and the first of its data lines for each key, as a walk from the first
// line finds it. Held as the file's bytes and one small slot per line: no
// line is decoded to be indexed where the file is in a single-byte code page.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export/steps.h"
#include "charset/codepage.h"
#include "text/whole_file.h"

namespace tht {

// The five values a course line must match, tested in this order.
struct CourseKey {
    std::u32string_view subject, shift, level, year, identifier;
};
// The same as bytes of one single-byte code page.
struct CourseKeyBytes {
    std::string_view subject, shift, level, year, identifier;
    const CodePage* page;
};

class CourseLines {
public:
    // Lines held as the bytes of a single-byte code page are indexed as bytes
    // where the context reads that page's lines as bytes; otherwise each line
    // is decoded.
    CourseLines(const std::filesystem::path& path, const ExportContext& ctx);

    const std::filesystem::path& path() const noexcept { return path_; }
    const ReadingNotes& notes() const noexcept { return lines_.notes(); }
    // The index of the first data line with this key.
    std::optional<std::size_t> find(const CourseKey& key) const;
    std::optional<std::size_t> find(const CourseKeyBytes& key) const;
    // The weekly hours of line i, as its columns hold them.
    std::u32string hours(std::size_t i) const;

private:
    template <class Char>
    struct Key;
    // Line i, decoded into buffer unless it is read as bytes.
    template <class Char>
    std::basic_string_view<Char> lineOf(std::size_t i, std::basic_string<Char>& buffer) const;
    template <class Char>
    Key<Char> keyOf(std::basic_string_view<Char> line) const;

    struct Slot {
        std::uint32_t tag = 0;   // high half of the key's hash
        std::uint32_t line = 0;  // line index + 1; 0: empty
    };
    template <class Char>
    void index();
    template <class Char, class Other>
    std::optional<std::size_t> findIn(const Key<Other>& key, std::uint64_t hash) const;

    std::filesystem::path path_;
    TextLines lines_;
    const CodePage* codePage_;
    bool bytes_;  // lines are read as bytes through codePage_->decodeByte
    std::vector<Slot> slots_;  // open addressing, a power of two at least twice the lines
};

}  // namespace tht
