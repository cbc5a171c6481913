#include "runtime/platform/CodePage.h"

#include <QString>

namespace pedalwise::runtime {

// Qt's 8-bit encoding is the system's code page: the active one on Windows, UTF-8 elsewhere.
std::string fromSystemCodePage(std::string_view bytes) {
#ifdef Q_OS_WIN
    // Qt 6.8 on Windows drops a NUL at the end of what it converts, so NULs at the end are kept
    // apart (docs/workarounds.md, "Code page: a NUL at the end").
    const std::size_t nuls = bytes.size() - (bytes.find_last_not_of('\0') + 1);
    bytes.remove_suffix(nuls);
#else
    const std::size_t nuls = 0;
#endif
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()))
        .toStdString()
        .append(nuls, '\0');
}

// A character the code page has no byte for comes back changed: replaced, or by a look-alike.
std::optional<std::string> toSystemCodePage(std::string_view utf8) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    std::string bytes = text.toLocal8Bit().toStdString();
    if (QString::fromStdString(fromSystemCodePage(bytes)) != text) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace pedalwise::runtime
