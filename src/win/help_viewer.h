#pragma once
// The compiled HTML help viewer: a help file opened at its default topic or
// at the topic mapped to a help context.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/error.h"

namespace tht {

enum class HelpError {
    Missing,    // file: no help file there
    NotOpened,  // file, cause: the viewer is missing or refused the file
};
std::string describe(HelpError kind, const ErrorContext& c);

// Loads the viewer on first use; the help windows it opened close, and the
// viewer is unloaded, when this goes.
class HelpViewer {
public:
    HelpViewer() = default;
    ~HelpViewer();
    HelpViewer(const HelpViewer&) = delete;
    HelpViewer& operator=(const HelpViewer&) = delete;

    // context: none for the default topic. owner: the window that asks (its
    // handle), or 0. Throws Error(HelpError).
    void open(const std::filesystem::path& file, std::optional<int> context, std::uintptr_t owner);

private:
    void* library_ = nullptr;
    void* htmlHelp_ = nullptr;
};

}  // namespace tht
