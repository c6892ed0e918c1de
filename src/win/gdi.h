#pragma once
// GDI objects owned by the window, deleted with it.
#include <windows.h>

#include <memory>
#include <type_traits>

#include "front_end/form.h"

namespace tht::win {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const noexcept { ::DeleteObject(object); }
};
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using Brush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

// A screen device context for measuring, released on every way out.
class ScreenDc {
public:
    ScreenDc() : dc_(::GetDC(nullptr)) {}
    ~ScreenDc() { ::ReleaseDC(nullptr, dc_); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HDC dc_;
};

inline COLORREF colourRef(int red, int green, int blue) {
    return RGB(static_cast<BYTE>(red), static_cast<BYTE>(green), static_cast<BYTE>(blue));
}
inline COLORREF colourRef(const form::Colour& c) { return colourRef(c.red, c.green, c.blue); }

}  // namespace tht::win
