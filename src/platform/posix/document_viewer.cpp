#include <spawn.h>
#include <sys/wait.h>

#include <string>

#include "base/messages.h"
#include "platform/document_viewer.h"
#include "platform/error.h"
#include "platform/files.h"

extern char** environ;

namespace tht {

void openInViewer(const std::filesystem::path& document) {
    // xdg-open hands the file to the desktop's choice and returns at once.
    std::string program = "xdg-open";
    std::string file = document.string();
    char* argv[] = {program.data(), file.data(), nullptr};
    pid_t child = 0;
    int status = 0;
    if (posix_spawnp(&child, "xdg-open", nullptr, nullptr, argv, environ) != 0 ||
        waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw Error(FileError::Unreadable,
                    {.file = displayPath(document), .cause = std::string(msg::report::kNoViewer)});
}

}  // namespace tht
