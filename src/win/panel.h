#pragma once
// The window's panels: the transfer panels, painted with a gradient, and the
// plain raised lower panel. A panel hands its controls' notifications and
// colour questions on to the window, as if the controls were the window's own.
#include <windows.h>

namespace tht::win {

enum class PanelLook { Gradient, Raised };

// Registers the panels' window class once per process run; safe to call again.
void registerPanelClass(HINSTANCE instance);

HWND createPanel(HWND parent, int id, PanelLook look, int left, int top, int width, int height);

// Whether a window is a gradient panel: labels on it are drawn transparent.
bool isGradientPanel(HWND window);

}  // namespace tht::win
