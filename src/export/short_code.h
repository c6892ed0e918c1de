#pragma once
#include <string>

#include "export/step_support.h"

namespace tht {

// The short code of a subject line: the base (columns 2-11) joined with the
// subject identifier within 10 characters, numbered when already taken, and
// cut to its first 8 and last 2 characters when numbering made it longer.
// The caller still has to check the result against the list.
std::string shortCode(const std::string& base, const std::string& identifier, CodeList& codes);

}  // namespace tht
