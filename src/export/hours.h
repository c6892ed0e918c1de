#pragma once
// Weekly hours of a course line and the lesson pattern Horalina expects.
#include <optional>
#include <string>
#include <string_view>

namespace tht {

// The hours text as a number, with "." as the decimal separator whatever the
// user's locale ("," already turned into "." by the caller): an optional sign,
// digits with at most one point, an optional exponent. Nothing else.
std::optional<double> parseDecimal(std::u32string_view text);

// The weekly hours as the step stores them: an empty text is 1 hour, "," is a
// decimal separator like ".", and anything below 1 becomes 1. Nothing when the
// text is no number.
std::optional<double> weeklyHours(std::u32string_view text);

// "1" per whole hour, the first 13 hours beyond thirteen folded into a
// leading number, and "½" for a fraction: 4.5 gives "1111½", 15.5 gives "2"
// followed by thirteen "1" and "½".
std::u32string lessonPattern(double hours);

}  // namespace tht
