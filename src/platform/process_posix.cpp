#include <csignal>

#include "platform/process.h"

namespace tht {

void ignoreFileSizeLimitSignal() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace tht
