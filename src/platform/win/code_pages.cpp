// Windows' own code pages: the stand-in for ICU. A page is named as on Linux
// ("windows-1252", "ibm-850", "ISO-8859-15", "UTF-8", ...) and reaches
// Windows as its code page number.
#include "platform/code_pages.h"

#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <utility>

#include "charset/unicode.h"
#include "platform/error.h"
#include "platform/wide_text.h"

namespace tht {
namespace {

constexpr unsigned kUtf8 = 65001, kUtf16Le = 1200, kUtf16Be = 1201;

std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::optional<unsigned> numberAfter(std::string_view text, std::string_view prefix) {
    if (!text.starts_with(prefix)) return std::nullopt;
    text.remove_prefix(prefix.size());
    if (text.empty() || text.size() > 5) return std::nullopt;
    unsigned n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    return n;
}

// The Windows number of a code page name, as ICU spells the names we meet.
std::optional<unsigned> windowsNumber(std::string_view requested) {
    const std::string name = lowerAscii(requested);
    static constexpr std::array<std::pair<std::string_view, unsigned>, 10> kNamed{{
        {"utf-8", kUtf8}, {"utf8", kUtf8}, {"utf-16le", kUtf16Le}, {"utf-16be", kUtf16Be},
        {"us-ascii", 20127}, {"ascii", 20127}, {"latin1", 28591}, {"koi8-r", 20866},
        {"shift_jis", 932}, {"macintosh", 10000},
    }};
    for (const auto& [known, number] : kNamed)
        if (name == known) return number;
    // ISO-8859-N is 28590 + N (8859-15 is 28605).
    for (std::string_view prefix : {"iso-8859-", "iso8859-", "iso_8859-", "iso8859_"})
        if (auto n = numberAfter(name, prefix); n && *n >= 1 && *n <= 16) return 28590 + *n;
    for (std::string_view prefix : {"windows-", "cp", "ibm-", "ibm", "ms"})
        if (auto n = numberAfter(name, prefix)) return n;
    return std::nullopt;
}

std::wstring toUtf16(std::u32string_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacementChar;
        if (c >= 0x10000) {
            out.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(c));
        }
    }
    return out;
}

std::string utf16Bytes(std::wstring_view text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// UTF-16 and the pages of more than one byte a character, through Windows
// on each call.
class WindowsConverter final : public PageConverter {
public:
    explicit WindowsConverter(unsigned number) : number_(number) {}
    void decode(std::string_view bytes, std::u32string& out) const override;
    void encode(std::u32string_view text, std::string& out) const override;

private:
    unsigned number_;
};

void WindowsConverter::decode(std::string_view bytes, std::u32string& out) const {
    if (number_ == kUtf16Le || number_ == kUtf16Be) {
        out += fromUtf16(bytes, number_ == kUtf16Le ? Utf16Order::LittleEndian : Utf16Order::BigEndian);
        return;
    }
    if (bytes.empty()) return;
    const int length = static_cast<int>(bytes.size());
    std::wstring wide(bytes.size(), L'\0');
    const int n = ::MultiByteToWideChar(number_, 0, bytes.data(), length, wide.data(), length);
    wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    out += fromUtf16(utf16Bytes(wide), Utf16Order::LittleEndian);
}

void WindowsConverter::encode(std::u32string_view text, std::string& out) const {
    const std::wstring wide = toUtf16(text);
    if (number_ == kUtf16Le || number_ == kUtf16Be) {
        for (wchar_t unit : wide) {
            const char lo = static_cast<char>(unit & 0xFF), hi = static_cast<char>(unit >> 8);
            out.push_back(number_ == kUtf16Le ? lo : hi);
            out.push_back(number_ == kUtf16Le ? hi : lo);
        }
        return;
    }
    if (wide.empty()) return;
    const int length = static_cast<int>(wide.size());
    const int size = ::WideCharToMultiByte(number_, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr, 0, "?", nullptr);
    if (size <= 0) return;
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(size));
    ::WideCharToMultiByte(number_, WC_NO_BEST_FIT_CHARS, wide.data(), length, out.data() + start, size, "?", nullptr);
}

}  // namespace

CodePage openCodePage(std::string_view requested) {
    std::string name(requested);
    const std::optional<unsigned> number = windowsNumber(requested);
    if (!number) throw Error(FileError::CodePageUnknown, {.value = name});
    if (*number == kUtf8) return CodePage::utf8(std::move(name));
    if (*number == kUtf16Le || *number == kUtf16Be)
        return CodePage::converted(std::move(name), std::make_shared<const WindowsConverter>(*number));
    CPINFOEXW info{};
    if (!::IsValidCodePage(*number) || !::GetCPInfoExW(*number, 0, &info))
        throw Error(FileError::CodePageUnknown, {.value = name});
    if (info.MaxCharSize != 1)
        return CodePage::converted(std::move(name), std::make_shared<const WindowsConverter>(*number));
    std::array<char32_t, 256> characters{};
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        wchar_t wide[2];
        const int n = ::MultiByteToWideChar(*number, MB_ERR_INVALID_CHARS, &byte, 1, wide, 2);
        characters[b] = n == 1 ? static_cast<char32_t>(wide[0]) : kReplacementChar;
    }
    return CodePage::singleByte(std::move(name), characters);
}

detail::SystemPageSetting detail::readSystemPageSetting() {
    if (const auto named = environmentVariable(L"TUXA_CODEPAGE")) return {narrow(*named), true};
    return {"windows-" + std::to_string(::GetACP()), false};
}

}  // namespace tht
