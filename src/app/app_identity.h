#pragma once
// The help file and its context, as the calling product knows them.
#include "front_end/form.h"

namespace tht::app {

// The help set: our Spanish pages, shipped as a resource folder of this name.
using form::kHelpFile;
// The help context of the main window and of every control that takes the focus.
using form::kWindowHelpContext;

}  // namespace tht::app
