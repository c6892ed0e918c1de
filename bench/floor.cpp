// The floor of the rooms step: read the rooms file line by line, cut the same
// columns and write the same AULAT layout with plain fwrite, nothing else. No
// code page, no checks: what the hardware costs for this conversion.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::string_view cut(std::string_view line, std::size_t first, std::size_t width) {
    if (first > line.size()) return {};
    return trim(line.substr(first - 1, width));
}

void put(char* dst, std::string_view value, std::size_t width) {
    const std::size_t n = value.size() < width ? value.size() : width;
    std::memcpy(dst, value.data(), n);
    std::memset(dst + n, ' ', width - n);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: floor tuxa_aulas.txt AULAT.DBF\n");
        return 64;
    }
    std::FILE* in = std::fopen(argv[1], "rb");
    std::FILE* out = std::fopen(argv[2], "wb");
    if (!in || !out) return 2;
    static char inbuf[1 << 16], outbuf[1 << 16];
    std::setvbuf(in, inbuf, _IOFBF, sizeof inbuf);
    std::setvbuf(out, outbuf, _IOFBF, sizeof outbuf);

    const struct { const char* name; char type; unsigned char width; } fields[] = {
        {"ABREV", 'C', 10}, {"NOMBRE", 'C', 80}, {"EDIFICIO", 'C', 1}, {"MAXALUM", 'N', 11}};
    unsigned char header[32] = {0x03, 126, 12, 10};
    const unsigned short headerLength = 32 + 32 * 4 + 1, recordLength = 1 + 10 + 80 + 1 + 11;
    std::memcpy(header + 8, &headerLength, 2);
    std::memcpy(header + 10, &recordLength, 2);
    header[29] = 0x58;
    std::fwrite(header, 1, 32, out);
    for (const auto& f : fields) {
        unsigned char d[32] = {};
        std::memcpy(d, f.name, std::strlen(f.name));
        d[11] = static_cast<unsigned char>(f.type);
        d[16] = f.width;
        std::fwrite(d, 1, 32, out);
    }
    std::fputc(0x0D, out);

    char record[recordLength];
    unsigned count = 0;
    std::string name, carry;
    std::vector<char> chunk(1 << 20);
    auto emit = [&](std::string_view l) {
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        if (!l.empty() && (l[0] == '0' || l[0] == '9')) return;
        name.assign(cut(l, 12, 70));
        name += ' ';
        name += cut(l, 82, 100);
        record[0] = ' ';
        put(record + 1, cut(l, 2, 10), 10);
        put(record + 11, name, 80);
        std::memset(record + 91, ' ', 12);
        std::fwrite(record, 1, recordLength, out);
        ++count;
    };
    for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), in)) > 0;) {
        const char* p = chunk.data();
        const char* end = p + n;
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
    if (!carry.empty()) emit(carry);
    std::fputc(0x1A, out);
    std::fseek(out, 4, SEEK_SET);
    std::fwrite(&count, 4, 1, out);
    std::fclose(out);
    std::fclose(in);
    return 0;
}
