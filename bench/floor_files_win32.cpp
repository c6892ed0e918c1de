#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <stdexcept>

#include "floor_files.h"

namespace bench::floor_files {
namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path) {
    throw std::runtime_error(what + " " + path + ": Windows error " + std::to_string(::GetLastError()));
}

std::wstring wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                                        nullptr, 0);
    if (n <= 0) fail("cannot convert", utf8);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string utf8(const wchar_t* text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

// ReadFile and WriteFile take a 32-bit count.
constexpr DWORD kLargestCall = DWORD{1} << 30;

}  // namespace

std::vector<std::string> arguments(int, char**) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv) throw std::runtime_error("cannot read the command line");
    std::vector<std::string> out;
    for (int i = 0; i < argc; ++i) out.push_back(utf8(argv[i]));
    ::LocalFree(argv);
    return out;
}

std::size_t readWhole(const std::string& path, std::unique_ptr<char[]>& buffer, std::size_t& capacity) {
    const HANDLE h = ::CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) fail("cannot open", path);
    LARGE_INTEGER length{};
    if (!::GetFileSizeEx(h, &length)) {
        ::CloseHandle(h);
        fail("cannot size", path);
    }
    const auto size = static_cast<std::size_t>(length.QuadPart);
    if (size > capacity) {
        buffer.reset(new char[size]);  // not cleared: the read fills it
        capacity = size;
    }
    std::size_t done = 0;
    while (done < size) {
        DWORD k = 0;
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(size - done, kLargestCall));
        if (!::ReadFile(h, buffer.get() + done, ask, &k, nullptr) || k == 0) {
            ::CloseHandle(h);
            fail("cannot read", path);
        }
        done += k;
    }
    ::CloseHandle(h);
    return size;
}

NewFile::NewFile(std::string path) : path_(std::move(path)) {
    handle_ = ::CreateFileW(wide(path_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) fail("cannot create", path_);
    open_ = true;
}

NewFile::~NewFile() {
    if (open_) {
        ::CloseHandle(handle_);
        ::DeleteFileW(wide(path_).c_str());
    }
}

void NewFile::write(const char* bytes, std::size_t size) {
    while (size > 0) {
        DWORD k = 0;
        const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(size, kLargestCall));
        if (!::WriteFile(handle_, bytes, ask, &k, nullptr)) fail("cannot write", path_);
        bytes += k;
        size -= k;
    }
}

void NewFile::flushAndClose() {
    if (!::FlushFileBuffers(handle_)) fail("cannot flush", path_);
    open_ = false;
    if (!::CloseHandle(handle_)) fail("cannot close", path_);
}

void replace(const std::string& from, const std::string& to) {
    if (!::MoveFileExW(wide(from).c_str(), wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail("cannot rename", from);
}

// Windows has no call that flushes a folder's entries: MOVEFILE_WRITE_THROUGH
// is what a program can ask for, and it is asked for in replace().
bool flushFolder(const std::string&) { return false; }

unsigned long processId() { return ::GetCurrentProcessId(); }

}  // namespace bench::floor_files
