#pragma once
// A value of a TUXA file that the export cannot turn into what Horalina needs.
#include "platform/error.h"

namespace tht {

enum class TuxaValueError {
    NotANumber,  // file, line, value: the weekly hours of a course line
    NotATime,    // file, line, value: an hour or minute of a time slot
    TimeCutAtNul,  // file, line: a time slot cut short where a NUL ended the text
};
std::string describe(TuxaValueError kind, const ErrorContext& c);

}  // namespace tht
