#pragma once
// How the window shows a folder too wide for its label ("Ruta Actual:"), for
// every view: middle folders give way to an ellipsis first, keeping the root
// and the folder's own name; only then is the text cut from the left. The run
// still uses the whole folder.
#include <functional>
#include <string>

namespace tht {

// width: how wide a text is drawn, in the view's own units.
std::u32string shortenFolder(const std::u32string& folder, char32_t separator,
                             const std::function<int(const std::u32string&)>& width, int maxWidth);

}  // namespace tht
