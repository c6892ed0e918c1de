// Drives transhoralotuxa.exe from another process of the same Wine prefix, as
// a user would: finds the window by its caption, lists its controls, clicks,
// picks folders, presses keys, reads and answers message boxes, and saves a
// picture of the window's client area. One command per run:
//
//   window_driver wait CAPTION [SECONDS]      until the window is shown
//   window_driver gone CAPTION [SECONDS]      until it has closed
//   window_driver controls CAPTION            one line per control, tab-separated:
//                                             name class text left top width height visible enabled parent
//   window_driver layout both|export|import   the window's table in that run mode, one line per control:
//                                             name parent left top width height shown width-rule tab caption
//   window_driver click CAPTION NAME          presses a button
//   window_driver open CAPTION ENTRY          double-clicks a line of the directory list ("..", a subfolder)
//   window_driver drive CAPTION LETTER        picks a drive in the drive box
//   window_driver keys CAPTION KEY...         f1, tab, enter, alt+s, ... once the window is in front
//   window_driver focus CAPTION               the name of the control with the focus
//   window_driver box TITLE [SECONDS]         waits for a message box or a task dialog:
//                                             "icon|plain", a tab, its text
//   window_driver buttons TITLE               the box's buttons, one line each: id, a tab, its text
//   window_driver answer TITLE [ok|yes|no|ID] presses the box's OK, its Sí or No, or the button of that id
//   window_driver nobox TITLE [SECONDS]       no message box comes within the time
//   window_driver windows CLASS               how many top-level windows of that class are shown
//   window_driver viewer CLASS [SECONDS]      waits for a window of that class (a text viewer):
//                                             its title on one line, then the text of its edit field
//   window_driver close CLASS                 closes every window of that class
//   window_driver screenshot CAPTION FILE [frame]
//                                             the client area (with "frame": the whole
//                                             window, title bar too) as a 24-bit BMP
//   window_driver titleicon CAPTION           the title bar's height, then how many of its pixels
//                                             are pure blue and pure red (the icon's two arrows)
//
// Exit code 0 when done, 1 when what was waited for did not come, 2 on wrong use.
#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <fstream>
#include <string>
#include <vector>

#include "../support/restrict_false_positive.h"
#include "front_end/form.h"

namespace {

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

void say(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::wstring textOf(HWND window) {
    std::vector<wchar_t> buffer(4096);
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                               SMTO_ABORTIFHUNG, 5000, &copied))
        return {};
    return std::wstring(buffer.data(), copied);
}

std::wstring classOf(HWND window) {
    wchar_t name[256] = {};
    ::GetClassNameW(window, name, 256);
    return name;
}

THT_RESTRICT_FALSE_POSITIVE_BEGIN
std::string nameOf(HWND control) {
    const int id = ::GetDlgCtrlID(control);
    if (const tht::form::Control* c = tht::form::find(id)) return std::string(c->name);
    return "#" + std::to_string(id);
}
THT_RESTRICT_FALSE_POSITIVE_END

HWND findForm(const std::wstring& caption) {
    const std::wstring formClass(tht::form::kFormClass.begin(), tht::form::kFormClass.end());
    return ::FindWindowW(formClass.c_str(), caption.c_str());
}

// Polls every 50 ms until found() gives a window, or the time is up.
template <class Find>
HWND waitFor(Find found, double seconds) {
    const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
    for (;;) {
        if (HWND w = found()) return w;
        if (::GetTickCount64() >= end) return nullptr;
        ::Sleep(50);
    }
}

HWND formOrDie(const std::wstring& caption) {
    HWND form = waitFor([&] { return findForm(caption); }, 10);
    if (!form) {
        say("no window: " + utf8(caption));
        std::exit(1);
    }
    return form;
}

