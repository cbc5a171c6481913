#include "runtime/platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace pedalwise::runtime::native {

QString dataFolder() {
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    // Qt 6.4 takes a relative XDG_DATA_HOME as it stands (docs/workarounds.md, "Relative
    // XDG_DATA_HOME").
    if (!qEnvironmentVariable("XDG_DATA_HOME").startsWith(u'/')) {
        return QDir::homePath() + QStringLiteral("/.local/share/pedalwise");
    }
#endif
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/pedalwise");
}

std::optional<QString> formerDriveC() {
    return std::nullopt;
}

void syncToDisk(QSaveFile& file) {
    if (::fsync(file.handle()) != 0) {
        throw FileSystemError(std::generic_category().message(errno));
    }
}

// The new content is in place already, so a failure here is no failed save.
void syncFolder(const QString& folder) noexcept {
    if (const int descriptor =
            ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        descriptor >= 0) {
        ::fsync(descriptor);
        ::close(descriptor);
    }
}

} // namespace pedalwise::runtime::native
