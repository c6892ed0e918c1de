#include "core/ini_file.h"

#include <vector>

#include "base/ascii.h"
#include "base/messages.h"
#include "platform/error.h"
#include "platform/files.h"

namespace tht {
namespace {

std::string_view trim(std::string_view s) { return ascii::trim(s, std::string_view(" \t\r\n")); }

bool sameName(std::string_view a, std::string_view b) { return ascii::equalsIgnoreCase(a, b); }

// The section named on a line such as "[Transformadores]", or nothing.
bool sectionName(std::string_view line, std::string_view& name) {
    line = trim(line);
    if (line.size() < 2 || line.front() != '[') return false;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return false;
    name = trim(line.substr(1, close - 1));
    return true;
}

bool isKeyLine(std::string_view line, std::string_view key) {
    const auto eq = line.find('=');
    if (eq == std::string_view::npos) return false;
    const std::string_view name = trim(line.substr(0, eq));
    return !name.empty() && name.front() != ';' && sameName(name, key);
}

}  // namespace

std::string describe(IniError kind, const ErrorContext& c) {
    switch (kind) {
    case IniError::Unwritable: return msg::iniUnwritable(c.file, c.cause);
    }
    return msg::internalError(c.cause);
}

std::string updateIniText(std::string_view content, std::string_view section, std::string_view key,
                          std::string_view value) {
    const std::string eol = (content.find('\n') != std::string_view::npos && content.find("\r\n") == std::string_view::npos)
                                ? "\n"
                                : "\r\n";
    std::vector<std::string_view> lines;  // each with its own line end, as it stands
    for (std::size_t start = 0; start < content.size();) {
        auto nl = content.find('\n', start);
        const std::size_t end = nl == std::string_view::npos ? content.size() : nl + 1;
        lines.push_back(content.substr(start, end - start));
        start = end;
    }
    const std::string keyLine = std::string(key) + "=" + std::string(value) + eol;

    std::ptrdiff_t inSection = -1;   // index of the section's header line
    std::ptrdiff_t lastContent = -1; // last non-blank line inside the section
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (sectionName(lines[i], name)) {
            if (inSection >= 0) break;  // the section ended before the key was found
            if (sameName(name, section)) inSection = lastContent = static_cast<std::ptrdiff_t>(i);
            continue;
        }
        if (inSection < 0) continue;
        if (isKeyLine(lines[i], key)) {
            std::string out;
            for (std::size_t j = 0; j < lines.size(); ++j) {
                if (j == i) {
                    out += keyLine;
                    if (!lines[i].ends_with('\n')) out.resize(out.size() - eol.size());
                } else {
                    out += lines[j];
                }
            }
            return out;
        }
        if (!trim(lines[i]).empty()) lastContent = static_cast<std::ptrdiff_t>(i);
    }

    std::string out;
    if (inSection >= 0) {
        for (std::size_t j = 0; j < lines.size(); ++j) {
            out += lines[j];
            if (static_cast<std::ptrdiff_t>(j) == lastContent) {
                if (!lines[j].ends_with('\n')) out += eol;
                out += keyLine;
            }
        }
        return out;
    }
    out.assign(content);
    if (!out.empty() && !out.ends_with('\n')) out += eol;
    out += "[" + std::string(section) + "]" + eol + keyLine;
    return out;
}

void writeIniValue(const std::filesystem::path& file, std::string_view section, std::string_view key,
                   std::string_view value) {
    try {
        std::string content = fileExists(file) ? readFileBytes(file) : std::string();
        AtomicFile out(file);
        out.write(updateIniText(content, section, key, value));
        out.commit();
    } catch (const Error& e) {
        throw Error(IniError::Unwritable, {.file = displayPath(file), .cause = e.context().cause});
    }
}

}  // namespace tht
