#include "win/help_viewer.h"

#include <windows.h>

#include "base/messages.h"
#include "platform/wide_text.h"

namespace tht {
namespace {

// From htmlhelp.h, which mingw-w64 ships without its import library: the
// viewer is loaded at run time so that the program imports only what every
// Windows has.
constexpr UINT kDisplayTopic = 0x0000;
constexpr UINT kHelpContext = 0x000F;
constexpr UINT kCloseAll = 0x0012;
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

HtmlHelpFunction functionOf(void* address) { return reinterpret_cast<HtmlHelpFunction>(address); }

std::string fileNameOf(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

}  // namespace

std::string describe(HelpError kind, const ErrorContext& c) {
    switch (kind) {
        case HelpError::Missing:
            return msg::window::helpMissing(fileNameOf(c.file), c.file);
        case HelpError::NotOpened:
            return msg::window::helpNotOpened(c.file, c.cause);
    }
    return c.file;
}

HelpViewer::~HelpViewer() {
    if (htmlHelp_) functionOf(htmlHelp_)(nullptr, nullptr, kCloseAll, 0);
    if (library_) ::FreeLibrary(static_cast<HMODULE>(library_));
}

void HelpViewer::open(const std::filesystem::path& file, std::optional<int> context, std::uintptr_t owner) {
    const std::string shown = narrow(file.native());
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw Error(HelpError::Missing, {.file = shown});
    if (!library_) {
        HMODULE library = ::LoadLibraryW(L"hhctrl.ocx");
        if (!library) throw Error(HelpError::NotOpened, {.file = shown, .cause = std::string(msg::window::kNoHelpViewer)});
        void* address = reinterpret_cast<void*>(::GetProcAddress(library, "HtmlHelpW"));
        if (!address) {
            ::FreeLibrary(library);
            throw Error(HelpError::NotOpened, {.file = shown, .cause = std::string(msg::window::kNoHelpViewer)});
        }
        library_ = library;
        htmlHelp_ = address;
    }
    HWND window = context ? functionOf(htmlHelp_)(reinterpret_cast<HWND>(owner), file.c_str(), kHelpContext,
                                                  static_cast<DWORD_PTR>(*context))
                          : functionOf(htmlHelp_)(reinterpret_cast<HWND>(owner), file.c_str(), kDisplayTopic, 0);
    if (!window) {
        const std::string cause = context ? msg::window::helpTopicRefused(*context)
                                          : std::string(msg::window::kHelpRefused);
        throw Error(HelpError::NotOpened, {.file = shown, .cause = cause});
    }
}

}  // namespace tht
