// The floor of the rooms step: read the rooms file line by line, cut the same
// columns and write the same AULAT layout with plain fwrite, nothing else. No
// code page, no checks: what the hardware costs for this conversion.
#include <cstdio>
#include <cstring>
#include <string>
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

    std::vector<char> line;
    char record[recordLength];
    unsigned count = 0;
    std::string name;
    for (int c;;) {
        line.clear();
        while ((c = std::getc(in)) != EOF && c != '\n')
            if (c != '\r') line.push_back(static_cast<char>(c));
        if (c == EOF && line.empty()) break;
        const std::string_view l(line.data(), line.size());
        if (!l.empty() && (l[0] == '0' || l[0] == '9')) continue;
        name.assign(cut(l, 12, 70));
        name += ' ';
        name += cut(l, 82, 100);
        record[0] = ' ';
        put(record + 1, cut(l, 2, 10), 10);
        put(record + 11, name, 80);
        std::memset(record + 91, ' ', 12);
        std::fwrite(record, 1, recordLength, out);
        ++count;
    }
    std::fputc(0x1A, out);
    std::fseek(out, 4, SEEK_SET);
    std::fwrite(&count, 4, 1, out);
    std::fclose(out);
    std::fclose(in);
    return 0;
}
