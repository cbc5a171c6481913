#include "defaults/DefaultsFile.h"

#include "runtime/platform/CodePage.h"
#include "runtime/platform/FileSystem.h"
#include "runtime/platform/RuntimeError.h"

#include <QFile>

#include <exception>

namespace pedalwise::defaults {
namespace {

// Opens the file where this machine keeps it or, while there is none there, where an earlier
// program kept it, so that defaults saved by that program still load until the first save.
bool openToRead(QFile& file) {
    // Read in large pieces of its own, the file needs no buffer of Qt's.
    constexpr QIODevice::OpenMode kMode = QIODevice::ReadOnly | QIODevice::Unbuffered;
    file.setFileName(runtime::nativePath(kDefaultsPath));
    if (file.open(kMode)) {
        return true;
    }
    const std::optional<QString> former = runtime::formerPath(kDefaultsPath);
    if (file.exists() || !former) {
        return false;
    }
    file.setFileName(*former);
    return file.open(kMode);
}

// A read that fails part way through the file.
class ReadFailed : public std::exception {};

} // namespace

std::optional<DefaultValues> ReadDefaults() {
    try {
        QFile file;
        if (!openToRead(file)) {
            return std::nullopt;
        }
        std::optional<DefaultValues> values =
            ParseDefaults([&file](char* buffer, std::size_t size) {
                const qint64 count = file.read(buffer, static_cast<qint64>(size));
                if (count < 0) {
                    throw ReadFailed();
                }
                return static_cast<std::size_t>(count);
            });
        if (values) {
            for (std::string* field : fieldsOf(*values)) {
                *field = runtime::fromSystemCodePage(*field);
            }
        }
        return values;
    } catch (const std::exception&) {
        // A file that cannot be placed or read, or memory running out, reads as no file.
        return std::nullopt;
    }
}

void WriteDefaults(const DefaultValues& values) {
    std::string shownPath = kDefaultsPath;
    const auto saveFailed = [&shownPath](const std::string& reason) {
        return runtime::RuntimeError("The defaults could not be saved to " + shownPath + ": " +
                                     reason);
    };
    try {
        const QString path = runtime::nativePath(kDefaultsPath);
        shownPath = runtime::displayPath(path).toStdString();
        DefaultValues encoded = values;
        for (std::string* text : fieldsOf(encoded)) {
            const std::optional<std::string> bytes = runtime::toSystemCodePage(*text);
            if (!bytes) {
                throw saveFailed("The text \"" + *text +
                                 "\" holds characters that the system's code page cannot store");
            }
            *text = *bytes;
        }
        runtime::saveFile(path, QByteArray::fromStdString(FormatDefaults(encoded)));
    } catch (const runtime::FileSystemError& error) {
        throw saveFailed(error.what());
    }
}

} // namespace pedalwise::defaults
