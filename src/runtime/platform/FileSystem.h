#pragma once

#include "runtime/platform/ServiceSlot.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

class QSaveFile;

namespace pedalwise::runtime {

// One failed step on the file system. what() is the reason as the system words it, for
// example "Permission denied", so that callers can put it into a message for the user.
class FileSystemError : public std::runtime_error {
public:
    explicit FileSystemError(const std::string& reason) : std::runtime_error(reason) {}
    // The words Qt or the system give, without the full stop of Windows' words: the message
    // that quotes them goes on after.
    explicit FileSystemError(QString reason);
};

// Where the program's files live on this machine, and the steps of saving one. The machine's
// own unless a test installs another: scratch folders in place of the user's, or a step that
// fails on purpose. Each step throws FileSystemError with the system's reason.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The folder that stands for drive C, on which the program names its files: the
    // Pedalwise folder of the user's roaming application data on Windows (%APPDATA%\Pedalwise),
    // since a standard user may not create files in the root of drive C; elsewhere
    // $XDG_DATA_HOME/pedalwise (by default ~/.local/share/pedalwise).
    virtual QString dataFolder() const;
    // Where earlier versions kept drive C's files, to be read while the data folder has none:
    // the real drive C on Windows; nothing elsewhere.
    virtual std::optional<QString> formerDriveC() const;

    virtual void open(QSaveFile& file);
    virtual void write(QSaveFile& file, const QByteArray& bytes);
    // Puts the content on the disk and only then the file in its place.
    virtual void commit(QSaveFile& file);
};

FileSystem& machineFileSystem();

// The file system in use: the machine's own until another is installed.
using FileSystemSlot = ServiceSlot<FileSystem, machineFileSystem>;

// Where a program path such as "c:\pedalwise.dat" lives here, and where an earlier version
// kept it, if anywhere. Another drive throws FileSystemError, as no other drive exists.
QString nativePath(std::string_view programPath);
std::optional<QString> formerPath(std::string_view programPath);

// A path as the user knows it, for messages.
QString displayPath(const QString& path);

// Replaces the content of the file with `bytes` in one step that survives a crash, first
// making its folder (the owner's alone, where modes exist). When any step fails the file is
// left exactly as it was, nothing is left beside it, and the step's FileSystemError is
// passed on.
void saveFile(const QString& path, const QByteArray& bytes);

// The system's side, which posix/ and win/ each define.
namespace native {
QString dataFolder();
std::optional<QString> formerDriveC();
// Throws FileSystemError when the file's content cannot be put on the disk.
void syncToDisk(QSaveFile& file);
// After a rename: makes the folder's new entry last, as far as the system allows.
void syncFolder(const QString& folder) noexcept;
} // namespace native

} // namespace pedalwise::runtime
