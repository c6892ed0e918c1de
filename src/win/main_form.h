#pragma once
// The main window, MForm of class TMForm, as a plain Win32 window: the two
// transfer panels, the folder chooser, close and help. A view over FrontEnd:
// it shows what the model decides and holds no rule of its own.
#include <windows.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "front_end/form.h"
#include "front_end/form_steps.h"
#include "front_end/form_view.h"
#include "front_end/front_end.h"
#include "win/folder_chooser.h"
#include "win/gdi.h"
#include "win/glyphs.h"
#include "win/help_viewer.h"

namespace tht::win {

struct FormOptions {
    std::vector<std::string> arguments;  // without the program itself
    std::filesystem::path iniFile;       // where command-line mode leaves the status
    std::filesystem::path helpFile;      // TUXA.chm
};

class MainForm : private form::FormView {
public:
    MainForm(HINSTANCE instance, FormOptions options);
    ~MainForm() override;
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    HWND window() const noexcept { return window_; }
    // The keys handled for the whole window before a control sees them: F1,
    // Tab, Enter and the underlined letters. True when the message was taken.
    bool takeKey(MSG& message);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void createWindow();
    // The problems box with the undo; nothing when the system has no task dialog.
    std::optional<form::ProblemsAnswer> offerUndo(const FrontEnd::Click::Problems& problems, const std::wstring& title);
    void buildControls();
    HWND makeControl(const form::Control& control, HWND parent);
    void FormCreate();
    void FormClose() { steps_.closing(); }
    void command(int id, int code);
    void showFolder();
    LRESULT labelColours(HDC dc, HWND label);
    HWND handleOf(form::ControlId id) const;
    const form::Control* controlOf(HWND window) const;

    // What the shared steps ask of the window.
    std::string chosenFolder() override;
    void setBusy(bool busy) override;
    void showBox(form::Box kind, const std::string& text) override;
    form::ProblemsAnswer offerReport(const FrontEnd::Click::Problems& problems) override;
    bool openReport(const std::filesystem::path& report) override;
    std::optional<std::string> openHelp(std::optional<int> context) override;
    void setEnabled(form::ControlId id, bool enabled) override;
    void closeWindow() override;

    int scale(int pixels) const;
    HWND child(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style, int id,
               const form::Bounds& bounds, HFONT font);
    HFONT font(form::Font which) const { return fonts_[static_cast<int>(which)].get(); }

    HINSTANCE instance_;
    FormOptions options_;
    FrontEnd model_;
    form::FormSteps steps_;
    HelpViewer help_;
    int dpi_ = 96;
    bool running_ = false;  // a run is under way: the hourglass over the window

    Font fonts_[3];  // by form::Font
    Brush chooserBackground_;
    std::unique_ptr<ButtonGlyph> okGlyph_, closeGlyph_;

    HWND window_ = nullptr;
    HWND savedFocus_ = nullptr;
    std::vector<HWND> controls_;  // by their place in the table
    std::unique_ptr<FolderChooser> chooser_;
};

}  // namespace tht::win
