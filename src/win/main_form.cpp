#include "win/main_form.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "base/messages.h"
#include "front_end/shortened_folder.h"
#include "platform/document_viewer.h"
#include "platform/files.h"
#include "charset/unicode.h"
#include "platform/wide_text.h"
#include "win/panel.h"
#include "win/resource_ids.h"

namespace tht::win {
namespace {

using form::Control;
using form::Role;

constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

Font makeFont(int pixels, bool bold, const wchar_t* face) {
    return Font(::CreateFontW(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, face));
}

bool drawsBold(HFONT font) {
    const ScreenDc dc;
    const HGDIOBJ old = ::SelectObject(dc.get(), font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc.get(), &metrics);
    ::SelectObject(dc.get(), old);
    return metrics.tmWeight >= FW_BOLD;
}

// Where MS Sans Serif is a bitmap font that the system does not embolden
// (Wine), Tahoma, its TrueType successor, draws the form's bold.
Font makeFont(const form::FontLook& look, int pixels) {
    const std::wstring face = widen(look.face);
    Font font = makeFont(pixels, look.bold, face.c_str());
    if (!look.bold || face != L"MS Sans Serif" || drawsBold(font.get())) return font;
    return makeFont(pixels, true, L"Tahoma");
}

int textWidth(HFONT font, const std::wstring& text) {
    const ScreenDc dc;
    const HGDIOBJ old = ::SelectObject(dc.get(), font);
    SIZE size{};
    ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc.get(), old);
    return size.cx;
}

std::wstring shortenedFolder(const std::wstring& folder, HFONT font, int maxWidth) {
    const auto width = [font](const std::u32string& text) { return textWidth(font, widen(toUtf8(text))); };
    return widen(toUtf8(shortenFolder(fromUtf8(narrow(folder)), U'\\', width, maxWidth)));
}

const std::wstring& formClass() {
    static const std::wstring name = widen(form::kFormClass);
    return name;
}

}  // namespace

MainForm::MainForm(HINSTANCE instance, FormOptions options)
    : instance_(instance),
      options_(std::move(options)),
      model_(options_.arguments, {{}, options_.iniFile}),
      steps_(model_, *this) {
    {
        const ScreenDc dc;
        dpi_ = ::GetDeviceCaps(dc.get(), LOGPIXELSY);
    }
    for (form::Font which : {form::Font::Form, form::Font::Bold, form::Font::Direction}) {
        const form::FontLook look = form::fontLook(which);
        fonts_[static_cast<int>(which)] = makeFont(look, scale(look.pixels));
    }
    chooserBackground_.reset(::CreateSolidBrush(colourRef(form::kChooserBackground)));
    okGlyph_ = std::make_unique<ButtonGlyph>(form::Glyph::Ok, scale(16));
    closeGlyph_ = std::make_unique<ButtonGlyph>(form::Glyph::Close, scale(16));
    createWindow();
    buildControls();
    FormCreate();
}

MainForm::~MainForm() {
    if (window_) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

void MainForm::createWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(THT_ICON_PROGRAM));
    windowClass.hIconSm = static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(THT_ICON_PROGRAM), IMAGE_ICON,
                                                          ::GetSystemMetrics(SM_CXSMICON),
                                                          ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = formClass().c_str();
    ::RegisterClassExW(&windowClass);
    registerPanelClass(instance_);

    RECT frame{0, 0, scale(form::kClientWidth), scale(form::kClientHeight)};
    ::AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - height) / 2;
    window_ = ::CreateWindowExW(kFormExStyle, formClass().c_str(), widen(msg::window::kCaption).c_str(), kFormStyle,
                                left, top, width, height, nullptr, nullptr, instance_, this);
    // A dialog frame shows no icon in its title bar unless the window is given one itself.
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowClass.hIcon));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowClass.hIconSm));
    ::SetWindowContextHelpId(window_, form::kWindowHelpContext);
}

int MainForm::scale(int pixels) const { return ::MulDiv(pixels, dpi_, 96); }

