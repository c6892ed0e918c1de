#pragma once
// The help file and its context, as the calling product knows them.

namespace tht::app {

// The help set: our Spanish pages, shipped as a resource folder of this name.
inline constexpr char kHelpFile[] = "TUXA.chm";
// The help context of the main window and of every control that takes the focus.
inline constexpr int kWindowHelpContext = 3;

}  // namespace tht::app
