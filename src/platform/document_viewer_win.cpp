#include <windows.h>
#include <shellapi.h>

#include "base/messages.h"
#include "platform/document_viewer.h"
#include "platform/error.h"
#include "platform/files.h"

namespace tht {

void openInViewer(const std::filesystem::path& document) {
    // The shell's "open" verb: what Explorer does on a double click.
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32)
        throw Error(FileError::Unreadable,
                    {.file = displayPath(document), .cause = std::string(msg::report::kNoViewer)});
}

}  // namespace tht
