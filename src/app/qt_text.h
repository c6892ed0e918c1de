#pragma once
// The catalogue's UTF-8 texts and the core's strings as Qt strings, and back.
#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

namespace tht::app {

inline QString text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

inline std::vector<std::string> utf8Arguments(const QStringList& arguments) {
    std::vector<std::string> out;
    for (const QString& a : arguments) out.push_back(a.toStdString());
    return out;
}

}  // namespace tht::app
