#include "platform/win/regular_file.h"

#include <cerrno>

#include "platform/error.h"
#include "platform/wide_text.h"

namespace tht {

OpenedFile openRegularFile(const std::filesystem::path& path, DWORD access, DWORD share, DWORD disposition,
                           DWORD flags) {
    OpenedFile f;
    // Opened, "CON" gives a console that may not be there (error 6), "COM1" a
    // port that may never answer: a device is refused by its name first.
    if (isDeviceName(path)) {
        f.error = kNotRegularFile;
        return f;
    }
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        f.error = ERROR_DIRECTORY;
        return f;
    }
    f.file.reset(::CreateFileW(path.c_str(), access, share, nullptr, disposition, flags, nullptr));
    if (!f.file) {
        f.error = ::GetLastError();
        return f;
    }
    if (::GetFileType(f.file.get()) != FILE_TYPE_DISK) {
        f.file.reset();
        f.error = kNotRegularFile;
    }
    return f;
}

bool isDeviceName(const std::filesystem::path& path) {
    std::wstring stem = path.filename().wstring();
    stem = stem.substr(0, stem.find_first_of(L".:"));
    while (!stem.empty() && stem.back() == L' ') stem.pop_back();
    for (wchar_t& c : stem)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
        if (stem == device) return true;
    return stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) && stem[3] >= L'1' &&
           stem[3] <= L'9';
}

std::string openErrorCause(DWORD error) {
    if (error == kNotRegularFile) return notRegularFileCause();
    if (error == ERROR_DIRECTORY) return describeSystemError(EISDIR);
    return describeWindowsError(error);
}

namespace {

// How long a move that another program's handle refuses is tried again.
constexpr DWORD kHeldRetryMs = 5000;
constexpr DWORD kHeldStepMs = 50;

bool heldByAnother(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

}  // namespace

DWORD moveReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    for (DWORD waited = 0;; waited += kHeldStepMs) {
        if (::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return ERROR_SUCCESS;
        const DWORD err = ::GetLastError();
        if (!heldByAnother(err) || waited >= kHeldRetryMs) return err;
        ::Sleep(kHeldStepMs);
    }
}

}  // namespace tht
