// The I/O floor of a whole exportar or importar run: the least a program can
// do and still read what the run reads and leave what it leaves on the disk.
// It does no parsing and no conversion:
//   - reads every input file whole into memory, one after the other, into
//     one buffer that grows to the largest and is never cleared;
//   - for every output, writes as many bytes as the run left in that file,
//     a megabyte at a time (as the run writes), under a temporary name in the
//     output's folder, and flushes it to the disk;
//   - then renames every temporary file over its output, and flushes each
//     output folder once (Linux: fsync of the folder; Windows has no such
//     call, and the rename asks to be written through instead).
//   tht_bench_io_floor [--read FILE]... [--write FILE BYTES]...
// On standard output: the seconds that the flushes and renames took.
#include <chrono>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "floor_files.h"

namespace {

namespace files = bench::floor_files;

struct Output {
    std::string path;
    std::size_t bytes;
};

struct Plan {
    std::vector<std::string> inputs;
    std::vector<Output> outputs;
};

Plan parse(const std::vector<std::string>& args) {
    Plan plan;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--read" && i + 1 < args.size()) {
            plan.inputs.push_back(args[++i]);
        } else if (args[i] == "--write" && i + 2 < args.size()) {
            std::size_t used = 0;
            const unsigned long long bytes = std::stoull(args[i + 2], &used);
            if (used != args[i + 2].size()) throw std::invalid_argument("not a byte count: " + args[i + 2]);
            plan.outputs.push_back({args[i + 1], static_cast<std::size_t>(bytes)});
            i += 2;
        } else {
            throw std::invalid_argument("unexpected argument: " + args[i]);
        }
    }
    if (plan.inputs.empty() && plan.outputs.empty()) throw std::invalid_argument("nothing to read or write");
    return plan;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double run(const Plan& plan) {
    std::unique_ptr<char[]> buffer;
    std::size_t capacity = 0;
    for (const std::string& input : plan.inputs) files::readWhole(input, buffer, capacity);

    // The bytes themselves do not matter to the disk; they are not zeros, so
    // that no layer can take a shortcut for them.
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    const std::string piece(kPiece, 'x');
    double durable = 0;
    std::vector<std::string> temporaries;
    std::vector<std::optional<files::NewFile>> open(plan.outputs.size());
    for (std::size_t k = 0; k < plan.outputs.size(); ++k) {
        const Output& output = plan.outputs[k];
        temporaries.push_back(folderOf(output.path) + "/.floor-" + std::to_string(files::processId()) + "-" +
                              std::to_string(k) + ".tmp");
        open[k].emplace(temporaries.back());
        for (std::size_t left = output.bytes; left > 0;) {
            const std::size_t n = left < kPiece ? left : kPiece;
            open[k]->write(piece.data(), n);
            left -= n;
        }
        const auto start = std::chrono::steady_clock::now();
        open[k]->flushAndClose();
        durable += seconds(start);
    }

    const auto start = std::chrono::steady_clock::now();
    std::set<std::string> folders;
    for (std::size_t k = 0; k < plan.outputs.size(); ++k) {
        files::replace(temporaries[k], plan.outputs[k].path);
        open[k].reset();
        folders.insert(folderOf(plan.outputs[k].path));
    }
    for (const std::string& folder : folders) files::flushFolder(folder);
    return durable + seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        std::printf("%.6f\n", run(parse(files::arguments(argc, argv))));
        return 0;
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "tht_bench_io_floor: %s\nusage: tht_bench_io_floor [--read FILE]... "
                             "[--write FILE BYTES]...\n", e.what());
        return 64;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tht_bench_io_floor: %s\n", e.what());
        return 2;
    }
}
