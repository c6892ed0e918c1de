#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace tht::test {

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / std::string(name); }
    // Writes bytes to a file in the folder, making subfolders as needed.
    std::filesystem::path write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

std::string readBytes(const std::filesystem::path& p);

}  // namespace tht::test
