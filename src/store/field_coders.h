#pragma once
// The readers and writers of each type letter, gathered into one table by
// field_codec.cpp; nothing else calls them.
#include <cstdint>
#include <string>
#include <string_view>

#include "store/field_codec.h"

namespace tht::codec {

// Byte order of binary fields.
inline std::uint64_t loadLittle(std::string_view b, std::size_t n) noexcept {
    std::uint64_t v = 0;
    for (std::size_t i = n; i-- > 0;) v = (v << 8) | static_cast<unsigned char>(b[i]);
    return v;
}

inline std::uint64_t loadBig(std::string_view b, std::size_t n) noexcept {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < n; ++i) v = (v << 8) | static_cast<unsigned char>(b[i]);
    return v;
}

inline void storeLittle(std::uint64_t v, std::size_t n, char* dst) noexcept {
    for (std::size_t i = 0; i < n; ++i, v >>= 8) dst[i] = static_cast<char>(v & 0xFF);
}

inline void storeBig(std::uint64_t v, std::size_t n, char* dst) noexcept {
    for (std::size_t i = n; i-- > 0; v >>= 8) dst[i] = static_cast<char>(v & 0xFF);
}

// dBase 7 sorts its binary numbers as bytes: the sign bit is flipped, and a
// negative double has all its bits inverted.
inline constexpr std::uint32_t kSign32 = 0x80000000u;
inline constexpr std::uint64_t kSign64 = 0x8000000000000000u;

void decodeCharacter(const FieldLayout& f, std::string_view bytes, Cell& out);
void decodeNumeric(const FieldLayout& f, std::string_view bytes, Cell& out);
void decodeLogical(const FieldLayout& f, std::string_view bytes, Cell& out);
void decodeDate(const FieldLayout& f, std::string_view bytes, Cell& out);
void decodeDBase7Integer(const FieldLayout& f, std::string_view bytes, Cell& out);
void decodeFoxProInteger(const FieldLayout& f, std::string_view bytes, Cell& out);
void decodeDBase7Double(const FieldLayout& f, std::string_view bytes, Cell& out);
void decodeFoxProDouble(const FieldLayout& f, std::string_view bytes, Cell& out);
void decodeCurrency(const FieldLayout& f, std::string_view bytes, Cell& out);
void decodeDateTime(const FieldLayout& f, std::string_view bytes, Cell& out);
void decodeMemo(const FieldLayout& f, std::string_view bytes, Cell& out);
void decodeUnreadable(const FieldLayout& f, std::string_view bytes, Cell& out);
void decodeHidden(const FieldLayout& f, std::string_view bytes, Cell& out);

WriteResult encodeCharacter(const FieldLayout& f, const WriteValue& v, const CodePage* foreignPage, std::string& scratch, char* dst);
WriteResult encodeNumeric(const FieldLayout& f, const WriteValue& v, const CodePage* foreignPage, std::string& scratch, char* dst);
WriteResult encodeLogical(const FieldLayout& f, const WriteValue& v, const CodePage* foreignPage, std::string& scratch, char* dst);
WriteResult encodeDate(const FieldLayout& f, const WriteValue& v, const CodePage* foreignPage, std::string& scratch, char* dst);
WriteResult encodeDBase7Integer(const FieldLayout& f, const WriteValue& v, const CodePage* foreignPage, std::string& scratch, char* dst);
WriteResult encodeFoxProInteger(const FieldLayout& f, const WriteValue& v, const CodePage* foreignPage, std::string& scratch, char* dst);
WriteResult encodeDBase7Double(const FieldLayout& f, const WriteValue& v, const CodePage* foreignPage, std::string& scratch, char* dst);
WriteResult encodeFoxProDouble(const FieldLayout& f, const WriteValue& v, const CodePage* foreignPage, std::string& scratch, char* dst);
WriteResult encodeCurrency(const FieldLayout& f, const WriteValue& v, const CodePage* foreignPage, std::string& scratch, char* dst);
WriteResult encodeUnsupported(const FieldLayout& f, const WriteValue& v, const CodePage* foreignPage, std::string& scratch, char* dst);

}  // namespace tht::codec
