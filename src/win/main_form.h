#pragma once
// The main window, MForm of class TMForm, as a plain Win32 window: the two
// transfer panels, the folder chooser, close and help. A view over FrontEnd:
// it shows what the model decides and holds no rule of its own.
#include <windows.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "front_end/form_layout.h"
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

class MainForm {
public:
    MainForm(HINSTANCE instance, FormOptions options);
    ~MainForm();
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    HWND window() const noexcept { return window_; }
    // The keys handled for the whole window before a control sees them: F1,
    // Tab, Enter and the underlined letters. True when the message was taken.
    bool takeKey(MSG& message);

private:
    class BoxSink;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    void buildControls();
    void FormCreate();
    void command(int id, int code);
    void runTransfer(FrontEnd::Direction direction);
    void showFolder();
    void showHelp(bool contents);
    void showProblems(const FrontEnd::Click::Problems& problems);
    void showBox(const std::string& text, UINT icon);
    void reportError(const std::string& text);
    void FormClose();
    LRESULT labelColours(HDC dc, HWND label);

    int scale(int pixels) const;
    HWND child(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style, int id,
               const form::Bounds& bounds, HFONT font);
    HWND label(HWND parent, const std::string& text, int id, const form::Bounds& bounds, HFONT font, bool wrap);

    HINSTANCE instance_;
    FormOptions options_;
    std::unique_ptr<BoxSink> sink_;
    FrontEnd model_;
    HelpViewer help_;
    int dpi_ = 96;
    bool running_ = false;  // a run is under way: the hourglass over the window

    Font formFont_, boldFont_, directionFont_;
    Brush chooserBackground_;
    std::unique_ptr<ButtonGlyph> okGlyph_, closeGlyph_;

    HWND window_ = nullptr;
    HWND savedFocus_ = nullptr;
    HWND exportPanel_ = nullptr, importPanel_ = nullptr, folderPanel_ = nullptr;
    HWND exportButton_ = nullptr, importButton_ = nullptr;
    HWND currentFolder_ = nullptr;
    std::unique_ptr<FolderChooser> chooser_;
};

}  // namespace tht::win
