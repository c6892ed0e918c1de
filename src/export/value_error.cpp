#include "export/value_error.h"

#include "base/messages.h"

namespace tht {

std::string describe(TuxaValueError kind, const ErrorContext& c) {
    switch (kind) {
    case TuxaValueError::NotANumber: return msg::notANumber(c.value, c.file, c.line);
    case TuxaValueError::NotATime: return msg::notATime(c.value, c.file, c.line);
    case TuxaValueError::TimeCutAtNul: return msg::timeCutAtNul(c.file, c.line);
    }
    return msg::internalError(c.value);
}

}  // namespace tht
