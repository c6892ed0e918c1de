#pragma once

// GCC 12 at -O3 (the Windows build is a Release build) warns -Wrestrict inside
// libstdc++ wherever "text" + a temporary std::string is inlined: a false
// positive (GCC bug 105329, mended in GCC 13). These two enclose the test code
// where it arises, so that the warning stays on everywhere else.
#if defined(__GNUC__) && !defined(__clang__)
#define THT_RESTRICT_FALSE_POSITIVE_BEGIN _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wrestrict\"")
#define THT_RESTRICT_FALSE_POSITIVE_END _Pragma("GCC diagnostic pop")
#else
#define THT_RESTRICT_FALSE_POSITIVE_BEGIN
#define THT_RESTRICT_FALSE_POSITIVE_END
#endif
