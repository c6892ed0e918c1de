// ICU-backed code pages: the stand-in for the Windows ANSI code page on Linux.
#include "platform/code_pages.h"

#include <unicode/ucnv.h>
#include <unicode/utf16.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "charset/unicode.h"
#include "platform/error.h"

namespace tht {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter openConverter(const std::string& name) {
    UErrorCode status = U_ZERO_ERROR;
    Converter conv(ucnv_open(name.c_str(), &status));
    if (U_FAILURE(status) || !conv) throw Error(FileError::CodePageUnknown, {.value = name});
    return conv;
}

std::u32string utf16ToUtf32(const UChar* s, int32_t n) {
    std::u32string out;
    out.reserve(static_cast<std::size_t>(n));
    for (int32_t i = 0; i < n;) {
        UChar32 c;
        U16_NEXT(s, i, n, c);
        out.push_back(static_cast<char32_t>(c));
    }
    return out;
}

// Pages of more than one byte a character, through ICU on each call.
class IcuConverter final : public PageConverter {
public:
    explicit IcuConverter(std::string name) : name_(std::move(name)) {}
    void decode(std::string_view bytes, std::u32string& out) const override;
    void encode(std::u32string_view text, std::string& out) const override;

private:
    std::string name_;
};

void IcuConverter::decode(std::string_view bytes, std::u32string& out) const {
    Converter conv = openConverter(name_);
    std::vector<UChar> buf(bytes.size() * 2 + 4);
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = ucnv_toUChars(conv.get(), buf.data(), static_cast<int32_t>(buf.size()),
                              bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) n = 0;
    out += utf16ToUtf32(buf.data(), n);
}

void IcuConverter::encode(std::u32string_view text, std::string& out) const {
    Converter conv = openConverter(name_);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setFromUCallBack(conv.get(), UCNV_FROM_U_CALLBACK_SUBSTITUTE, nullptr, nullptr,
                          nullptr, &status);
    ucnv_setSubstChars(conv.get(), "?", 1, &status);
    std::vector<UChar> utf16;
    for (char32_t c : text) {
        if (c > 0xFFFF) {
            utf16.push_back(static_cast<UChar>(U16_LEAD(c)));
            utf16.push_back(static_cast<UChar>(U16_TRAIL(c)));
        } else {
            utf16.push_back(static_cast<UChar>(c));
        }
    }
    std::string buf(utf16.size() * 4 + 8, '\0');
    status = U_ZERO_ERROR;
    int32_t n = ucnv_fromUChars(conv.get(), buf.data(), static_cast<int32_t>(buf.size()),
                                utf16.data(), static_cast<int32_t>(utf16.size()), &status);
    if (U_FAILURE(status)) n = 0;
    out.append(buf.data(), static_cast<std::size_t>(n));
}

}  // namespace

CodePage openCodePage(std::string_view requested) {
    std::string name(requested);
    Converter conv = openConverter(name);
    if (ucnv_getType(conv.get()) == UCNV_UTF8) return CodePage::utf8(std::move(name));
    if (ucnv_getMaxCharSize(conv.get()) != 1) {
        auto converter = std::make_shared<const IcuConverter>(name);
        return CodePage::converted(std::move(name), std::move(converter));
    }
    std::array<char32_t, 256> characters{};
    for (int b = 0; b < 256; ++b) {
        UErrorCode status = U_ZERO_ERROR;
        UChar buf[4];
        const char byte = static_cast<char>(b);
        ucnv_reset(conv.get());
        int32_t n = ucnv_toUChars(conv.get(), buf, 4, &byte, 1, &status);
        char32_t c = kReplacementChar;
        if (U_SUCCESS(status) && n >= 1) {
            std::u32string s = utf16ToUtf32(buf, n);
            if (s.size() == 1 && s[0] != 0x1A) c = s[0];
            else if (s.size() == 1 && b == 0x1A) c = 0x1A;
        }
        characters[b] = c;
    }
    return CodePage::singleByte(std::move(name), characters);
}

detail::SystemPageSetting detail::readSystemPageSetting() {
    const char* env = std::getenv("TUXA_CODEPAGE");
    if (env && *env) return {env, true};
    return {"windows-1252", false};
}

}  // namespace tht
