#pragma once
// The stock glyphs of the window's buttons, drawn by us: the check mark of
// the OK buttons and the cross of Salir, shown left of the caption.
#include <windows.h>

#include <commctrl.h>

#include "front_end/form.h"

namespace tht::win {

using form::Glyph;  // None is never drawn

class ButtonGlyph {
public:
    // size: the glyph's side in pixels at the window's resolution.
    ButtonGlyph(Glyph glyph, int size);
    ~ButtonGlyph();
    ButtonGlyph(const ButtonGlyph&) = delete;
    ButtonGlyph& operator=(const ButtonGlyph&) = delete;

    // The button keeps showing the glyph while this lives.
    void showOn(HWND button) const;

private:
    HIMAGELIST images_;
};

}  // namespace tht::win
