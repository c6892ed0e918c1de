#include <windows.h>
#include <shellapi.h>

#include <string>

#include "base/messages.h"
#include "platform/document_viewer.h"
#include "platform/error.h"
#include "platform/files.h"

namespace tht {

void openInViewer(const std::filesystem::path& document) {
    // The shell's "open" verb: what Explorer does on a double click.
    auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // A Wine prefix may have no program registered for text files: Notepad is always there.
    if (result == SE_ERR_NOASSOC || result == SE_ERR_ASSOCINCOMPLETE) {
        const std::wstring quoted = L"\"" + document.wstring() + L"\"";
        result = reinterpret_cast<INT_PTR>(
            ::ShellExecuteW(nullptr, L"open", L"notepad.exe", quoted.c_str(), nullptr, SW_SHOWNORMAL));
    }
    if (result <= 32)
        throw Error(FileError::Unreadable,
                    {.file = displayPath(document), .cause = std::string(msg::report::kNoViewer)});
}

}  // namespace tht
