#include <windows.h>

#include "platform/clock.h"

namespace tht {

LocalDateTime systemLocalTime() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace tht
