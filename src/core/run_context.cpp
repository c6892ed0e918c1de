#include "core/run_context.h"

#include "platform/files.h"
#include "platform/locations.h"

namespace tht {

std::filesystem::path RunContext::tuxaPath(std::string_view fileName) const {
    // dirTxt may end in two separators (a root folder); the file system reads them as one.
    return resolveEntry(pathFromUtf8(dirTxt), fileName);
}

std::string makeDirTxt(const std::string& folder) { return folder + folderSeparator(); }

}  // namespace tht
