#include "win/panel.h"

#include "front_end/form.h"
#include "win/gdi.h"

namespace tht::win {
namespace {

constexpr wchar_t kPanelClass[] = L"THTPanel";

int mix(int from, int to, double t) { return static_cast<int>(from + (to - from) * t + 0.5); }

// From the start colour at the top through white in the middle to the end
// colour at the bottom, following the panel's current height.
void paintGradient(HDC dc, const RECT& area) {
    const int height = area.bottom - area.top;
    for (int y = 0; y < height; ++y) {
        const double t = (y + 0.5) / height;
        const form::Colour& from = t < 0.5 ? form::kGradientStart : form::kGradientMiddle;
        const form::Colour& to = t < 0.5 ? form::kGradientMiddle : form::kGradientEnd;
        const double u = t < 0.5 ? t * 2 : (t - 0.5) * 2;
        const Brush row(::CreateSolidBrush(colourRef(mix(from.red, to.red, u), mix(from.green, to.green, u),
                                                     mix(from.blue, to.blue, u))));
        const RECT line{area.left, area.top + y, area.right, area.top + y + 1};
        ::FillRect(dc, &line, row.get());
    }
}

LRESULT CALLBACK panelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLOREDIT:
            return ::SendMessageW(::GetParent(window), message, wParam, lParam);
        case WM_ERASEBKGND:
            return 1;  // WM_PAINT covers the whole panel
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(window, &paint);
            RECT area;
            ::GetClientRect(window, &area);
            if (isGradientPanel(window)) {
                paintGradient(dc, area);
            } else {
                ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
                ::DrawEdge(dc, &area, BDR_RAISEDINNER, BF_RECT);
            }
            ::EndPaint(window, &paint);
            return 0;
        }
        default:
            return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

void registerPanelClass(HINSTANCE instance) {
    WNDCLASSEXW panelClass{};
    panelClass.cbSize = sizeof panelClass;
    if (::GetClassInfoExW(instance, kPanelClass, &panelClass)) return;
    panelClass.lpfnWndProc = panelProc;
    panelClass.hInstance = instance;
    panelClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    panelClass.lpszClassName = kPanelClass;
    ::RegisterClassExW(&panelClass);
}

HWND createPanel(HWND parent, int id, PanelLook look, int left, int top, int width, int height) {
    // The gradient panels do not clip their labels away: a transparent label
    // is drawn over the panel's paint.
    const DWORD clip = look == PanelLook::Raised ? WS_CLIPCHILDREN : 0;
    HWND panel = ::CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"", WS_CHILD | WS_VISIBLE | clip, left, top,
                                   width, height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    ::SetWindowLongPtrW(panel, GWLP_USERDATA, look == PanelLook::Gradient ? 1 : 0);
    return panel;
}

bool isGradientPanel(HWND window) { return ::GetWindowLongPtrW(window, GWLP_USERDATA) == 1; }

}  // namespace tht::win