std::vector<HWND> controlsOf(HWND form) {
    std::vector<HWND> out;
    ::EnumChildWindows(
        form,
        [](HWND w, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    return out;
}

HWND controlNamed(HWND form, const std::string& name) {
    for (HWND c : controlsOf(form))
        if (nameOf(c) == name) return c;
    say("no control " + name);
    std::exit(1);
}

HWND findBox(const std::wstring& title) {
    struct Search {
        std::wstring title;
        HWND found = nullptr;
    } search{title};
    ::EnumWindows(
        [](HWND w, LPARAM p) {
            auto* s = reinterpret_cast<Search*>(p);
            if (classOf(w) == L"#32770" && ::IsWindowVisible(w) && textOf(w) == s->title) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Wine's task dialog is a dialog of static controls, one per part (the icon,
// the main instruction, the content...): its text is theirs, top to bottom.
// (Windows' own draws its parts in one DirectUIHWND, which has no text to read.)
struct TaskDialogText {
    bool hasIcon = false;
    std::wstring text;
};

TaskDialogText taskDialogText(HWND box) {
    TaskDialogText out;
    for (HWND c : controlsOf(box)) {
        if (classOf(c) != L"Static" || !::IsWindowVisible(c)) continue;
        if ((::GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            out.hasIcon = out.hasIcon || ::SendMessageW(c, STM_GETICON, 0, 0);
            continue;
        }
        const std::wstring part = textOf(c);
        if (part.empty()) continue;
        out.text += (out.text.empty() ? L"" : L"\n") + part;
    }
    return out;
}

std::vector<HWND> topLevelOfClass(const std::wstring& windowClass) {
    struct Search {
        std::wstring cls;
        std::vector<HWND> found;
    } search{windowClass, {}};
    ::EnumWindows(
        [](HWND w, LPARAM p) {
            auto* s = reinterpret_cast<Search*>(p);
            if (classOf(w) == s->cls && ::IsWindowVisible(w)) s->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The whole text of a viewer's edit field, however long.
std::wstring editTextOf(HWND viewer) {
    for (HWND c : controlsOf(viewer)) {
        std::wstring cls = classOf(c);
        for (wchar_t& ch : cls) ch = static_cast<wchar_t>(std::towlower(ch));
        if (cls.find(L"edit") == std::wstring::npos) continue;
        DWORD_PTR length = 0;
        ::SendMessageTimeoutW(c, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length);
        std::vector<wchar_t> buffer(length + 1);
        DWORD_PTR copied = 0;
        ::SendMessageTimeoutW(c, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                              5000, &copied);
        return std::wstring(buffer.data(), copied);
    }
    return {};
}

int listControls(HWND form) {
    for (HWND c : controlsOf(form)) {
        RECT r;
        ::GetWindowRect(c, &r);
        HWND parent = ::GetParent(c);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        std::wstring text = textOf(c);
        for (wchar_t& ch : text)
            if (ch == L'\t' || ch == L'\n' || ch == L'\r') ch = L' ';
        say(nameOf(c) + "\t" + utf8(classOf(c)) + "\t" + utf8(text) + "\t" + std::to_string(r.left) + "\t" +
            std::to_string(r.top) + "\t" + std::to_string(r.right - r.left) + "\t" + std::to_string(r.bottom - r.top) +
            "\t" + (::IsWindowVisible(c) ? "1" : "0") + "\t" + (::IsWindowEnabled(c) ? "1" : "0") + "\t" +
            (parent == form ? std::string("MForm") : nameOf(parent)));
    }
    RECT client;
    ::GetClientRect(form, &client);
    say("MForm\t" + utf8(classOf(form)) + "\t" + utf8(textOf(form)) + "\t0\t0\t" + std::to_string(client.right) + "\t" +
        std::to_string(client.bottom) + "\t1\t" + (::IsWindowEnabled(form) ? "1" : "0") + "\t-");
    return 0;
}

// The window's table as the program builds it, in a run mode (both, export or
// import), so that the tests compare the window with it and restate nothing.
int listLayout(const std::wstring& mode) {
    using namespace tht::form;
    const tht::Panels panels = mode == L"export"   ? tht::Panels::ExportOnly
                               : mode == L"import" ? tht::Panels::ImportOnly
                                                   : tht::Panels::Both;
    if (mode != L"both" && panels == tht::Panels::Both) return 2;
    for (const Control& c : kControls) {
        const Bounds b = place(c, panels).bounds;
        const char* width = c.role == Role::Label ? "grows" : c.role == Role::FolderLabel ? "text" : "fixed";
        say(std::string(c.name) + "\t" + std::string(c.parent == kNoControl ? kFormName : control(c.parent).name) +
            "\t" + std::to_string(b.left) + "\t" + std::to_string(b.top) + "\t" + std::to_string(b.width) + "\t" +
            std::to_string(b.height) + "\t" + (shown(c, panels) ? "1" : "0") + "\t" + width + "\t" +
            std::to_string(c.tabPosition) + "\t" + std::string(c.caption));
    }
    say(std::string(kFormName) + "\t-\t0\t0\t" + std::to_string(kClientWidth) + "\t" + std::to_string(kClientHeight) +
        "\t1\tfixed\t0\t" + std::string(tht::msg::window::kCaption));
    return 0;
}

void press(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    ::SendInput(1, &input, sizeof input);
    ::Sleep(30);
}

int sendKeys(HWND form, int count, wchar_t** keys) {
    // Keys go to the foreground window, and another process's window (the help
    // viewer) gives the foreground up only when the server gets round to it.
    ::SetForegroundWindow(form);
    for (int waited = 0; ::GetForegroundWindow() != form && waited < 3000; waited += 50) {
        ::Sleep(50);
        ::SetForegroundWindow(form);
    }
    if (::GetForegroundWindow() != form) return 1;
    ::Sleep(100);
    for (int i = 0; i < count; ++i) {
        std::wstring key = keys[i];
        for (wchar_t& c : key) c = static_cast<wchar_t>(std::towlower(c));
        bool alt = false;
        if (key.rfind(L"alt+", 0) == 0) {
            alt = true;
            key = key.substr(4);
        }
        WORD vk = 0;
        if (key == L"f1") vk = VK_F1;
        else if (key == L"tab") vk = VK_TAB;
        else if (key == L"enter") vk = VK_RETURN;
        else if (key == L"escape") vk = VK_ESCAPE;
        else if (key == L"down") vk = VK_DOWN;
        else if (key == L"up") vk = VK_UP;
        else if (key.size() == 1 && std::iswalnum(key[0])) vk = static_cast<WORD>(std::towupper(key[0]));
        else return 2;
        if (alt) press(VK_MENU, true);
        press(vk, true);
        press(vk, false);
        if (alt) press(VK_MENU, false);
    }
    return 0;
}

// A rectangle of the screen as 24-bit pixels, bottom-up rows of `stride` bytes
// as a BMP file stores them.
struct ScreenPixels {
    BITMAPINFOHEADER header{};
    DWORD stride = 0;
    std::vector<unsigned char> bytes;
};

ScreenPixels capture(POINT origin, int width, int height) {
    ScreenPixels shot;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
    ::GdiFlush();
    shot.header = info.bmiHeader;
    shot.stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const auto* first = static_cast<const unsigned char*>(bits);
    shot.bytes.assign(first, first + shot.stride * static_cast<DWORD>(height));
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return shot;
}

int screenshot(HWND form, const std::wstring& file, bool frame) {
    RECT client;
    ::GetClientRect(form, &client);
    POINT origin{0, 0};
    ::ClientToScreen(form, &origin);
    int width = client.right, height = client.bottom;
    if (frame) {
        RECT whole;
        ::GetWindowRect(form, &whole);
        origin = {whole.left, whole.top};
        width = whole.right - whole.left;
        height = whole.bottom - whole.top;
    }
    const ScreenPixels shot = capture(origin, width, height);
    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof header + sizeof shot.header;
    header.bfSize = header.bfOffBits + static_cast<DWORD>(shot.bytes.size());
    std::ofstream out(file.c_str(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(&shot.header), sizeof shot.header);
    out.write(reinterpret_cast<const char*>(shot.bytes.data()), static_cast<std::streamsize>(shot.bytes.size()));
    return out ? 0 : 1;
}

// The pixels of the program's icon in the title bar, as drawn on the screen:
// the frame is Wine's own in its virtual desktop, and another process cannot
// ask the window for its icon there (WM_GETICON answers nothing across
// processes), so the picture is what is checked.
int titleIcon(HWND form) {
    RECT whole;
    ::GetWindowRect(form, &whole);
    POINT client{0, 0};
    ::ClientToScreen(form, &client);
    const int width = whole.right - whole.left, height = client.y - whole.top;
    if (height <= 0) {
        say("no title bar");
        return 1;
    }
    const ScreenPixels shot = capture({whole.left, whole.top}, width, height);
    int blue = 0, red = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* bgr = &shot.bytes[y * shot.stride + x * 3];
            blue += bgr[0] == 0xFF && bgr[1] == 0 && bgr[2] == 0;
            red += bgr[0] == 0 && bgr[1] == 0 && bgr[2] == 0xFF;
        }
    say(std::to_string(height) + "\t" + std::to_string(blue) + "\t" + std::to_string(red));
    return 0;
}

double secondsArgument(int argc, wchar_t** argv, int index, double otherwise) {
    return argc > index ? std::wcstod(argv[index], nullptr) : otherwise;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const std::wstring command = argv[1];
    const std::wstring subject = argv[2];
    if (command == L"wait") return waitFor([&] { HWND w = findForm(subject); return w && ::IsWindowVisible(w) ? w : nullptr; },
                                           secondsArgument(argc, argv, 3, 20)) ? 0 : 1;
    if (command == L"gone") {
        const bool gone = waitFor([&] { return findForm(subject) ? nullptr : ::GetDesktopWindow(); },
                                  secondsArgument(argc, argv, 3, 20));
        return gone ? 0 : 1;
    }
    if (command == L"box") {
        HWND box = waitFor([&] { return findBox(subject); }, secondsArgument(argc, argv, 3, 20));
        if (!box) return 1;
        if (HWND message = ::GetDlgItem(box, 0xFFFF)) {
            HWND icon = ::GetDlgItem(box, 0x0440);
            const bool hasIcon = icon && ::IsWindowVisible(icon) && ::SendMessageW(icon, STM_GETICON, 0, 0);
            say(std::string(hasIcon ? "icon" : "plain") + "\t" + utf8(textOf(message)));
        } else {
            const TaskDialogText task = taskDialogText(box);
            say(std::string(task.hasIcon ? "icon" : "plain") + "\t" + utf8(task.text));
        }
        return 0;
    }
    if (command == L"buttons") {
        HWND box = waitFor([&] { return findBox(subject); }, 10);
        if (!box) return 1;
        for (HWND c : controlsOf(box))
            if (classOf(c) == L"Button" && ::IsWindowVisible(c))
                say(std::to_string(::GetDlgCtrlID(c)) + "\t" + utf8(textOf(c)));
        return 0;
    }
    if (command == L"answer") {
        HWND box = waitFor([&] { return findBox(subject); }, 10);
        if (!box) return 1;
        const std::wstring which = argc > 3 ? argv[3] : L"ok";
        const int button = which == L"yes" ? IDYES
                           : which == L"no" ? IDNO
                           : which == L"ok" ? IDOK
                                            : static_cast<int>(std::wcstol(which.c_str(), nullptr, 10));
        HWND pressed = ::GetDlgItem(box, button);
        if (!pressed) return 2;
        ::PostMessageW(pressed, BM_CLICK, 0, 0);
        return waitFor([&] { return ::IsWindow(box) ? nullptr : ::GetDesktopWindow(); }, 10) ? 0 : 1;
    }
    if (command == L"layout") return listLayout(subject);
    if (command == L"nobox") return waitFor([&] { return findBox(subject); }, secondsArgument(argc, argv, 3, 1)) ? 1 : 0;
    if (command == L"windows") {
        say(std::to_string(topLevelOfClass(subject).size()));
        return 0;
    }
    if (command == L"viewer") {
        HWND viewer = waitFor(
            [&] {
                const std::vector<HWND> shown = topLevelOfClass(subject);
                return shown.empty() ? nullptr : shown.front();
            },
            secondsArgument(argc, argv, 3, 20));
        if (!viewer) return 1;
        // The file is read into the field just after the window shows.
        std::wstring text;
        waitFor([&] { return (text = editTextOf(viewer)).empty() ? nullptr : viewer; }, 10);
        say(utf8(textOf(viewer)));
        say(utf8(text));
        return 0;
    }
    if (command == L"close") {
        for (HWND w : topLevelOfClass(subject)) ::PostMessageW(w, WM_CLOSE, 0, 0);
        return waitFor([&] { return topLevelOfClass(subject).empty() ? ::GetDesktopWindow() : nullptr; }, 10) ? 0 : 1;
    }

    HWND form = formOrDie(subject);
    if (command == L"controls") return listControls(form);
    if (command == L"click" && argc == 4) {
        ::PostMessageW(controlNamed(form, utf8(argv[3])), BM_CLICK, 0, 0);
        return 0;
    }
    if (command == L"open" && argc == 4) {
        HWND list = controlNamed(form, "Directorios");
        const std::wstring entry = L"[" + std::wstring(argv[3]) + L"]";
        const LRESULT line = ::SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry.c_str()));
        if (line == LB_ERR) {
            say("no line " + utf8(entry));
            return 1;
        }
        ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(line), 0);
        ::PostMessageW(::GetParent(list), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(list), LBN_DBLCLK),
                       reinterpret_cast<LPARAM>(list));
        return 0;
    }
    if (command == L"drive" && argc == 4) {
        HWND drives = controlNamed(form, "Unidades");
        const std::wstring entry = L"[-" + std::wstring(argv[3]) + L"-]";
        const LRESULT line = ::SendMessageW(drives, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry.c_str()));
        if (line == CB_ERR) {
            say("no drive " + utf8(entry));
            return 1;
        }
        ::SendMessageW(drives, CB_SETCURSEL, static_cast<WPARAM>(line), 0);
        ::PostMessageW(::GetParent(drives), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(drives), CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(drives));
        return 0;
    }
    if (command == L"keys") return sendKeys(form, argc - 3, argv + 3);
    if (command == L"focus") {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(form, nullptr), &info);
        say(info.hwndFocus == form ? "MForm" : info.hwndFocus ? nameOf(info.hwndFocus) : "-");
        return 0;
    }
    if (command == L"screenshot" && (argc == 4 || argc == 5))
        return screenshot(form, argv[3], argc == 5 && std::wstring(argv[4]) == L"frame");
    if (command == L"titleicon") return titleIcon(form);
    return 2;
}
