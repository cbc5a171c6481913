#include "defaults/DefaultsFile.h"

#include "runtime/platform/CodePage.h"
#include "runtime/platform/FileSystem.h"
#include "runtime/platform/RuntimeError.h"

#include <QFile>

#include <new>
#include <stdexcept>

namespace pedalwise::defaults {
namespace {

// The file where this machine keeps it or, while there is none there, where an earlier
// program kept it, so that defaults saved by that program still load until the first save.
QString placeToRead() {
    const QString path = runtime::nativePath(kDefaultsPath);
    if (!QFile::exists(path)) {
        if (const std::optional<QString> former = runtime::formerPath(kDefaultsPath)) {
            return *former;
        }
    }
    return path;
}

// A file that fails in the middle of a read reads as no file.
struct ReadFailed {};

} // namespace

std::optional<DefaultValues> ReadDefaults() {
    try {
        QFile file(placeToRead());
        if (!file.open(QIODevice::ReadOnly)) {
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
    } catch (const ReadFailed&) {
    } catch (const runtime::FileSystemError&) {
    } catch (const std::bad_alloc&) {
        // Memory running out reads like any other unusable file.
    } catch (const std::length_error&) {
    }
    return std::nullopt;
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
        DefaultValues encoded;
        for (std::size_t i = 0; i < fieldsOf(values).size(); ++i) {
            const std::string& text = *fieldsOf(values)[i];
            const std::optional<std::string> bytes = runtime::toSystemCodePage(text);
            if (!bytes) {
                throw saveFailed("The text \"" + text +
                                 "\" holds characters that the system's code page cannot store");
            }
            *fieldsOf(encoded)[i] = *bytes;
        }
        runtime::saveFile(path, QByteArray::fromStdString(FormatDefaults(encoded)));
    } catch (const runtime::FileSystemError& error) {
        throw saveFailed(error.what());
    }
}

} // namespace pedalwise::defaults
