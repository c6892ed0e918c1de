#pragma once
// The operating-system calls of the whole-run floor (io_floor.cpp), one
// implementation per system: floor_files_posix.cpp, floor_files_win32.cpp.
// Paths are UTF-8. Errors throw std::runtime_error naming the path.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace bench::floor_files {

// The program's arguments as UTF-8 (Windows gives them as UTF-16).
std::vector<std::string> arguments(int argc, char** argv);

// Reads a whole file into buffer, which grows when the file is larger and is
// never cleared first; returns the file's size.
std::size_t readWhole(const std::string& path, std::unique_ptr<char[]>& buffer, std::size_t& capacity);

// A new file opened for writing. Destroyed before flushAndClose, it is closed
// and removed.
class NewFile {
public:
    explicit NewFile(std::string path);
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    void write(const char* bytes, std::size_t size);
    // Flushes the file's bytes to the disk and closes it; the file stays.
    void flushAndClose();

private:
    std::string path_;
    void* handle_;  // the descriptor or HANDLE, as the system has it
    bool open_ = false;
};

// Gives from the name to, replacing a file of that name, durably where the
// system can say so (Windows: MOVEFILE_WRITE_THROUGH).
void replace(const std::string& from, const std::string& to);

// Flushes a folder's entries to the disk; false where the system has no such
// call (Windows).
bool flushFolder(const std::string& folder);

// The process id, to make temporary names that no other run takes.
unsigned long processId();

}  // namespace bench::floor_files
