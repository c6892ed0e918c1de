#pragma once
// The classic folder chooser of Windows: a directory list ("[..]" and the
// subfolders of the current folder) and a drive box, both filled by the
// system (DlgDirList, DlgDirListComboBox). As with those controls, the folder
// listed is the process's current folder.
#include <windows.h>

#include <string>

namespace tht::win {

class FolderChooser {
public:
    // panel: the parent of both controls.
    FolderChooser(HWND panel, int listId, int drivesId) : panel_(panel), listId_(listId), drivesId_(drivesId) {}

    // Lists the process's current folder.
    void start();
    // Opens the highlighted line of the list (a double-click, or Enter).
    // False when nothing changed.
    bool openHighlighted();
    // Shows the current folder of the drive picked in the box; a drive that is
    // not ready leaves everything as it was. False when nothing changed.
    bool openChosenDrive();
    // The current folder, in full: what a run uses.
    const std::wstring& folder() const noexcept { return folder_; }

private:
    bool list(std::wstring pattern);
    void listDrives();

    HWND panel_;
    int listId_;
    int drivesId_;
    std::wstring folder_;
};

}  // namespace tht::win
