#pragma once
// The program's icon, as the window shows it in its title bar and the task bar.
#include <QIcon>

namespace tht::app {

// The name of the icon in the desktop's theme and of the desktop entry.
inline constexpr char kDesktopName[] = "transhoralotuxa";

// The icon from the desktop's theme where the package installed it, else the
// same pictures compiled into the program: a build run from its folder has one too.
QIcon applicationIcon();

}  // namespace tht::app
