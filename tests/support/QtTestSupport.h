#pragma once

#include "runtime/platform/MessageBox.h"
#include "runtime/qt/ProgramEnd.h"

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <string>
#include <vector>

class QWidget;
class QWindow;

// What the Qt tests put in place of the program's platform services, so that no test blocks
// on a dialog, ends the test program or touches the user's own files.
namespace pedalwise::testing {

// Keeps every message box instead of showing it, for as long as it lives.
class RecordedMessages final : public runtime::MessageBoxService {
public:
    struct Message {
        std::string prompt;
        std::string title;
    };

    RecordedMessages();
    ~RecordedMessages() override;
    RecordedMessages(const RecordedMessages&) = delete;
    RecordedMessages& operator=(const RecordedMessages&) = delete;

    void show(const std::string& prompt, const std::string& title) override;

    std::vector<Message> messages;

private:
    runtime::MessageBoxService* m_previous;
};

// Counts requests to end the program instead of ending it.
class RecordedProgramEnd final : public runtime::ProgramEndService {
public:
    RecordedProgramEnd();
    ~RecordedProgramEnd() override;
    RecordedProgramEnd(const RecordedProgramEnd&) = delete;
    RecordedProgramEnd& operator=(const RecordedProgramEnd&) = delete;

    void end() override { ++count; }

    int count = 0;

private:
    runtime::ProgramEndService* m_previous;
};

// Closes any modal dialog that opens while it runs and remembers its title, so that a test
// which opens one fails instead of hanging.
class ModalWatchdog final : public QObject {
    Q_OBJECT
public:
    ModalWatchdog();

    QStringList seen;

private:
    void check();

    QTimer m_timer;
};

// Returns once every event posted before the call has been delivered, and the events the
// window system had queued have been handled along with the events they posted in turn: only
// then may a test say that something did not happen.
void drainEvents();

// The exposures a window receives while this lives: how many, and when and where, for a failed
// test to print. Under Wine a window is sometimes exposed once more a little after its first
// paint, and sometimes not; no event tells which, so a test that counts paints waits for quiet.
// Listed in docs/workarounds.md ("Wine's late exposure").
class ExposureLog final : public QObject {
public:
    // Gives the window its window system's window at once, so that its first exposure counts.
    explicit ExposureLog(QWidget& window);

    bool eventFilter(QObject* watched, QEvent* event) override;

    // Returns once the window has gone a quarter of a second without an exposure; at once on
    // the offscreen platform, which exposes a window only as it is shown.
    bool waitUntilQuiet() const;

    int count = 0;
    QStringList seen;

private:
    QWindow& m_window;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
};

// Activates a window as the user's click would, and says whether it became active. Under Wine
// the window system sometimes drops the request while another of the program's windows is
// active, so it is made again; a window that cannot be active at all still fails.
// Listed in docs/workarounds.md ("Wine's dropped activation").
bool activate(QWidget& window);

// Points HOME and the XDG folders at a private temporary folder, before the application
// starts, so that nothing a test runs can reach the user's files.
class PrivateHome {
public:
    PrivateHome();

private:
    QTemporaryDir m_dir;
};

} // namespace pedalwise::testing
