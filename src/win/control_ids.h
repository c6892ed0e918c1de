#pragma once
// The window's controls by number, and the names the calling product's users
// and the help know them by; the test driver reports them by these names.
namespace tht::win {

enum ControlId : int {
    kExportPanelId = 100,    // Draw3D2
    kExportCaptionId,        // Label3
    kExportButtonId,         // BExportar
    kImportPanelId,          // Draw3D3
    kImportCaptionId,        // Label4
    kImportButtonId,         // BImportar
    kFolderPanelId,          // Panel1
    kFolderPromptId,         // Label5
    kCurrentFolderPromptId,  // Label6
    kCurrentFolderId,        // Label2
    kDirectoriesId,          // Directorios
    kDrivesId,               // Unidades
    kCloseButtonId,          // BClose
    kHelpButtonId,           // Button1
    kProductLabelId,         // Label1
};

struct ControlName {
    int id;
    const char* name;
};

inline constexpr ControlName kControlNames[] = {
    {kExportPanelId, "Draw3D2"},  {kExportCaptionId, "Label3"},        {kExportButtonId, "BExportar"},
    {kImportPanelId, "Draw3D3"},  {kImportCaptionId, "Label4"},        {kImportButtonId, "BImportar"},
    {kFolderPanelId, "Panel1"},   {kFolderPromptId, "Label5"},         {kCurrentFolderPromptId, "Label6"},
    {kCurrentFolderId, "Label2"}, {kDirectoriesId, "Directorios"},     {kDrivesId, "Unidades"},
    {kCloseButtonId, "BClose"},   {kHelpButtonId, "Button1"},          {kProductLabelId, "Label1"},
};

// The window's class, as the calling product and its scripts know it.
inline constexpr wchar_t kFormClass[] = L"TMForm";

}  // namespace tht::win
