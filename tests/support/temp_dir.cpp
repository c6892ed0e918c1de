#include "support/temp_dir.h"

#include <fstream>
#include <random>
#include <sstream>

namespace tht::test {

TempDir::TempDir() {
    std::random_device rd;
    for (;;) {
        path_ = std::filesystem::temp_directory_path() / ("tht-test-" + std::to_string(rd()));
        if (std::filesystem::create_directory(path_)) break;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::write(std::string_view name, std::string_view bytes) const {
    auto p = path_ / std::string(name);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
}

std::string readBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace tht::test
