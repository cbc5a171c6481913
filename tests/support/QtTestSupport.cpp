#include "support/QtTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QWidget>

namespace pedalwise::testing {

RecordedMessages::RecordedMessages() : m_previous(runtime::MessageBoxSlot::install(this)) {}

RecordedMessages::~RecordedMessages() {
    runtime::MessageBoxSlot::install(m_previous);
}

void RecordedMessages::show(const std::string& prompt, const std::string& title) {
    messages.push_back({prompt, title});
}

RecordedProgramEnd::RecordedProgramEnd() : m_previous(runtime::ProgramEndSlot::install(this)) {}

RecordedProgramEnd::~RecordedProgramEnd() {
    runtime::ProgramEndSlot::install(m_previous);
}

ModalWatchdog::ModalWatchdog() {
    connect(&m_timer, &QTimer::timeout, this, &ModalWatchdog::check);
    m_timer.start(20);
}

void ModalWatchdog::check() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        seen << modal->windowTitle();
        modal->close();
    }
}

void drainEvents() {
    // Two rounds: each pass of the event loop handles the posted events first and the window
    // system's after them, and those may post more.
    for (int round = 0; round < 2; ++round) {
        bool arrived = false;
        QObject marker;
        QMetaObject::invokeMethod(
            &marker, [&arrived] { arrived = true; }, Qt::QueuedConnection);
        while (!arrived) {
            QCoreApplication::processEvents();
        }
    }
}

PrivateHome::PrivateHome() {
    const QByteArray home = m_dir.path().toUtf8();
    qputenv("HOME", home);
    qputenv("XDG_CONFIG_HOME", home + "/config");
    qputenv("XDG_DATA_HOME", home + "/data");
    qputenv("XDG_CACHE_HOME", home + "/cache");
    const QString runtimeDir = m_dir.filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtimeDir);
    QFile::setPermissions(runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtimeDir.toUtf8());
}

} // namespace pedalwise::testing
