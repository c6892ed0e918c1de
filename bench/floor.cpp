// The floor of the rooms step: the least a program can do and still write the
// AULAT table that exportar writes from a rooms file, byte for byte (but for
// the date in the header). It does all of that work and nothing more:
//   - reads the file in chunks; a Ctrl-Z ends it; lines end at LF, and every
//     CR in a line is dropped;
//   - skips title and trailer lines and a line that carries the file's tag;
//   - cuts the room code and the two parts of the name at their byte columns,
//     trims the spaces off each, joins the parts with one space, cuts the name
//     to its 80 bytes;
//   - passes every byte through one 256-entry table: TUXA's code page and the
//     table's are both windows-1252, so each byte stays but the five that 1252
//     leaves undefined, which become "?";
//   - writes the dBase IV header and records, the record count and the end
//     byte, and replaces the target as a careful program does (ReplacedFile).
// On standard output: the seconds that the flush and rename took.
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

#include "replaced_file.h"

namespace {

constexpr std::string_view kTag = "TUXA_AULAS.TXT";
constexpr std::size_t kCodeWidth = 10, kNameWidth = 80;
constexpr std::size_t kRecordLength = 1 + kCodeWidth + kNameWidth + 1 + 11;  // EDIFICIO C 1, MAXALUM N 11
constexpr std::size_t kHeaderLength = 32 + 32 * 4 + 1;

struct ByteMap {
    std::array<char, 256> to{};
    ByteMap() {
        for (int b = 0; b < 256; ++b) to[static_cast<std::size_t>(b)] = static_cast<char>(b);
        for (int b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) to[static_cast<std::size_t>(b)] = '?';
    }
};

// Eight bytes at a time where it pays: fixed columns end in long runs of
// padding, and most text is ASCII.
constexpr std::uint64_t kSpaces = 0x2020202020202020, kHighBits = 0x8080808080808080;

std::uint64_t word(const char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

std::string_view trim(std::string_view s) {
    const char* first = s.data();
    const char* last = first + s.size();
    while (first < last && *first == ' ') ++first;
    while (last - first >= 8 && word(last - 8) == kSpaces) last -= 8;
    while (last > first && last[-1] == ' ') --last;
    return {first, static_cast<std::size_t>(last - first)};
}

std::string_view cut(std::string_view line, std::size_t first, std::size_t width) {
    if (first > line.size()) return {};
    return trim(line.substr(first - 1, width));
}

bool isTagLine(std::string_view line) {
    const std::string_view t = cut(line, 2, 50);
    if (t.size() != kTag.size()) return false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i] >= 'a' && t[i] <= 'z' ? static_cast<char>(t[i] - 'a' + 'A') : t[i];
        if (c != kTag[i]) return false;
    }
    return true;
}

// Copies up to room bytes of text through the map; returns how many it copied.
std::size_t copy(const ByteMap& map, std::string_view text, char* dst, std::size_t room) {
    const std::size_t n = text.size() < room ? text.size() : room;
    std::memcpy(dst, text.data(), n);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
        if (word(dst + i) & kHighBits) break;
    for (; i < n; ++i) dst[i] = map.to[static_cast<unsigned char>(dst[i])];
    return n;
}

std::string header() {
    std::string h(kHeaderLength, '\0');
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    h[0] = 0x03;
    h[1] = static_cast<char>(local.tm_year);
    h[2] = static_cast<char>(local.tm_mon + 1);
    h[3] = static_cast<char>(local.tm_mday);
    h[8] = static_cast<char>(kHeaderLength & 0xFF);
    h[9] = static_cast<char>(kHeaderLength >> 8);
    h[10] = static_cast<char>(kRecordLength & 0xFF);
    h[11] = static_cast<char>(kRecordLength >> 8);
    h[29] = 0x58;  // the language driver of windows-1252
    const struct { const char* name; char type; unsigned char width; } fields[] = {
        {"ABREV", 'C', kCodeWidth}, {"NOMBRE", 'C', kNameWidth}, {"EDIFICIO", 'C', 1}, {"MAXALUM", 'N', 11}};
    std::size_t at = 32;
    for (const auto& f : fields) {
        std::memcpy(&h[at], f.name, std::strlen(f.name));
        h[at + 11] = f.type;
        h[at + 16] = static_cast<char>(f.width);
        at += 32;
    }
    h[at] = 0x0D;
    return h;
}

class Floor {
public:
    explicit Floor(const std::string& target) : out_(target) {
        out_.write(header());
        buffer_.reserve(kFlushAt + kRecordLength);
    }

    void line(std::string_view l) {
        if (!l.empty() && (l[0] == '0' || l[0] == '9')) return;
        if (isTagLine(l)) return;
        char record[kRecordLength];
        std::memset(record, ' ', sizeof record);
        copy(map_, cut(l, 2, 10), record + 1, kCodeWidth);
        char* name = record + 1 + kCodeWidth;
        std::size_t n = copy(map_, cut(l, 12, 70), name, kNameWidth);
        if (n < kNameWidth) name[n++] = ' ';
        copy(map_, cut(l, 82, 100), name + n, kNameWidth - n);
        buffer_.append(record, sizeof record);
        ++count_;
        if (buffer_.size() >= kFlushAt) {
            out_.write(buffer_);
            buffer_.clear();
        }
    }

    double finish() {
        buffer_.push_back(0x1A);
        out_.write(buffer_);
        char count[4];
        for (int i = 0; i < 4; ++i) count[i] = static_cast<char>((count_ >> (8 * i)) & 0xFF);
        out_.writeAt(4, std::string_view(count, 4));
        return out_.commit();
    }

private:
    static constexpr std::size_t kFlushAt = 1 << 20;
    ByteMap map_;
    bench::ReplacedFile out_;
    std::string buffer_;
    unsigned long count_ = 0;
};

// Splits the file into lines as exportar does; calls each(line) for each.
template <class Each>
void readLines(const char* path, Each each) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error(std::string("cannot open ") + path);
    std::string chunk(1 << 20, '\0'), carry;
    auto emit = [&](std::string_view l) {
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        if (l.find('\r') == std::string_view::npos) return each(l);
        std::string kept(l);
        std::erase(kept, '\r');
        each(std::string_view(kept));
    };
    bool ended = false;
    while (!ended) {
        ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw std::runtime_error(std::string("cannot read ") + path);
        if (n == 0) break;
        const char* p = chunk.data();
        const char* end = p + n;
        if (const void* z = std::memchr(p, 0x1A, static_cast<std::size_t>(n))) {
            end = static_cast<const char*>(z);
            ended = true;
        }
        while (const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) {
            if (carry.empty()) {
                emit(std::string_view(p, static_cast<std::size_t>(lf - p)));
            } else {
                carry.append(p, lf);
                emit(carry);
                carry.clear();
            }
            p = lf + 1;
        }
        carry.append(p, end);
    }
    ::close(fd);
    if (!carry.empty()) emit(carry);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tht_bench_floor tuxa_aulas.txt FOLDER/AULAT.DBF\n");
        return 64;
    }
    try {
        Floor floor(argv[2]);
        readLines(argv[1], [&](std::string_view l) { floor.line(l); });
        std::printf("%.6f\n", floor.finish());
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tht_bench_floor: %s\n", e.what());
        return 2;
    }
}
