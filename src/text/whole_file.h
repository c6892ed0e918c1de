#pragma once
// Whole-file reading of a TUXA file: byte-order marks of UTF-8 and UTF-16
// recognised, else the code page; lines cut at CR, LF and CR LF; a NUL ends
// the text.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/codepage.h"

namespace tht {

class TextLines {
public:
    static TextLines fromBytes(std::string_view bytes, const CodePage& codePage);
    // Throws Error(FileUnreadable) when the file cannot be read.
    static TextLines load(const std::filesystem::path& path, const CodePage& codePage = CodePage::system());

    std::size_t size() const noexcept { return spans_.size(); }
    std::u32string_view operator[](std::size_t i) const {
        return std::u32string_view(text_).substr(spans_[i].first, spans_[i].second);
    }

private:
    std::u32string text_;
    std::vector<std::pair<std::size_t, std::size_t>> spans_;  // start, length
};

}  // namespace tht
