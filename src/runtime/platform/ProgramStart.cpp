#include "runtime/platform/ProgramStart.h"

#include "runtime/platform/RuntimeError.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include "runtime/platform/win/WindowsApi.h"
#endif

namespace pedalwise::runtime {

// Qt starts the program detached, as no child of ours, and says whether it could run it.
void ProgramStartService::start(const std::string& programPath) {
    QProcess process;
    process.setProgram(QString::fromStdString(programPath));
#ifdef Q_OS_WIN
    // The path goes as the program's name, so that Windows neither searches for it nor adds
    // ".exe" to it; the command line only repeats it, quoted. Nothing of ours is inherited.
    const std::wstring application = process.program().toStdWString();
    std::wstring commandLine = L"\"" + application + L"\"";
    process.setCreateProcessArgumentsModifier([&](QProcess::CreateProcessArguments* arguments) {
        arguments->applicationName = application.c_str();
        arguments->arguments = commandLine.data();
        arguments->inheritHandles = false;
        arguments->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        arguments->startupInfo->wShowWindow = SW_SHOWNORMAL;
    });
#endif
    if (programPath.empty() || !process.startDetached()) {
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
