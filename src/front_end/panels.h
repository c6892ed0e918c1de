#pragma once
namespace tht {

// The transfer panels a window shows: both, or in command-line mode the one
// its direction names.
enum class Panels { Both, ExportOnly, ImportOnly };

}  // namespace tht
