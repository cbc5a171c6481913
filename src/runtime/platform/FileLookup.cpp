#include "runtime/platform/FileLookup.h"

#include "runtime/platform/RuntimeError.h"

#include <QDir>
#include <QFileInfo>

namespace pedalwise::runtime {

std::string FileLookupService::find(const std::string& path) {
    const QFileInfo named(QString::fromStdString(path));
    if (named.fileName().isEmpty()) {
        throw RuntimeError("Bad file name or number: " + path);
    }
    // Without QDir::Hidden and QDir::System, hidden and system files are passed over.
    const QStringList found = named.dir().entryList({named.fileName()}, QDir::Files);
    return found.isEmpty() ? std::string() : found.first().toStdString();
}

FileLookupService& systemFileLookupService() {
    static FileLookupService lookup;
    return lookup;
}

std::string Dir(const std::string& path) {
    return FileLookupSlot::get().find(path);
}

} // namespace pedalwise::runtime
