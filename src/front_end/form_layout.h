#pragma once
// How the main window looks, for every view of it: the client size, each
// control's bounds (pixels at 96 dots per inch, relative to its parent), the
// colours, the font sizes and the help the window offers.
namespace tht::form {

struct Bounds {
    int left, top, width, height;
};
struct Colour {
    int red, green, blue;
};

inline constexpr int kClientWidth = 599;
inline constexpr int kClientHeight = 270;

// The transfer panels; in command-line mode the one shown moves to the top
// left and takes the full client width, its height and contents unchanged.
inline constexpr Bounds kExportPanel{0, 0, 301, 106};     // Draw3D2
inline constexpr Bounds kExportCaption{21, 5, 265, 57};   // Label3
inline constexpr Bounds kExportButton{88, 72, 89, 25};    // BExportar
inline constexpr Bounds kImportPanel{302, 0, 294, 106};   // Draw3D3
inline constexpr Bounds kImportCaption{8, 5, 276, 57};    // Label4
inline constexpr Bounds kImportButton{96, 72, 89, 25};    // BImportar

inline constexpr Bounds kFolderPanel{0, 107, 596, 162};   // Panel1
inline constexpr Bounds kFolderPrompt{9, 5, 280, 13};     // Label5
inline constexpr Bounds kCurrentFolderPrompt{9, 19, 59, 13};  // Label6
inline constexpr Bounds kCurrentFolder{70, 20, 0, 13};    // Label2: as wide as its text
inline constexpr Bounds kDirectories{9, 36, 287, 101};    // Directorios
inline constexpr Bounds kDrives{9, 140, 137, 19};         // Unidades
inline constexpr Bounds kCloseButton{385, 106, 89, 25};   // BClose
inline constexpr Bounds kHelpButton{188, 139, 109, 21};   // Button1
inline constexpr Bounds kProductLabel{368, 143, 212, 13}; // Label1
// Label2 never grows wider than the directory list; a longer folder is shortened.
inline constexpr int kCurrentFolderMaxWidth = 287;

inline constexpr Colour kGradientStart{249, 211, 125};  // top of a transfer panel
inline constexpr Colour kGradientMiddle{255, 255, 255};
inline constexpr Colour kGradientEnd{255, 238, 221};    // bottom
inline constexpr Colour kChooserBackground{240, 251, 255};
inline constexpr Colour kPromptText{0, 0, 255};         // Label5, Label6
inline constexpr Colour kEmphasisText{255, 0, 0};       // Label2, Label1, bold

inline constexpr int kFormFontPixels = 11;       // MS Sans Serif 8 point
inline constexpr int kDirectionFontPixels = 16;  // Label3, Label4: Arial bold

// The help file, as a bare name, and the help context of the window and of
// every control that takes the focus.
inline constexpr char kHelpFile[] = "TUXA.chm";
inline constexpr int kWindowHelpContext = 3;

}  // namespace tht::form
