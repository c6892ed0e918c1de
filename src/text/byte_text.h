#pragma once
// A TUXA line, or a slice of one, as the bytes of a single-byte code page,
// with the map that carries them to the tables' code page: text that is
// written to a table without ever being decoded.
#include <string>
#include <string_view>

#include "platform/byte_map.h"

namespace tht {

struct ByteText {
    std::string_view bytes;
    const ByteMap* map;

    std::u32string decoded() const { return map->decode(bytes); }
};

}  // namespace tht
