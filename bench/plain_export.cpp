// The plain program that bounds a whole exportar: it reads the same input
// bytes (every TUXA file of the folder, each whole) and writes the same table
// bytes, replacing each table as a careful program does (ReplacedFile). The
// tables' bytes are those that exportar itself wrote into REFERENCE; they are
// loaded into memory before the clock starts, so the time covers reading the
// inputs and writing the tables, nothing else.
// On standard output: "WALL CPU", the seconds of that work by the clock and
// in CPU time (user and system) of this process.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "replaced_file.h"

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

bool endsWith(std::string_view s, std::string_view end) {
    return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

// The names in folder whose lower-case form ends in suffix, but the one skipped.
std::vector<std::string> namesEndingIn(const std::string& folder, std::string_view suffix, std::string_view skipped) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) throw std::runtime_error("cannot list " + folder);
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name, folded = lower(name);
        if (endsWith(folded, suffix) && folded != skipped) names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

// Reads a whole file into bytes, as a program that loads its input does.
void readWhole(const std::string& path, std::string& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot open " + path);
    struct stat st {};
    if (::fstat(fd, &st) != 0) throw std::runtime_error("cannot stat " + path);
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t k = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) throw std::runtime_error("cannot read " + path);
        done += static_cast<std::size_t>(k);
    }
    ::close(fd);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: tht_bench_plain_export TUXA_FOLDER REFERENCE_TABLES OUT_FOLDER\n");
        return 64;
    }
    try {
        const std::string tuxa = argv[1], reference = argv[2], out = argv[3];
        std::vector<std::pair<std::string, std::string>> tables;  // name, bytes
        for (const std::string& name : namesEndingIn(reference, ".dbf", "")) {
            tables.emplace_back(name, std::string());
            readWhole(reference + "/" + name, tables.back().second);
        }
        if (tables.empty()) throw std::runtime_error("no tables in " + reference);
        const std::vector<std::string> inputs = namesEndingIn(tuxa, ".txt", "tuxa_horario.txt");

        const double wall = bench::wallSeconds(), cpu = bench::cpuSeconds();
        std::string bytes;
        for (const std::string& name : inputs) readWhole(tuxa + "/" + name, bytes);
        for (const auto& [name, content] : tables) {
            bench::ReplacedFile table(out + "/" + name);
            table.write(content);
            table.commit();
        }
        std::printf("%.6f %.6f\n", bench::wallSeconds() - wall, bench::cpuSeconds() - cpu);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tht_bench_plain_export: %s\n", e.what());
        return 2;
    }
}
