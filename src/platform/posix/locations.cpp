#include "platform/locations.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <optional>

#include "platform/error.h"
#include "platform/files.h"

namespace tht {
namespace {

constexpr const char* kStateFolderName = "transhoralotuxa";

// An installed program: the "bin" folder of a prefix, or a folder its user may
// not write (a package's folder seen by anyone but root). A build tree or an
// unpacked archive is neither, and keeps the file beside the program.
bool installed(const std::filesystem::path& programFolder) {
    std::filesystem::path folder = programFolder.lexically_normal();
    if (!folder.has_filename()) folder = folder.parent_path();  // "/usr/bin/"
    if (folder.filename() == "bin") return true;
    // An empty or unknown folder counts as not writable: never a file under
    // wherever the program was started.
    return ::access(folder.c_str(), W_OK) != 0;
}

// A variable that holds an absolute path; a relative one would name a folder
// under wherever the program was started, and is passed over.
std::optional<std::filesystem::path> absolutePathVariable(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::nullopt;
    std::filesystem::path path(value);
    if (!path.is_absolute()) return std::nullopt;
    return path;
}

// Makes a folder and the parents it lacks, each for its user only, as the
// state folders are meant to be. 0, or the error number of the step that failed.
int makeFolders(const std::filesystem::path& folder) {
    struct stat info{};
    if (::stat(folder.c_str(), &info) == 0) return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT) return errno;
    const std::filesystem::path parent = folder.parent_path();
    if (!parent.empty() && parent != folder)
        if (const int failed = makeFolders(parent)) return failed;
    if (::mkdir(folder.c_str(), 0700) == 0) return 0;
    const int failed = errno;
    // Another process (a second window) may have made it meanwhile.
    if (failed == EEXIST && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return 0;
    return failed;
}

}  // namespace

std::filesystem::path executablePath() {
    std::error_code ec;
    auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : p;
}

std::filesystem::path statusFolder(const std::filesystem::path& programFolder) {
    if (!installed(programFolder)) return programFolder;
    std::filesystem::path stateHome;
    if (auto xdg = absolutePathVariable("XDG_STATE_HOME")) {
        stateHome = std::move(*xdg);
    } else if (auto home = absolutePathVariable("HOME")) {
        stateHome = *home / ".local" / "state";
    } else {
        // Beside the program is exactly where an installed program must not write.
        throw Error(FileError::StateFolderUnknown, {});
    }
    const std::filesystem::path folder = stateHome / kStateFolderName;
    if (const int failed = makeFolders(folder))
        throw Error(FileError::StateFolderUncreatable, {.file = displayPath(folder), .cause = describeSystemError(failed)});
    return folder;
}

std::filesystem::path horalinaDataFolder() {
    if (const char* htemp = std::getenv("HORALINA_HTEMP"); htemp && *htemp) return htemp;
    std::filesystem::path prefix;
    if (const char* wine = std::getenv("WINEPREFIX"); wine && *wine) {
        prefix = wine;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        prefix = std::filesystem::path(home) / ".wine";
    } else {
        // Never a folder relative to wherever the program was started.
        throw Error(FileError::DataFolderUnknown, {});
    }
    return prefix / "drive_c" / "HTEMP";
}

char folderSeparator() { return '/'; }

}  // namespace tht
