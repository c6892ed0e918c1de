#pragma once
// Keys of a table in a single-byte code page, compared as bytes: two texts
// are equal as characters exactly when their bytes, each replaced by the
// first byte that reads as the same character, are equal. Most pages read
// every byte as a character of its own, and then the bytes are the key; a
// page that reads two bytes alike still compares as its characters do.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tht {

class CodePage;

class KeyBytes {
public:
    // Nothing for a page that is not single-byte.
    static std::optional<KeyBytes> of(const CodePage& page);

    const CodePage& page() const noexcept { return *page_; }

    // The key form of bytes of the page, appended to out.
    void append(std::string_view bytes, std::string& out) const;
    // The key form of a text, appended to out; false when a character of it
    // is not one of the page's, so that no text of the page can equal it.
    bool appendText(std::u32string_view text, std::string& out) const;

private:
    explicit KeyBytes(const CodePage& page) : page_(&page) {}

    const CodePage* page_;
    std::array<unsigned char, 256> first_{};  // the first byte that reads as the same character
    std::array<short, 256> byLatin1_{};  // the first byte of characters below 256, -1 for none
    std::vector<std::pair<char32_t, unsigned char>> byCharacter_;  // the others, sorted
};

}  // namespace tht
