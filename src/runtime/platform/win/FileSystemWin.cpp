#include "runtime/platform/FileSystem.h"

#include "runtime/platform/win/WindowsApi.h"

#include <QDir>
#include <QSaveFile>

#include <io.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <memory>
#include <system_error>

namespace pedalwise::runtime::native {
namespace {

// The system's words come in its code page.
[[noreturn]] void fail(long error) {
    throw FileSystemError(
        QString::fromLocal8Bit(std::system_category().message(static_cast<int>(error))));
}

} // namespace

// Qt's one roaming location appends the application's organisation and name, and the program
// keeps its files in a folder of a name of its own; so the shell is asked for %APPDATA%.
QString dataFolder() {
    wchar_t* folder = nullptr;
    const HRESULT result =
        SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &folder);
    // The shell's copy of the path is ours to free, whether or not the call succeeded.
    const std::unique_ptr<wchar_t, decltype(&CoTaskMemFree)> owned(folder, &CoTaskMemFree);
    if (FAILED(result)) {
        fail(result);
    }
    return QDir::fromNativeSeparators(QString::fromWCharArray(folder)) +
           QStringLiteral("/Pedalwise");
}

// Earlier versions kept the program's files on the real drive C.
std::optional<QString> formerDriveC() {
    return QStringLiteral("C:");
}

void syncToDisk(QSaveFile& file) {
    if (!FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(file.handle())))) {
        fail(static_cast<long>(GetLastError()));
    }
}

// Windows gives a standard user no call that syncs a folder's entries: the rename lasts as the
// file system makes it last.
void syncFolder(const QString&) noexcept {}

} // namespace pedalwise::runtime::native
