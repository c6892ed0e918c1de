// Under Wine a Windows program can start a Linux program but not wait for it:
// a host command runs from a script that leaves its exit status in a file,
// and the test waits for that file.
#include <windows.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/files.h"
#include "support/processes.h"
#include "support/temp_dir.h"

namespace tht::test {
namespace {

using UnixName = char*(__cdecl*)(const wchar_t*);
using DosName = wchar_t*(__cdecl*)(const char*);

template <typename F>
F wineFunction(const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), name)));
}

// A Linux path such as the build's path of the command line, as Windows names it.
std::filesystem::path windowsPath(const std::filesystem::path& p) {
    const std::string text = displayPath(p);
    const auto toDos = wineFunction<DosName>("wine_get_dos_file_name");
    if (text.empty() || text[0] != '/' || !toDos) return p;
    wchar_t* dos = toDos(text.c_str());
    if (!dos) return p;
    std::filesystem::path out(dos);
    ::HeapFree(::GetProcessHeap(), 0, dos);
    return out;
}

// The command-line rules of the C runtime: quotes around, backslashes doubled before a quote.
std::wstring quoted(const std::wstring& arg) {
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out.push_back(c);
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

HANDLE inheritableFile(const std::filesystem::path& p, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return ::CreateFileW(p.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, disposition, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
}

}  // namespace

ProgramResult runProgram(const std::filesystem::path& program, const std::vector<std::string>& args,
                         const std::filesystem::path& scratch) {
    const auto outFile = scratch / "stdout.txt", errFile = scratch / "stderr.txt";
    const std::filesystem::path exe = windowsPath(program);
    std::wstring line = quoted(exe.wstring());
    for (const std::string& a : args) line += L" " + quoted(pathFromUtf8(a).wstring());
    HANDLE in = inheritableFile(L"NUL", GENERIC_READ, OPEN_EXISTING);
    HANDLE out = inheritableFile(outFile, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE err = inheritableFile(errFile, GENERIC_WRITE, CREATE_ALWAYS);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    ProgramResult result;
    if (::CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        ::WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 0;
        if (::GetExitCodeProcess(pi.hProcess, &code)) result.code = static_cast<int>(code);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    ::CloseHandle(in);
    ::CloseHandle(out);
    ::CloseHandle(err);
    result.out = readBytes(outFile);
    result.err = readBytes(errFile);
    return result;
}

std::string hostPath(const std::filesystem::path& p) {
    const auto toUnix = wineFunction<UnixName>("wine_get_unix_file_name");
    if (!toUnix) return displayPath(p);
    char* unix = toUnix(std::filesystem::absolute(p).c_str());
    if (!unix) return displayPath(p);
    std::string out(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return out;
}

std::string runHostCommand(const std::string& command, int& status) {
    status = -1;
    TempDir dir;
    const auto script = dir / "command.sh", output = dir / "output", done = dir / "status";
    std::ofstream(script, std::ios::binary) << "(" << command << ") > '" << hostPath(output) << "'\n"
                                            << "echo $? > '" << hostPath(done) << ".part'\n"
                                            << "mv '" << hostPath(done) << ".part' '" << hostPath(done) << "'\n";
    std::wstring line = L"/bin/sh " + pathFromUtf8(hostPath(script)).wstring();
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return {};
    if (pi.hThread) ::CloseHandle(pi.hThread);
    if (pi.hProcess) ::CloseHandle(pi.hProcess);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    while (!std::filesystem::exists(done) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (!std::filesystem::exists(done)) return {};
    status = std::stoi(readBytes(done));
    return readBytes(output);
}

}  // namespace tht::test
