#include "win/folder_chooser.h"

#include <cwctype>
#include <vector>

namespace tht::win {
namespace {

constexpr DWORD kLongPath = 32768;
constexpr wchar_t kEverything[] = L"*.*";

std::wstring currentFolder() {
    std::vector<wchar_t> buffer(kLongPath);
    const DWORD n = ::GetCurrentDirectoryW(kLongPath, buffer.data());
    return n > 0 && n < kLongPath ? std::wstring(buffer.data(), n) : std::wstring();
}

}  // namespace

void FolderChooser::start() { list(kEverything); }

bool FolderChooser::openHighlighted() {
    std::vector<wchar_t> chosen(kLongPath);
    // Nonzero: the line is a folder (or a drive), returned as "name\".
    if (!::DlgDirSelectExW(panel_, chosen.data(), static_cast<int>(chosen.size()), listId_)) return false;
    return list(std::wstring(chosen.data()) + kEverything);
}

bool FolderChooser::openChosenDrive() {
    std::vector<wchar_t> chosen(kLongPath);
    ::DlgDirSelectComboBoxExW(panel_, chosen.data(), static_cast<int>(chosen.size()), drivesId_);
    // "c:" alone goes to that drive's current folder.
    if (chosen[0] == L'\0' || !list(std::wstring(chosen.data()) + kEverything)) {
        listDrives();  // back to the drive of the folder still shown
        return false;
    }
    return true;
}

bool FolderChooser::list(std::wstring pattern) {
    std::vector<wchar_t> buffer(pattern.begin(), pattern.end());
    buffer.resize(kLongPath, L'\0');
    if (!::DlgDirListW(panel_, buffer.data(), listId_, 0, DDL_DIRECTORY | DDL_EXCLUSIVE)) return false;
    const std::wstring now = currentFolder();
    const bool changed = now != folder_;
    folder_ = now;
    listDrives();
    return changed;
}

void FolderChooser::listDrives() {
    std::vector<wchar_t> buffer(std::begin(kEverything), std::end(kEverything));
    buffer.resize(MAX_PATH, L'\0');
    ::DlgDirListComboBoxW(panel_, buffer.data(), drivesId_, 0, DDL_DRIVES | DDL_EXCLUSIVE);
    // The box shows the drive of the folder listed, as "[-c-]".
    if (folder_.size() >= 2 && folder_[1] == L':') {
        const std::wstring drive = std::wstring(L"[-") + static_cast<wchar_t>(std::towlower(folder_[0])) + L"-]";
        ::SendDlgItemMessageW(panel_, drivesId_, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(drive.c_str()));
    }
}

}  // namespace tht::win
