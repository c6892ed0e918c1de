#include <csignal>

#include "platform/process.h"

namespace tht {

void ignoreFileSizeLimitSignal() { std::signal(SIGXFSZ, SIG_IGN); }

std::vector<std::string> utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace tht
