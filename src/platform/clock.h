#pragma once
#include <functional>

namespace tht {

struct LocalDateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// Where the current local date and time come from; tests pass their own.
using Clock = std::function<LocalDateTime()>;
LocalDateTime systemLocalTime();

}  // namespace tht
