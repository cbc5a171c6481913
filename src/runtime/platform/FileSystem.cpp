#include "runtime/platform/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <filesystem>
#include <system_error>
#include <utility>

namespace pedalwise::runtime {
namespace {

std::string withoutFullStop(QString reason) {
    while (!reason.isEmpty() && (reason.back().isSpace() || reason.back() == u'.')) {
        reason.chop(1);
    }
    return reason.toStdString();
}

[[noreturn]] void fail(const QSaveFile& file) {
    throw FileSystemError(file.errorString());
}

// The place of a program path ("c:\a\b.dat") on a folder that stands for drive C. No other
// drive exists.
QString placeOn(QString driveC, std::string_view programPath) {
    if (programPath.size() < 2 || programPath[1] != ':' ||
        (programPath[0] != 'c' && programPath[0] != 'C')) {
        throw FileSystemError(std::string("Device unavailable"));
    }
    const QString rest = QString::fromUtf8(programPath.substr(2)).replace(u'\\', u'/');
    for (const QString& part : rest.split(u'/', Qt::SkipEmptyParts)) {
        driveC += u'/' + part;
    }
    return driveC;
}

// Every folder made is the owner's alone, as a user's data folder should be.
void makeFolders(const std::filesystem::path& folder) {
    std::error_code error;
    if (folder.empty() || folder == folder.parent_path() ||
        std::filesystem::exists(folder, error)) {
        return;
    }
    makeFolders(folder.parent_path());
    if (!std::filesystem::create_directory(folder, error) && error) {
        throw FileSystemError(error.message());
    }
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
}

} // namespace

FileSystemError::FileSystemError(QString reason)
    : std::runtime_error(withoutFullStop(std::move(reason))) {}

QString FileSystem::dataFolder() const {
    return native::dataFolder();
}

std::optional<QString> FileSystem::formerDriveC() const {
    return native::formerDriveC();
}

void FileSystem::open(QSaveFile& file) {
    if (!file.open(QIODevice::WriteOnly)) {
        fail(file);
    }
}

void FileSystem::write(QSaveFile& file, const QByteArray& bytes) {
    if (file.write(bytes) != bytes.size()) {
        fail(file);
    }
}

// QSaveFile's commit syncs the file but passes a failed sync over, so the sync is ours.
void FileSystem::commit(QSaveFile& file) {
    if (!file.flush()) {
        fail(file);
    }
    native::syncToDisk(file);
    if (!file.commit()) {
        fail(file);
    }
}

FileSystem& machineFileSystem() {
    static FileSystem machine;
    return machine;
}

QString nativePath(std::string_view programPath) {
    return placeOn(FileSystemSlot::get().dataFolder(), programPath);
}

std::optional<QString> formerPath(std::string_view programPath) {
    if (const std::optional<QString> driveC = FileSystemSlot::get().formerDriveC()) {
        return placeOn(*driveC, programPath);
    }
    return std::nullopt;
}

QString displayPath(const QString& path) {
    QString shown = QDir::toNativeSeparators(QDir::cleanPath(path));
#ifndef _WIN32
    const QString home = QDir::cleanPath(QDir::homePath()) + u'/';
    if (home != QStringLiteral("//") && shown.startsWith(home)) {
        return QStringLiteral("~/") + shown.mid(home.size());
    }
#endif
    return shown;
}

void saveFile(const QString& path, const QByteArray& bytes) {
    const QString folder = QFileInfo(path).absolutePath();
    makeFolders(std::filesystem::path(folder.toStdU16String()));
    FileSystem& files = FileSystemSlot::get();
    // A step that throws leaves the file unsaved: the QSaveFile then removes what it wrote.
    QSaveFile file(path);
    files.open(file);
    files.write(file, bytes);
    files.commit(file);
    native::syncFolder(folder);
}

} // namespace pedalwise::runtime
