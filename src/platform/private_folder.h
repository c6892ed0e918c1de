#pragma once
// A folder of our own under the system's temporary folder, for work that must
// not touch the user's folders; it goes, with all it holds, when it is destroyed.
#include <filesystem>

namespace tht {

class PrivateFolder {
public:
    PrivateFolder();  // throws Error(FileUnwritable) when none can be made
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    const std::filesystem::path& path() const noexcept { return path_; }

private:
    std::filesystem::path path_;
};

// Copies a file; a failure leaves the target absent and is not reported.
void copyFileQuietly(const std::filesystem::path& from, const std::filesystem::path& to) noexcept;

}  // namespace tht
