#include "runtime/platform/ProgramStart.h"

#include "runtime/platform/RuntimeError.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

namespace pedalwise::runtime {

// Qt starts the program detached, as no child of ours, and says whether it could run it.
void ProgramStartService::start(const std::string& programPath) {
    if (programPath.empty() ||
        !QProcess::startDetached(QString::fromStdString(programPath), QStringList())) {
        throw RuntimeError("Cannot start " + programPath);
    }
}

ProgramStartService& systemProgramStartService() {
    static ProgramStartService programStart;
    return programStart;
}

void StartProgram(const std::string& programPath) {
    ProgramStartSlot::get().start(programPath);
}

std::string FindProgram(std::initializer_list<const char*> names) {
    QStringList folders = qEnvironmentVariable("PATH").split(QDir::listSeparator());
    folders.removeIf([](const QString& folder) { return !QDir::isAbsolutePath(folder); });
    // Given no folder, Qt would search PATH whole.
    if (!folders.isEmpty()) {
        for (const char* name : names) {
            const QString found = QStandardPaths::findExecutable(QString::fromUtf8(name), folders);
            if (!found.isEmpty()) {
                return found.toStdString();
            }
        }
    }
    return {};
}

} // namespace pedalwise::runtime
