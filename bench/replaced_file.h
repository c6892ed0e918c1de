#pragma once
// How the benchmark's reference programs replace a file, as a careful program
// does: the new bytes go to a temporary file in the target's folder, reach the
// disk (fsync), take the target's name (rename), and the folder's new entry
// reaches the disk too (fsync of the folder). Errors throw std::runtime_error.
#include <cstddef>
#include <string>
#include <string_view>

namespace bench {

class ReplacedFile {
public:
    explicit ReplacedFile(std::string target);
    ~ReplacedFile();  // without commit: the temporary file is removed, the target kept
    ReplacedFile(const ReplacedFile&) = delete;
    ReplacedFile& operator=(const ReplacedFile&) = delete;

    void write(std::string_view bytes);
    void writeAt(std::size_t offset, std::string_view bytes);  // over bytes already written
    // Flush, rename, flush the folder; returns the seconds this took.
    double commit();

private:
    std::string target_, temp_;
    int fd_ = -1;
};

// Seconds of a monotonic clock, and of this process's CPU (user and system).
double wallSeconds();
double cpuSeconds();

}  // namespace bench
