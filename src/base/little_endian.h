#pragma once
// Little-endian numbers inside byte strings: the dBase header's counts and lengths.
#include <cstdint>
#include <string_view>

namespace tht::le {

inline std::uint32_t get(std::string_view bytes, std::size_t at, int size) noexcept {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return v;
}
inline std::uint16_t get16(std::string_view bytes, std::size_t at) noexcept {
    return static_cast<std::uint16_t>(get(bytes, at, 2));
}
inline std::uint32_t get32(std::string_view bytes, std::size_t at) noexcept { return get(bytes, at, 4); }

inline void put(char* out, std::uint32_t value, int size) noexcept {
    for (int i = 0; i < size; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}
inline void put16(char* out, std::uint16_t value) noexcept { put(out, value, 2); }
inline void put32(char* out, std::uint32_t value) noexcept { put(out, value, 4); }

}  // namespace tht::le
