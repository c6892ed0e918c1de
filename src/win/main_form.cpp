#include "win/main_form.h"

#include <commctrl.h>

#include <algorithm>

#include "base/messages.h"
#include "front_end/form_layout.h"
#include "front_end/shortened_folder.h"
#include "platform/document_viewer.h"
#include "platform/files.h"
#include "charset/unicode.h"
#include "platform/wide_text.h"
#include "win/control_ids.h"
#include "win/panel.h"
#include "win/resource_ids.h"

namespace tht::win {
namespace {

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

// The form's font in bold. Where MS Sans Serif is a bitmap font that the
// system does not embolden (Wine), Tahoma, its TrueType successor, draws it.
Font makeBoldFormFont(int pixels) {
    Font font = makeFont(pixels, true, L"MS Sans Serif");
    if (drawsBold(font.get())) return font;
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

int helpContextOf(HWND control) {
    for (; control; control = ::GetParent(control))
        if (const DWORD context = ::GetWindowContextHelpId(control)) return static_cast<int>(context);
    return form::kWindowHelpContext;
}

}  // namespace

// The core's messages become modal boxes headed by the application title.
class MainForm::BoxSink final : public MessageSink {
public:
    explicit BoxSink(MainForm& form) : form_(form) {}
    void show(const std::string& message) override { form_.showBox(message, MB_OK); }

private:
    MainForm& form_;
};

MainForm::MainForm(HINSTANCE instance, FormOptions options)
    : instance_(instance),
      options_(std::move(options)),
      sink_(std::make_unique<BoxSink>(*this)),
      model_(options_.arguments, {{}, options_.iniFile}) {
    {
        const ScreenDc dc;
        dpi_ = ::GetDeviceCaps(dc.get(), LOGPIXELSY);
    }
    formFont_ = makeFont(scale(form::kFormFontPixels), false, L"MS Sans Serif");
    boldFont_ = makeBoldFormFont(scale(form::kFormFontPixels));
    directionFont_ = makeFont(scale(form::kDirectionFontPixels), true, L"Arial");
    const form::Colour& background = form::kChooserBackground;
    chooserBackground_.reset(::CreateSolidBrush(colourRef(background.red, background.green, background.blue)));

    WNDCLASSEXW formClass{};
    formClass.cbSize = sizeof formClass;
    formClass.lpfnWndProc = windowProc;
    formClass.hInstance = instance;
    formClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    formClass.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(THT_ICON_PROGRAM));
    formClass.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(THT_ICON_PROGRAM), IMAGE_ICON,
                                                        ::GetSystemMetrics(SM_CXSMICON),
                                                        ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    formClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    formClass.lpszClassName = kFormClass;
    ::RegisterClassExW(&formClass);
    registerPanelClass(instance);

    RECT frame{0, 0, scale(form::kClientWidth), scale(form::kClientHeight)};
    ::AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    const int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int left = work.left + (work.right - work.left - width) / 2;
    const int top = work.top + (work.bottom - work.top - height) / 2;
    window_ = ::CreateWindowExW(kFormExStyle, kFormClass, widen(msg::window::kCaption).c_str(), kFormStyle, left, top,
                                width, height, nullptr, nullptr, instance, this);
    // A dialog frame shows no icon in its title bar unless the window is given one itself.
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(formClass.hIcon));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(formClass.hIconSm));
    ::SetWindowContextHelpId(window_, form::kWindowHelpContext);
    buildControls();
    FormCreate();
}

