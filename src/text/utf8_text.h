#pragma once
// TUXA files that an editor saved as UTF-8: recognising them, and carrying
// their text into the tables' single-byte page, the one form text has inside.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tht {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Whether a text, fed in pieces, is UTF-8 holding at least one multi-byte
// sequence. Plain ASCII is not: it reads the same in every page we meet, and
// a file in windows-1252 almost never happens to be valid UTF-8 once it holds
// an accented letter.
class Utf8Check {
public:
    // False once the bytes so far cannot be UTF-8: nothing more need be fed.
    bool feed(std::string_view bytes) noexcept;
    bool isMultiByteUtf8() const noexcept { return valid_ && left_ == 0 && multiByte_; }

private:
    bool valid_ = true;
    bool multiByte_ = false;
    int left_ = 0;              // continuation bytes still owed by the open sequence
    unsigned char low_ = 0x80;  // the range of the next continuation byte
    unsigned char high_ = 0xBF;
};

// UTF-8 text appended to out as bytes of the tables' page (windows-1252).
// Gives how many characters that page cannot hold, written as "?".
class Utf8ToTablePage {
public:
    std::size_t append(std::string_view utf8, std::string& out);

private:
    std::u32string characters_;  // reused from line to line
};

// Characters appended to out as bytes of the tables' page, one byte each.
// Gives how many that page cannot hold, written as "?" (an unreadable
// character, U+FFFD, among them).
std::size_t appendInTablePage(std::u32string_view text, std::string& out);

}  // namespace tht
