#pragma once
// A private folder for one fuzzing process, removed when the process ends.
#include <filesystem>

namespace tht::fuzz {

class Scratch {
public:
    static const Scratch& get();
    const std::filesystem::path& path() const { return path_; }
    ~Scratch();

private:
    Scratch();
    std::filesystem::path path_;
};

}  // namespace tht::fuzz