MainForm::~MainForm() {
    if (window_) {
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
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

// A one-line caption keeps its stated bounds, and grows to its text where the
// font found is wider than the one the bounds were measured with: a cut
// caption would tell the user less than a slightly wider label.
HWND MainForm::label(HWND parent, const std::string& text, int id, const form::Bounds& bounds, HFONT font, bool wrap) {
    form::Bounds fitted = bounds;
    if (!wrap) fitted.width = std::max(bounds.width, ::MulDiv(textWidth(font, widen(text)), 96, dpi_));
    return child(parent, L"STATIC", text, (wrap ? SS_LEFT : SS_LEFTNOWORDWRAP) | SS_NOPREFIX, id, fitted, font);
}

void MainForm::buildControls() {
    namespace w = msg::window;
    HFONT font = formFont_.get();
    const auto panel = [&](int id, PanelLook look, const form::Bounds& b) {
        return createPanel(window_, id, look, scale(b.left), scale(b.top), scale(b.width), scale(b.height));
    };
    const auto helpContext = [](HWND control) { ::SetWindowContextHelpId(control, form::kWindowHelpContext); };

    // Created in the tab order: the export panel, the import panel, the lower
    // panel; inside it close, help, the directory list and the drive box.
    exportPanel_ = panel(kExportPanelId, PanelLook::Gradient, form::kExportPanel);
    helpContext(exportPanel_);
    label(exportPanel_, std::string(w::kExportDirection), kExportCaptionId, form::kExportCaption, directionFont_.get(),
          true);
    exportButton_ = child(exportPanel_, L"BUTTON", std::string(w::kOk), BS_DEFPUSHBUTTON | WS_TABSTOP,
                          kExportButtonId, form::kExportButton, font);

    importPanel_ = panel(kImportPanelId, PanelLook::Gradient, form::kImportPanel);
    helpContext(label(importPanel_, std::string(w::kImportDirection), kImportCaptionId, form::kImportCaption,
                      directionFont_.get(), true));
    importButton_ = child(importPanel_, L"BUTTON", std::string(w::kOk), BS_DEFPUSHBUTTON | WS_TABSTOP,
                          kImportButtonId, form::kImportButton, font);

    folderPanel_ = panel(kFolderPanelId, PanelLook::Raised, form::kFolderPanel);
    HWND close = child(folderPanel_, L"BUTTON", std::string(w::kClose), BS_PUSHBUTTON | WS_TABSTOP, kCloseButtonId,
                       form::kCloseButton, font);
    HWND helpButton = child(folderPanel_, L"BUTTON", std::string(w::kHelp), BS_PUSHBUTTON | WS_TABSTOP,
                            kHelpButtonId, form::kHelpButton, font);
    HWND directories = child(folderPanel_, L"LISTBOX", "",
                             LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
                             kDirectoriesId, form::kDirectories, font);
    // A drop-down list's height is its closed field; the list it opens is ours to size.
    form::Bounds drivesOpen = form::kDrives;
    drivesOpen.height = 120;
    HWND drives = child(folderPanel_, L"COMBOBOX", "", CBS_DROPDOWNLIST | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP,
                        kDrivesId, drivesOpen, font);
    // The closed field is its text line and a 3-pixel frame above and below.
    ::SendMessageW(drives, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(1, scale(form::kDrives.height) - 6));
    for (HWND control : {exportButton_, importButton_, close, helpButton, directories, drives}) helpContext(control);
    okGlyph_ = std::make_unique<ButtonGlyph>(Glyph::Ok, scale(16));
    closeGlyph_ = std::make_unique<ButtonGlyph>(Glyph::Close, scale(16));
    okGlyph_->showOn(exportButton_);
    okGlyph_->showOn(importButton_);
    closeGlyph_->showOn(close);

    label(folderPanel_, std::string(w::kFolderPrompt), kFolderPromptId, form::kFolderPrompt, font, false);
    label(folderPanel_, std::string(w::kCurrentFolder), kCurrentFolderPromptId, form::kCurrentFolderPrompt, font,
          false);
    currentFolder_ = child(folderPanel_, L"STATIC", "", SS_LEFTNOWORDWRAP | SS_NOPREFIX, kCurrentFolderId,
                           form::kCurrentFolder, boldFont_.get());
    label(folderPanel_, std::string(w::kProductLabel), kProductLabelId, form::kProductLabel, boldFont_.get(), false);


    chooser_ = std::make_unique<FolderChooser>(folderPanel_, kDirectoriesId, kDrivesId);
    chooser_->start();
    showFolder();
}

void MainForm::FormCreate() {
    // In command-line mode the panel shown moves to the top left and takes the
    // full width; its height and contents stay.
    const auto alignToTop = [this](HWND panel) {
        RECT bounds;
        ::GetWindowRect(panel, &bounds);
        ::SetWindowPos(panel, nullptr, 0, 0, scale(form::kClientWidth), bounds.bottom - bounds.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const Panels panels = model_.start().panels;
    if (panels == Panels::ImportOnly) {
        ::ShowWindow(exportPanel_, SW_HIDE);
        alignToTop(importPanel_);
    }
    if (panels == Panels::ExportOnly) {
        ::ShowWindow(importPanel_, SW_HIDE);
        alignToTop(exportPanel_);
    }
    ::ShowWindow(window_, SW_SHOWNORMAL);
    ::UpdateWindow(window_);
    if (HWND first = ::GetNextDlgTabItem(window_, nullptr, FALSE)) ::SetFocus(first);
}

bool MainForm::takeKey(MSG& message) {
    if (!window_ || (message.hwnd != window_ && !::IsChild(window_, message.hwnd))) return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_F1) {
        showHelp(false);
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
        case WM_CTLCOLOREDIT: {
            const form::Colour& c = form::kChooserBackground;
            ::SetBkColor(reinterpret_cast<HDC>(wParam), colourRef(c.red, c.green, c.blue));
            return reinterpret_cast<LRESULT>(chooserBackground_.get());
        }
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
    const auto colour = [](const form::Colour& c) { return colourRef(c.red, c.green, c.blue); };
    switch (::GetDlgCtrlID(label)) {
        case kFolderPromptId:
        case kCurrentFolderPromptId:
            ::SetTextColor(dc, colour(form::kPromptText));
            break;
        case kCurrentFolderId:
        case kProductLabelId:
            ::SetTextColor(dc, colour(form::kEmphasisText));
            break;
        default:
            break;
    }
    ::SetBkMode(dc, TRANSPARENT);
    // On a transfer panel the gradient shows through the caption.
    if (isGradientPanel(::GetParent(label))) return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

void MainForm::command(int id, int code) {
    switch (id) {
        case kExportButtonId:
            if (code == BN_CLICKED) runTransfer(FrontEnd::Direction::Export);
            break;
        case kImportButtonId:
            if (code == BN_CLICKED) runTransfer(FrontEnd::Direction::Import);
            break;
        case kCloseButtonId:
            if (code == BN_CLICKED) ::SendMessageW(window_, WM_CLOSE, 0, 0);
            break;
        case kHelpButtonId:
            if (code == BN_CLICKED) showHelp(true);
            break;
        case kDirectoriesId:
            if (code == LBN_DBLCLK && chooser_->openHighlighted()) showFolder();
            break;
        case kDrivesId:
            if (code == CBN_SELCHANGE && chooser_->openChosenDrive()) showFolder();
            break;
        case IDOK:  // Enter: in the directory list it opens the highlighted folder
            if (::GetDlgCtrlID(::GetFocus()) == kDirectoriesId && chooser_->openHighlighted()) showFolder();
            break;
        default:
            break;
    }
}

void MainForm::runTransfer(FrontEnd::Direction direction) {
    running_ = true;
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    const FrontEnd::Click click = model_.run(direction, narrow(chooser_->folder()), *sink_);
    running_ = false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    if (click.error) {
        reportError(click.errorText());
        return;
    }
    ::EnableWindow(exportButton_, model_.transfersEnabled());
    ::EnableWindow(importButton_, model_.transfersEnabled());
    // What the run dropped or warned about is told before the window may close.
    if (click.problems) showProblems(*click.problems);
    if (click.closeWindow) ::SendMessageW(window_, WM_CLOSE, 0, 0);
}

void MainForm::showFolder() {
    const std::wstring& folder = chooser_->folder();
    const std::wstring shown = shortenedFolder(folder, boldFont_.get(), scale(form::kCurrentFolderMaxWidth));
    ::SetWindowTextW(currentFolder_, shown.c_str());
    ::SetWindowPos(currentFolder_, nullptr, 0, 0, textWidth(boldFont_.get(), shown), scale(form::kCurrentFolder.height),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(folderPanel_, nullptr, TRUE);
}

void MainForm::showHelp(bool contents) {
    try {
        const std::optional<int> context =
            contents ? std::nullopt : std::optional<int>(helpContextOf(::GetFocus() ? ::GetFocus() : window_));
        help_.open(options_.helpFile, context, reinterpret_cast<std::uintptr_t>(window_));
    } catch (const Error& e) {
        reportError(e.what());
    }
}

void MainForm::showProblems(const FrontEnd::Click::Problems& problems) {
    const std::wstring title = widen(msg::report::kProblemsTitle);
    if (!problems.reportWritten) {
        ::MessageBoxW(window_, widen(problems.text).c_str(), title.c_str(), MB_OK | MB_ICONWARNING);
        return;
    }
    // A message box has only the system's buttons: the question makes "Sí" the one click to the report.
    const std::string text = problems.text + "\n\n" + std::string(msg::report::kOpenQuestion);
    if (::MessageBoxW(window_, widen(text).c_str(), title.c_str(), MB_YESNO | MB_ICONINFORMATION) != IDYES) return;
    try {
        openInViewer(problems.report);
    } catch (const Error&) {
        reportError(msg::report::notOpened(displayPath(problems.report), std::string(msg::report::kNoViewer)));
    }
}

void MainForm::showBox(const std::string& text, UINT style) {
    ::MessageBoxW(window_, widen(text).c_str(), widen(msg::window::kApplicationTitle).c_str(), style);
}

void MainForm::reportError(const std::string& text) { showBox(text, MB_OK | MB_ICONERROR); }

void MainForm::FormClose() {
    // The window closes all the same: a window that cannot be closed would
    // leave the calling product waiting for ever.
    if (const auto problem = model_.closing()) reportError(problem->what());
}

}  // namespace tht::win
