#include "runtime/platform/CodePage.h"

#include <QString>

namespace pedalwise::runtime {

// Qt's 8-bit encoding is the system's code page: the active one on Windows, UTF-8 elsewhere.
std::string fromSystemCodePage(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size())).toStdString();
}

// A character the code page has no byte for comes back changed: replaced, or by a look-alike.
std::optional<std::string> toSystemCodePage(std::string_view utf8) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const QByteArray bytes = text.toLocal8Bit();
    if (QString::fromLocal8Bit(bytes) != text) {
        return std::nullopt;
    }
    return bytes.toStdString();
}

} // namespace pedalwise::runtime
