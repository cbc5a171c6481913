#include "support/QtTestSupport.h"

#include "runtime/platform/RuntimeError.h"
#include "runtime/qt/Application.h"
#include "runtime/qt/Dispatch.h"
#include "runtime/qt/Focus.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <memory>
#ifndef Q_OS_WIN
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace pedalwise;
using testing::RecordedMessages;

namespace {

// An object whose handling of one event type fails, like a handler without an error trap.
class FailingObject : public QObject {
public:
    static constexpr QEvent::Type kFail = QEvent::User;
    static constexpr QEvent::Type kFine = static_cast<QEvent::Type>(QEvent::User + 1);
    int fineEvents = 0;

protected:
    bool event(QEvent* event) override {
        if (event->type() == kFail) {
            throw runtime::RuntimeError("Device unavailable");
        }
        if (event->type() == kFine) {
            ++fineEvents;
            return true;
        }
        return QObject::event(event);
    }
};

} // namespace

class RuntimeQtTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_watchdog = std::make_unique<testing::ModalWatchdog>(); }
    void cleanup() {
        QVERIFY2(m_watchdog->seen.isEmpty(),
                 qPrintable("unexpected modal dialog: " + m_watchdog->seen.join(", ")));
        m_watchdog.reset();
    }

    void untrappedErrorIsShownAndStopsOnlyItsHandler() {
        RecordedMessages messages;
        bool before = false;
        bool after = false;
        runtime::RunHandler([&] {
            before = true;
            throw runtime::RuntimeError("Path not found");
            after = true; // NOLINT: the statement a failing handler never reaches
        });
        QVERIFY(before);
        QVERIFY(!after);
        QCOMPARE(messages.messages.size(), std::size_t{1});
        QCOMPARE(messages.messages[0].prompt, std::string("Path not found"));
        QCOMPARE(messages.messages[0].title, std::string("PedalwiseNew"));

        // The program goes on: the next handler runs as usual.
        bool next = false;
        runtime::RunHandler([&] { next = true; });
        QVERIFY(next);
        QCOMPARE(messages.messages.size(), std::size_t{1});
    }

    void anErrorOfUnknownKindIsStillShown() {
        RecordedMessages messages;
        runtime::RunHandler([] { throw 42; });
        QCOMPARE(messages.messages.size(), std::size_t{1});
        QVERIFY(!messages.messages[0].prompt.empty());
    }

    void anErrorEscapingAnEventNeverCrossesTheEventLoop() {
        QVERIFY(qobject_cast<runtime::Application*>(qApp) != nullptr);
        RecordedMessages messages;
        FailingObject target;
        QEvent fail(FailingObject::kFail);
        QCoreApplication::sendEvent(&target, &fail);
        QCoreApplication::postEvent(&target, new QEvent(FailingObject::kFail));
        QCoreApplication::postEvent(&target, new QEvent(FailingObject::kFine));
        QCoreApplication::processEvents();
        QCOMPARE(messages.messages.size(), std::size_t{2});
        QCOMPARE(messages.messages[1].prompt, std::string("Device unavailable"));
        QCOMPARE(target.fineEvents, 1);
    }

    void setFocusMovesTheFocusToAControlThatCanTakeIt() {
        QWidget window;
        auto* first = new QLineEdit(&window);
        auto* second = new QPushButton(QStringLiteral("Go"), &window);
        second->move(0, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        first->setFocus();
        runtime::SetFocus(*second);
        QCOMPARE(QApplication::focusWidget(), second);
    }

    void setFocusRaisesARuntimeErrorForAControlThatCannotTakeIt_data() {
        QTest::addColumn<QString>("state");
        QTest::newRow("hidden") << "hidden";
        QTest::newRow("inside a hidden frame") << "in hidden frame";
        QTest::newRow("disabled") << "disabled";
        QTest::newRow("takes no focus") << "label";
        QTest::newRow("window not shown") << "window hidden";
    }

    void setFocusRaisesARuntimeErrorForAControlThatCannotTakeIt() {
        QFETCH(QString, state);
        QWidget window;
        auto* focused = new QLineEdit(&window);
        auto* frame = new QGroupBox(&window);
        frame->setGeometry(0, 40, 100, 60);
        QWidget* target = new QLineEdit(state == "in hidden frame" ? frame : &window);
        if (state == "label") {
            delete target;
            target = new QLabel(QStringLiteral("Caption"), &window);
        }
        if (state == "window hidden") {
            focused->setFocus();
        } else {
            window.show();
            QVERIFY(QTest::qWaitForWindowActive(&window));
            focused->setFocus();
        }
        if (state == "hidden") {
            target->hide();
        } else if (state == "in hidden frame") {
            frame->hide();
        } else if (state == "disabled") {
            target->setEnabled(false);
        }

        try {
            runtime::SetFocus(*target);
            QFAIL("SetFocus did not raise an error");
        } catch (const runtime::RuntimeError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QString::fromUtf8(runtime::kCannotTakeFocus));
        }
        QVERIFY(!target->hasFocus());
    }

    void endProgramStopsTheProcessAtOnce() {
#ifdef Q_OS_WIN
        QSKIP("no fork on Windows; the end-to-end Alt+X case ends the real program there");
#else
        // Only a separate process can show that nothing after the end runs.
        int pipeEnds[2];
        QCOMPARE(pipe(pipeEnds), 0);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            close(pipeEnds[0]);
            static int reportTo = pipeEnds[1];
            std::atexit([] { (void)!write(reportTo, "x", 1); });
            runtime::EndProgram();
            (void)!write(pipeEnds[1], "y", 1);
            _exit(3);
        }
        close(pipeEnds[1]);
        char seen[8];
        const ssize_t count = read(pipeEnds[0], seen, sizeof seen);
        close(pipeEnds[0]);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QCOMPARE(count, ssize_t{0});
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
#endif
    }

    void theMessageBoxIsModalWithOnlyOkAndNoIcon() {
        // The real message box is in place: this test inspects and closes it itself.
        m_watchdog.reset();
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::Information;
        int buttons = 0;
        bool modal = false;
        QTimer inspector;
        connect(&inspector, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = static_cast<int>(box->buttons().size());
            modal = box->isModal();
            box->button(QMessageBox::Ok)->click();
        });
        inspector.start(10);
        runtime::MsgBox("Saved.");
        inspector.stop();
        m_watchdog = std::make_unique<testing::ModalWatchdog>();

        QCOMPARE(title, QStringLiteral("PedalwiseNew"));
        QCOMPARE(text, QStringLiteral("Saved."));
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons, 1);
        QVERIFY(modal);
    }

private:
    std::unique_ptr<testing::ModalWatchdog> m_watchdog;
};

int main(int argc, char** argv) {
    testing::PrivateHome home;
    runtime::Application app(argc, argv);
    RuntimeQtTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "RuntimeQtTest.moc"
