#include "win/glyphs.h"

#include "win/gdi.h"

namespace tht::win {
namespace {

constexpr COLORREF kTransparent = RGB(255, 0, 255);

void drawGlyph(HDC dc, Glyph glyph, int size) {
    const RECT all{0, 0, size, size};
    const Brush background(::CreateSolidBrush(kTransparent));
    ::FillRect(dc, &all, background.get());
    const int unit = size / 16 > 0 ? size / 16 : 1;
    const auto at = [&](int v) { return v * size / 16; };
    const COLORREF colour = glyph == Glyph::Ok ? RGB(0, 128, 0) : RGB(192, 0, 0);
    const std::unique_ptr<std::remove_pointer_t<HPEN>, GdiObjectDeleter> pen(::CreatePen(PS_SOLID, 2 * unit, colour));
    const HGDIOBJ old = ::SelectObject(dc, pen.get());
    if (glyph == Glyph::Ok) {
        const POINT tick[] = {{at(3), at(8)}, {at(6), at(11)}, {at(13), at(4)}};
        ::Polyline(dc, tick, 3);
    } else {
        ::MoveToEx(dc, at(4), at(4), nullptr);
        ::LineTo(dc, at(12), at(12));
        ::MoveToEx(dc, at(12), at(4), nullptr);
        ::LineTo(dc, at(4), at(12));
    }
    ::SelectObject(dc, old);
}

}  // namespace

ButtonGlyph::ButtonGlyph(Glyph glyph, int size) : images_(::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 1, 0)) {
    const ScreenDc screen;
    HDC dc = ::CreateCompatibleDC(screen.get());
    const Bitmap bitmap(::CreateCompatibleBitmap(screen.get(), size, size));
    const HGDIOBJ old = ::SelectObject(dc, bitmap.get());
    drawGlyph(dc, glyph, size);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ::ImageList_AddMasked(images_, bitmap.get(), kTransparent);
}

ButtonGlyph::~ButtonGlyph() { ::ImageList_Destroy(images_); }

void ButtonGlyph::showOn(HWND button) const {
    BUTTON_IMAGELIST list{images_, {2, 0, 2, 0}, BUTTON_IMAGELIST_ALIGN_LEFT};
    ::SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list));
}

}  // namespace tht::win
