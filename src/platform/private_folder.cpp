#include "platform/private_folder.h"

#include <random>
#include <string>
#include <system_error>

#include "platform/error.h"
#include "platform/files.h"

namespace tht {

PrivateFolder::PrivateFolder() {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    std::random_device random;
    // A name another process took is simply passed over: create_directory fails on it.
    for (int attempt = 0; !error && attempt < 100; ++attempt) {
        std::filesystem::path candidate = base / ("transhoralotuxa-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate, error)) {
            // The school's tables are copied here: other users of the machine have no business reading them.
            std::filesystem::permissions(candidate, std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::replace, error);
            path_ = std::move(candidate);
            return;
        }
    }
    throw Error(FileError::Unwritable, {.file = displayPath(base)});
}

PrivateFolder::~PrivateFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void copyFileQuietly(const std::filesystem::path& from, const std::filesystem::path& to) noexcept {
    std::error_code ignored;
    std::filesystem::copy_file(from, to, ignored);
}

}  // namespace tht
