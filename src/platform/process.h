#pragma once
#include <string>
#include <vector>

namespace tht {

// Makes a write past the process's file-size limit fail with an error that
// names the file, instead of killing the process without a word.
void ignoreFileSizeLimitSignal();

// The program's arguments as UTF-8, whatever the system hands to main:
// wide characters on Windows (wmain), bytes elsewhere.
#ifdef _WIN32
std::vector<std::string> utf8Arguments(int argc, wchar_t** argv);
// The whole command line as the caller wrote it, in UTF-8.
std::string processCommandLine();
#else
std::vector<std::string> utf8Arguments(int argc, char** argv);
#endif

}  // namespace tht
