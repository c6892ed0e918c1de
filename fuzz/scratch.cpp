#include "fuzz/scratch.h"

#include <unistd.h>

namespace tht::fuzz {

Scratch::Scratch() {
    path_ = std::filesystem::temp_directory_path() / ("tht-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path_);
}

Scratch::~Scratch() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

const Scratch& Scratch::get() {
    static const Scratch scratch;
    return scratch;
}

}  // namespace tht::fuzz
