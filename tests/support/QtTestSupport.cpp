#include "support/QtTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QExposeEvent>
#include <QFile>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace pedalwise::testing {
namespace {

QWindow& windowSystemWindow(QWidget& window) {
    window.winId();
    return *window.windowHandle();
}

} // namespace

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

ExposureLog::ExposureLog(QWidget& window) : m_window(windowSystemWindow(window)) {
    m_clock.start();
    qApp->installEventFilter(this);
}

bool ExposureLog::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_window || event->type() != QEvent::Expose) {
        return false;
    }
    ++count;
    m_last = m_clock.elapsed();
    seen << QString::number(m_last) + QStringLiteral("ms") +
                (m_window.isExposed() ? QString() : QStringLiteral("(hidden)"));
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    for (const QRect& r : static_cast<QExposeEvent*>(event)->region()) {
        seen << QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    QT_WARNING_POP
    seen << QStringLiteral(";");
    return false;
}

bool ExposureLog::waitUntilQuiet() const {
    if (QGuiApplication::platformName() == QStringLiteral("offscreen")) {
        return true;
    }
    return QTest::qWaitFor([this] { return m_clock.elapsed() - m_last >= 250; }, 5000);
}

bool activate(QWidget& window) {
    for (int request = 0; request < 10; ++request) {
        window.activateWindow();
        if (QTest::qWaitForWindowActive(&window, 500)) {
            return true;
        }
    }
    return false;
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
