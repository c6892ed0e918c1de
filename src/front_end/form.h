#pragma once
// The main window as one table, for either toolkit: every control with its
// number, role, name, parent, bounds (pixels at 96 dots per inch, relative to
// its parent), caption, font, colours, help context and place in the tab
// order; and what becomes of them in each run mode. Both windows build
// themselves by walking this table, and their tests take their rows from it.
// Header only and free of any toolkit: the Win32 test driver reads it too.
#include <algorithm>
#include <optional>
#include <string_view>

#include "base/messages.h"
#include "front_end/panels.h"

namespace tht::form {

struct Bounds {
    int left, top, width, height;
    friend constexpr bool operator==(const Bounds&, const Bounds&) = default;
};
struct Colour {
    int red, green, blue;
    friend constexpr bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr int kClientWidth = 599;
inline constexpr int kClientHeight = 270;

inline constexpr Colour kGradientStart{249, 211, 125};  // top of a transfer panel
inline constexpr Colour kGradientMiddle{255, 255, 255};
inline constexpr Colour kGradientEnd{255, 238, 221};    // bottom
inline constexpr Colour kChooserBackground{240, 251, 255};
inline constexpr Colour kPromptText{0, 0, 255};
inline constexpr Colour kEmphasisText{255, 0, 0};

// The help file, as a bare name, and the help context of the window and of
// every control that takes the focus.
inline constexpr char kHelpFile[] = "TUXA.chm";
inline constexpr int kWindowHelpContext = 3;

// The window's class and object name, as the calling product and its scripts know them.
inline constexpr std::string_view kFormClass = "TMForm";
inline constexpr std::string_view kFormName = "MForm";

// The controls by number; Win32 gives these to its child windows.
enum ControlId : int {
    kNoControl = 0,  // as a parent: the window itself
    kExportPanelId = 100,
    kExportCaptionId,
    kExportButtonId,
    kImportPanelId,
    kImportCaptionId,
    kImportButtonId,
    kFolderPanelId,
    kCloseButtonId,
    kHelpButtonId,
    kDirectoriesId,
    kDrivesId,
    kFolderPromptId,
    kCurrentFolderPromptId,
    kCurrentFolderId,
    kProductLabelId,
};

enum class Role {
    GradientPanel,  // a transfer panel, painted from the start colour through white to the end colour
    RaisedPanel,    // the lower panel
    Caption,        // wraps within its bounds
    Label,          // one line: keeps its bounds, and grows where its text is wider
    FolderLabel,    // the chosen folder: as wide as its text, at most the bounds' width
    Button,
    DirectoryList,
    DriveBox,
};

enum class Font { Form, Bold, Direction };
struct FontLook {
    int pixels;
    bool bold;
    const char* face;  // the first choice; a toolkit may fall back to a font of the same proportions
};
constexpr FontLook fontLook(Font font) {
    switch (font) {
        case Font::Bold: return {11, true, "MS Sans Serif"};
        case Font::Direction: return {16, true, "Arial"};
        case Font::Form: break;
    }
    return {11, false, "MS Sans Serif"};  // MS Sans Serif 8 point
}

enum class Glyph { None, Ok, Close };

// What pressing a button does.
enum class Action { None, Export, Import, Close, Help };

struct Control {
    ControlId id;
    Role role;
    std::string_view name;  // the name the calling product's users and the help know it by
    ControlId parent;
    Bounds bounds;
    std::string_view caption;
    Font font;
    std::optional<Colour> text;        // none: the system's
    std::optional<Colour> background;  // none: the parent's, or the role's own paint
    int helpContext;                   // 0: its parent's
    int tabPosition;                   // 0: never takes the focus by Tab
    Action action;
    Glyph glyph;
    bool defaultButton;
};

namespace detail {
namespace w = msg::window;
inline constexpr int H = kWindowHelpContext;
inline constexpr std::optional<Colour> kSystem{};

// In creation order, which for Win32 is also the order of Tab: a panel before
// what it holds, and the focusable controls in their tab positions. Each
// control on two lines: what and where; then font, text colour, background,
// help context, tab position, what a press does, glyph, default button.
inline constexpr Control kTable[] = {
    {kExportPanelId, Role::GradientPanel, "Draw3D2", kNoControl, {0, 0, 301, 106}, {},
     Font::Form, kSystem, kSystem, H, 0, Action::None, Glyph::None, false},
    {kExportCaptionId, Role::Caption, "Label3", kExportPanelId, {21, 5, 265, 57}, w::kExportDirection,
     Font::Direction, kSystem, kSystem, 0, 0, Action::None, Glyph::None, false},
    {kExportButtonId, Role::Button, "BExportar", kExportPanelId, {88, 72, 89, 25}, w::kOk,
     Font::Form, kSystem, kSystem, H, 1, Action::Export, Glyph::Ok, true},
    {kImportPanelId, Role::GradientPanel, "Draw3D3", kNoControl, {302, 0, 294, 106}, {},
     Font::Form, kSystem, kSystem, 0, 0, Action::None, Glyph::None, false},
    {kImportCaptionId, Role::Caption, "Label4", kImportPanelId, {8, 5, 276, 57}, w::kImportDirection,
     Font::Direction, kSystem, kSystem, H, 0, Action::None, Glyph::None, false},
    {kImportButtonId, Role::Button, "BImportar", kImportPanelId, {96, 72, 89, 25}, w::kOk,
     Font::Form, kSystem, kSystem, H, 2, Action::Import, Glyph::Ok, true},
    {kFolderPanelId, Role::RaisedPanel, "Panel1", kNoControl, {0, 107, 596, 162}, {},
     Font::Form, kSystem, kSystem, 0, 0, Action::None, Glyph::None, false},
    {kCloseButtonId, Role::Button, "BClose", kFolderPanelId, {385, 106, 89, 25}, w::kClose,
     Font::Form, kSystem, kSystem, H, 3, Action::Close, Glyph::Close, false},
    {kHelpButtonId, Role::Button, "Button1", kFolderPanelId, {188, 139, 109, 21}, w::kHelp,
     Font::Form, kSystem, kSystem, H, 4, Action::Help, Glyph::None, false},
    {kDirectoriesId, Role::DirectoryList, "Directorios", kFolderPanelId, {9, 36, 287, 101}, {},
     Font::Form, kSystem, kChooserBackground, H, 5, Action::None, Glyph::None, false},
    {kDrivesId, Role::DriveBox, "Unidades", kFolderPanelId, {9, 140, 137, 19}, {},
     Font::Form, kSystem, kChooserBackground, H, 6, Action::None, Glyph::None, false},
    {kFolderPromptId, Role::Label, "Label5", kFolderPanelId, {9, 5, 280, 13}, w::kFolderPrompt,
     Font::Form, kPromptText, kSystem, 0, 0, Action::None, Glyph::None, false},
    {kCurrentFolderPromptId, Role::Label, "Label6", kFolderPanelId, {9, 19, 59, 13}, w::kCurrentFolder,
     Font::Form, kPromptText, kSystem, 0, 0, Action::None, Glyph::None, false},
    {kCurrentFolderId, Role::FolderLabel, "Label2", kFolderPanelId, {70, 20, 287, 13}, {},
     Font::Bold, kEmphasisText, kSystem, 0, 0, Action::None, Glyph::None, false},
    {kProductLabelId, Role::Label, "Label1", kFolderPanelId, {368, 143, 212, 13}, w::kProductLabel,
     Font::Bold, kEmphasisText, kSystem, 0, 0, Action::None, Glyph::None, false},
};
}  // namespace detail
inline constexpr const auto& kControls = detail::kTable;

// The control of that number or name; null for any other.
constexpr const Control* find(int id) {
    for (const Control& c : kControls)
        if (c.id == id) return &c;
    return nullptr;
}
constexpr const Control* find(std::string_view name) {
    for (const Control& c : kControls)
        if (c.name == name) return &c;
    return nullptr;
}
constexpr const Control& control(ControlId id) { return *find(id); }

namespace detail {
// By index rather than by pointer: a sanitizing compiler will not compare
// pointers while it evaluates a constant.
constexpr bool wellFormed() {
    int lastTab = 0;
    for (std::size_t i = 0; i < std::size(kControls); ++i) {
        const Control& c = kControls[i];
        bool parentBefore = c.parent == kNoControl;  // a parent is made before its controls
        for (std::size_t j = 0; j < i; ++j) {
            if (kControls[j].id == c.id || kControls[j].name == c.name) return false;
            parentBefore = parentBefore || kControls[j].id == c.parent;
        }
        if (!parentBefore) return false;
        if (c.tabPosition != 0) {
            if (c.tabPosition != lastTab + 1) return false;  // Win32 tabs in creation order
            lastTab = c.tabPosition;
        }
    }
    return true;
}
}  // namespace detail
static_assert(detail::wellFormed(), "a parent after its control, a number or name twice, or tabs out of order");

// Where a control stands in a run mode. In command-line mode the transfer
// panel shown moves to the top left and takes the full client width, its
// height and contents unchanged; the other is hidden.
struct Placement {
    bool hidden;  // hidden itself (a control on a hidden panel is not shown either)
    Bounds bounds;
};
constexpr Placement place(const Control& c, Panels panels) {
    const bool exportOnly = panels == Panels::ExportOnly, importOnly = panels == Panels::ImportOnly;
    if ((c.id == kExportPanelId && importOnly) || (c.id == kImportPanelId && exportOnly)) return {true, c.bounds};
    if ((c.id == kExportPanelId && exportOnly) || (c.id == kImportPanelId && importOnly))
        return {false, {0, 0, kClientWidth, c.bounds.height}};
    return {false, c.bounds};
}

// Whether a control is to be seen in a run mode: neither it nor a panel that holds it is hidden.
constexpr bool shown(const Control& c, Panels panels) {
    for (const Control* at = &c; at; at = find(at->parent))
        if (place(*at, panels).hidden) return false;
    return true;
}

// The bounds of a control whose text is textWidth pixels wide: a one-line
// label grows to its text where the font found is wider than the one the
// bounds were measured with (a cut caption would tell the user less than a
// slightly wider label); the folder label is as wide as its text, up to its
// bounds (a longer folder is shortened to fit).
constexpr Bounds fitted(const Control& c, int textWidth) {
    Bounds b = c.bounds;
    if (c.role == Role::Label) b.width = std::max(b.width, textWidth);
    if (c.role == Role::FolderLabel) b.width = std::min(b.width, textWidth);
    return b;
}

// The help context the control with the focus asks for: its own, else the
// nearest panel's, else the window's.
constexpr int helpContextOf(const Control* focus) {
    for (; focus; focus = find(focus->parent))
        if (focus->helpContext > 0) return focus->helpContext;
    return kWindowHelpContext;
}

}  // namespace tht::form
