#include "store/field_codec.h"

#include <array>

#include "store/field_coders.h"

namespace tht {
namespace {

using namespace codec;

constexpr std::array kCodecs{
    FieldCodec{'C', 0, ' ', decodeCharacter, encodeCharacter},
    FieldCodec{'N', 0, ' ', decodeNumeric, encodeNumeric},
    FieldCodec{'F', 0, ' ', decodeNumeric, encodeNumeric},
    FieldCodec{'L', 0, ' ', decodeLogical, encodeLogical},
    FieldCodec{'D', 0, ' ', decodeDate, encodeDate},
    FieldCodec{'M', 0, ' ', decodeMemo, encodeUnsupported},
    FieldCodec{'G', 0, ' ', decodeMemo, encodeUnsupported},
    FieldCodec{'P', 0, ' ', decodeMemo, encodeUnsupported},
    FieldCodec{'O', 8, '\0', decodeDBase7Double, encodeDBase7Double},
    FieldCodec{'Y', 8, '\0', decodeCurrency, encodeCurrency},
    FieldCodec{'T', 8, '\0', decodeDateTime, encodeUnsupported},
    FieldCodec{'@', 8, '\0', decodeUnreadable, encodeUnsupported},
    FieldCodec{'0', 0, '\0', decodeHidden, encodeUnsupported},
};
constexpr FieldCodec kDBase7Integer{'I', 4, '\0', decodeDBase7Integer, encodeDBase7Integer};
constexpr FieldCodec kDBase7AutoIncrement{'+', 4, '\0', decodeDBase7Integer, encodeDBase7Integer};
constexpr FieldCodec kFoxProInteger{'I', 4, '\0', decodeFoxProInteger, encodeFoxProInteger};
constexpr FieldCodec kFoxProAutoIncrement{'+', 4, '\0', decodeFoxProInteger, encodeFoxProInteger};
constexpr FieldCodec kFoxProDouble{'B', 8, '\0', decodeFoxProDouble, encodeFoxProDouble};
constexpr FieldCodec kDBaseBinaryMemo{'B', 0, ' ', decodeMemo, encodeUnsupported};
constexpr FieldCodec kUnknown{'?', 0, ' ', decodeCharacter, encodeUnsupported};

}  // namespace

const FieldCodec& fieldCodec(char type, Dialect dialect) noexcept {
    switch (type) {
    case 'I': return dialect == Dialect::DBase7 ? kDBase7Integer : kFoxProInteger;
    case '+': return dialect == Dialect::DBase7 ? kDBase7AutoIncrement : kFoxProAutoIncrement;
    case 'B': return dialect == Dialect::VisualFoxPro ? kFoxProDouble : kDBaseBinaryMemo;
    default:
        for (const FieldCodec& c : kCodecs)
            if (c.type == type) return c;
        return kUnknown;
    }
}

}  // namespace tht
