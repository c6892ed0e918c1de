#include "platform/process.h"

#include <windows.h>

#include "platform/wide_text.h"

namespace tht {

// Windows has no such signal: a write past a quota or a full disk fails
// with an error that the file's writer reports.
void ignoreFileSizeLimitSignal() {}

std::vector<std::string> utf8Arguments(int argc, wchar_t** argv) {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(argc));
    for (int i = 0; i < argc; ++i) out.push_back(narrow(argv[i]));
    return out;
}

std::string processCommandLine() { return narrow(::GetCommandLineW()); }

}  // namespace tht
