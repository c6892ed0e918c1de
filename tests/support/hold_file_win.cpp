// hold_file FILE READY RELEASE: opens FILE sharing nothing, as Horalina holds
// a table it has open, makes READY, and lets go when RELEASE appears.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) return 64;
    HANDLE held = ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    if (held == INVALID_HANDLE_VALUE) return 1;
    HANDLE ready = ::CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready != INVALID_HANDLE_VALUE) ::CloseHandle(ready);
    for (int i = 0; i < 60000 && ::GetFileAttributesW(argv[3]) == INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(10);
    ::CloseHandle(held);
    return 0;
}
