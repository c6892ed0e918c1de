// hold_file FILE READY RELEASE: opens FILE sharing nothing, as Horalina holds
// a table it has open, makes READY, and lets go when RELEASE appears.
//
// hold_file --temporary FOLDER FIELD READY RELEASE: waits for a temporary
// file of ours in FOLDER whose table has a field named FIELD, and opens it as
// a virus scanner or an indexer opens a file just written: others may read
// and write it, but nobody may rename or remove it meanwhile. Then as above.
#include <windows.h>

#include <set>
#include <string>

namespace {

bool exists(const wchar_t* path) { return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// Whether the table header in bytes names a field `field`.
bool namesField(const std::string& bytes, const std::string& field) {
    for (std::size_t at = 32; at + 32 <= bytes.size() && bytes[at] != '\r'; at += 32)
        if (bytes.compare(at, field.size(), field) == 0 && bytes[at + field.size()] == '\0') return true;
    return false;
}

// The first temporary of the table that names field, held; nothing when
// none came within a minute.
HANDLE holdTemporary(const std::wstring& folder, const std::string& field) {
    std::set<std::wstring> others;  // temporaries read whole enough to be another table's
    for (int i = 0; i < 60000; ++i) {
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW((folder + L"\\.tht-*.tmp").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring path = folder + L"\\" + found.cFileName;
                if (others.count(path)) continue;
                HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
                if (file == INVALID_HANDLE_VALUE) continue;
                std::string header(4096, '\0');
                DWORD got = 0;
                if (!::ReadFile(file, header.data(), static_cast<DWORD>(header.size()), &got, nullptr)) got = 0;
                header.resize(got);
                if (namesField(header, field)) {
                    ::FindClose(search);
                    return file;
                }
                ::CloseHandle(file);
                if (header.find('\r', 32) != std::string::npos) others.insert(path);  // a whole header: not it
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::Sleep(1);
    }
    return INVALID_HANDLE_VALUE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    HANDLE held = INVALID_HANDLE_VALUE;
    if (argc == 6 && std::wstring(argv[1]) == L"--temporary") {
        std::string field;
        for (const wchar_t* c = argv[3]; *c; ++c) field += static_cast<char>(*c);
        held = holdTemporary(argv[2], field);
        argv += 2;
    } else if (argc == 4) {
        held = ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    } else {
        return 64;
    }
    if (held == INVALID_HANDLE_VALUE) return 1;
    HANDLE ready = ::CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ready != INVALID_HANDLE_VALUE) ::CloseHandle(ready);
    for (int i = 0; i < 60000 && !exists(argv[3]); ++i) ::Sleep(10);
    ::CloseHandle(held);
    return 0;
}