HWND MainForm::child(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style, int id,
                     const form::Bounds& b, HFONT font) {
    HWND control = ::CreateWindowExW(0, windowClass, widen(text).c_str(), WS_CHILD | WS_VISIBLE | style, scale(b.left),
                                     scale(b.top), scale(b.width), scale(b.height), parent,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

// Created in the table's order, which is the order of Tab.
void MainForm::buildControls() {
    for (const Control& c : form::kControls) {
        HWND control = makeControl(c, c.parent == form::kNoControl ? window_ : handleOf(c.parent));
        controls_.push_back(control);
        if (c.helpContext > 0) ::SetWindowContextHelpId(control, static_cast<DWORD>(c.helpContext));
    }
    const form::ControlId chooserPanel = form::control(form::kDirectoriesId).parent;
    chooser_ = std::make_unique<FolderChooser>(handleOf(chooserPanel), form::kDirectoriesId, form::kDrivesId);
    chooser_->start();
    showFolder();
}

// The Win32 control for each role of the table.
HWND MainForm::makeControl(const Control& c, HWND parent) {
    const std::string caption(c.caption);
    const DWORD tabStop = c.tabPosition > 0 ? WS_TABSTOP : 0;
    const form::Bounds& b = c.bounds;
    switch (c.role) {
        case Role::GradientPanel:
        case Role::RaisedPanel:
            return createPanel(parent, c.id, c.role == Role::GradientPanel ? PanelLook::Gradient : PanelLook::Raised,
                               scale(b.left), scale(b.top), scale(b.width), scale(b.height));
        case Role::Caption:
            return child(parent, L"STATIC", caption, SS_LEFT | SS_NOPREFIX, c.id, b, font(c.font));
        case Role::Label:
        case Role::FolderLabel: {
            const int width = ::MulDiv(textWidth(font(c.font), widen(caption)), 96, dpi_);
            return child(parent, L"STATIC", caption, SS_LEFTNOWORDWRAP | SS_NOPREFIX, c.id, form::fitted(c, width),
                         font(c.font));
        }
        case Role::Button: {
            HWND button = child(parent, L"BUTTON", caption, (c.defaultButton ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | tabStop,
                                c.id, b, font(c.font));
            if (c.glyph != form::Glyph::None) (c.glyph == form::Glyph::Ok ? okGlyph_ : closeGlyph_)->showOn(button);
            return button;
        }
        case Role::DirectoryList:
            return child(parent, L"LISTBOX", caption,
                         LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | WS_VSCROLL | WS_BORDER | tabStop, c.id, b,
                         font(c.font));
        case Role::DriveBox: {
            // A drop-down list's height is its closed field; the list it opens is ours to size.
            form::Bounds open = b;
            open.height = 120;
            HWND drives = child(parent, L"COMBOBOX", caption, CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL | tabStop,
                                c.id, open, font(c.font));
            // The closed field is its text line and a 3-pixel frame above and below.
            ::SendMessageW(drives, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(1, scale(b.height) - 6));
            return drives;
        }
    }
    return nullptr;
}

HWND MainForm::handleOf(form::ControlId id) const {
    return controls_.at(static_cast<std::size_t>(form::find(id) - std::begin(form::kControls)));
}

// The table's control that is, or holds, this window, if any.
const form::Control* MainForm::controlOf(HWND window) const {
    for (; window && window != window_; window = ::GetParent(window))
        if (const auto at = std::find(controls_.begin(), controls_.end(), window); at != controls_.end())
            return &form::kControls[at - controls_.begin()];
    return nullptr;
}

void MainForm::FormCreate() {
    const Panels panels = model_.start().panels;
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const form::Placement placed = form::place(form::kControls[i], panels);
        const form::Bounds& b = placed.bounds;
        if (placed.hidden) ::ShowWindow(controls_[i], SW_HIDE);
        if (b != form::kControls[i].bounds)
            ::SetWindowPos(controls_[i], nullptr, scale(b.left), scale(b.top), scale(b.width), scale(b.height),
                           SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::UpdateWindow(window_);
    if (HWND first = ::GetNextDlgTabItem(window_, nullptr, FALSE)) ::SetFocus(first);
}

bool MainForm::takeKey(MSG& message) {
    if (!window_ || (message.hwnd != window_ && !::IsChild(window_, message.hwnd))) return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_F1) {
        steps_.helpFor(controlOf(::GetFocus()));
        return true;
    }
    return ::IsDialogMessageW(window_, &message) != FALSE;
}

LRESULT CALLBACK MainForm::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<MainForm*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<MainForm*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return ::DefWindowProcW(window, message, wParam, lParam);
    return form->handle(message, wParam, lParam);
}

LRESULT MainForm::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            command(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
            return labelColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLOREDIT:
            ::SetBkColor(reinterpret_cast<HDC>(wParam), colourRef(form::kChooserBackground));
            return reinterpret_cast<LRESULT>(chooserBackground_.get());
        case WM_SETCURSOR:
            if (running_) {
                ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            }
            break;
        case WM_ACTIVATE:
            // Give the focus back to the control that had it before a box or another program took it.
            if (LOWORD(wParam) == WA_INACTIVE) {
                savedFocus_ = ::GetFocus();
            } else if (savedFocus_ && ::IsWindow(savedFocus_) && ::IsChild(window_, savedFocus_)) {
                ::SetFocus(savedFocus_);
                return 0;
            }
            break;
        case WM_CLOSE:
            FormClose();
            ::DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
            window_ = nullptr;
            break;
        default:
            break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT MainForm::labelColours(HDC dc, HWND label) {
    if (const Control* c = controlOf(label); c && c->text) ::SetTextColor(dc, colourRef(*c->text));
    ::SetBkMode(dc, TRANSPARENT);
    // On a transfer panel the gradient shows through the caption.
    if (isGradientPanel(::GetParent(label))) return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

void MainForm::command(int id, int code) {
    if (const Control* c = form::find(id); c && c->role == Role::Button) {
        if (code == BN_CLICKED) steps_.press(c->action);
        return;
    }
    switch (id) {
        case form::kDirectoriesId:
            if (code == LBN_DBLCLK && chooser_->openHighlighted()) showFolder();
            break;
        case form::kDrivesId:
            if (code == CBN_SELCHANGE && chooser_->openChosenDrive()) showFolder();
            break;
        case IDOK:  // Enter: in the directory list it opens the highlighted folder
            if (::GetDlgCtrlID(::GetFocus()) == form::kDirectoriesId && chooser_->openHighlighted()) showFolder();
            break;
        default:
            break;
    }
}

void MainForm::showFolder() {
    const Control& label = form::control(form::kCurrentFolderId);
    HFONT bold = font(label.font);
    const std::wstring shown = shortenedFolder(chooser_->folder(), bold, scale(label.bounds.width));
    ::SetWindowTextW(handleOf(label.id), shown.c_str());
    ::SetWindowPos(handleOf(label.id), nullptr, 0, 0, textWidth(bold, shown), scale(label.bounds.height),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(handleOf(label.parent), nullptr, TRUE);
}

std::string MainForm::chosenFolder() { return narrow(chooser_->folder()); }

void MainForm::setBusy(bool busy) {
    running_ = busy;
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void MainForm::setEnabled(form::ControlId id, bool enabled) { ::EnableWindow(handleOf(id), enabled); }

void MainForm::closeWindow() { ::SendMessageW(window_, WM_CLOSE, 0, 0); }

std::optional<std::string> MainForm::openHelp(std::optional<int> context) {
    help_.open(options_.helpFile, context, reinterpret_cast<std::uintptr_t>(window_));
    return std::nullopt;
}

form::ProblemsAnswer MainForm::offerReport(const FrontEnd::Click::Problems& problems) {
    const std::wstring title = widen(msg::report::kProblemsTitle);
    if (problems.undoOffered)
        if (const auto answer = offerUndo(problems, title)) return *answer;
    if (!problems.reportWritten) {
        ::MessageBoxW(window_, widen(problems.text).c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
        return form::ProblemsAnswer::Close;
    }
    // A message box has only the system's buttons: the question makes "Sí" the one click to the report.
    const std::string text = problems.text + "\n\n" + std::string(msg::report::kOpenQuestion);
    return ::MessageBoxW(window_, widen(text).c_str(), title.c_str(), MB_YESNO | MB_ICONINFORMATION) == IDYES
               ? form::ProblemsAnswer::OpenReport
               : form::ProblemsAnswer::Close;
}

// A message box cannot name its buttons; a task dialog can, so the undo is a
// button of its own, reached by Tab and arrows like the others.
std::optional<form::ProblemsAnswer> MainForm::offerUndo(const FrontEnd::Click::Problems& problems,
                                                        const std::wstring& title) {
    constexpr int kUndoButton = 1001;
    const std::wstring text = widen(problems.text);
    const std::wstring open = widen(msg::report::kOpenReport);
    const std::wstring undo = widen(msg::report::kUndoExport);
    const std::wstring close = widen(msg::window::kCloseBox);
    std::vector<TASKDIALOG_BUTTON> buttons;
    if (problems.reportWritten) buttons.push_back({IDYES, open.c_str()});
    buttons.push_back({kUndoButton, undo.c_str()});
    buttons.push_back({IDCANCEL, close.c_str()});
    TASKDIALOGCONFIG config{};
    config.cbSize = sizeof config;
    config.hwndParent = window_;
    config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
    config.pszWindowTitle = title.c_str();
    config.pszMainIcon = problems.reportWritten ? TD_INFORMATION_ICON : TD_WARNING_ICON;
    config.pszContent = text.c_str();
    config.cButtons = static_cast<UINT>(buttons.size());
    config.pButtons = buttons.data();
    // Enter never undoes: the default stays the harmless choice.
    config.nDefaultButton = problems.reportWritten ? IDYES : IDCANCEL;
    int pressed = 0;
    // Without the task dialog (an old common-controls library), the plain box still tells the problems.
    if (FAILED(::TaskDialogIndirect(&config, &pressed, nullptr, nullptr))) return std::nullopt;
    if (pressed == IDYES) return form::ProblemsAnswer::OpenReport;
    if (pressed == kUndoButton) return form::ProblemsAnswer::UndoExport;
    return form::ProblemsAnswer::Close;
}

bool MainForm::openReport(const std::filesystem::path& report) {
    openInViewer(report);
    return true;
}

void MainForm::showBox(form::Box kind, const std::string& text) {
    ::MessageBoxW(window_, widen(text).c_str(), widen(msg::window::kApplicationTitle).c_str(),
                  kind == form::Box::Error ? MB_OK | MB_ICONERROR : MB_OK);
}

}  // namespace tht::win
