#pragma once
// Names the user and the calling product see.

namespace tht::app {

// Heads every message box and names the application in the task bar.
inline constexpr char kApplicationTitle[] = "transHoraloTuxa";
// The help set: our Spanish pages, shipped as a resource folder of this name.
inline constexpr char kHelpFile[] = "TUXA.chm";
// The help context of the main window and of every control that takes the focus.
inline constexpr int kWindowHelpContext = 3;

}  // namespace tht::app
