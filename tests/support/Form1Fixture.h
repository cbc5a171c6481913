#pragma once

#include "support/QtTestSupport.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QTest>

#include <array>
#include <memory>

// A fresh main window per test, shown, active and no longer being exposed, with message boxes,
// the program's end and the requests to the system's screen readers recorded instead of carried
// out, and any unexpected modal dialog failing the test.
class Form1Fixture {
public:
    Form1Fixture() {
        const pedalwise::testing::ExposureLog exposures(form);
        form.show();
        if (!QTest::qWaitForWindowActive(&form)) {
            qWarning("the main window did not become active");
        }
        // A late exposure would load the defaults again in the middle of a test.
        if (!exposures.waitUntilQuiet()) {
            qWarning("the main window kept being exposed");
        }
    }

    // Fails the test if a modal dialog appeared.
    bool noModalDialog() const { return watchdog.seen.isEmpty(); }

    // The five inputs of the window or of its defaults panel, always in the defaults file's
    // order: W, A, B, C, D.
    enum class Inputs { Main, Panel };

    void enter(const QStringList& texts, Inputs where = Inputs::Main) const {
        const std::array<QLineEdit*, 5> boxes = inputBoxes(where);
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            boxes[i]->setText(texts.at(static_cast<qsizetype>(i)));
        }
    }

    QStringList inputs(Inputs where = Inputs::Main) const {
        QStringList texts;
        for (const QLineEdit* box : inputBoxes(where)) {
            texts << box->text();
        }
        return texts;
    }

    pedalwise::testing::RecordedMessages messages;
    pedalwise::testing::RecordedProgramEnd programEnd;
    pedalwise::testing::ModalWatchdog watchdog;
    pedalwise::ui::Form1 form;
    const pedalwise::ui::Form1Controls& ui = form.controls();

private:
    std::array<QLineEdit*, 5> inputBoxes(Inputs where) const {
        if (where == Inputs::Panel) {
            return {ui.txtDefWheel, ui.txtDefDrive1, ui.txtDefDriven1, ui.txtDefDrive2,
                    ui.txtDefDriven2};
        }
        return {ui.txtWheel, ui.txtDrive1, ui.txtDriven1, ui.txtDrive2, ui.txtDriven2};
    }
};

// Presses a button as the user does: "click" with the mouse, or one of the keys "Enter",
// "keypad Enter" and "Space" with the focus on the button.
inline void Press(QPushButton* button, const QString& how) {
    if (how == QLatin1String("click")) {
        QTest::mouseClick(button, Qt::LeftButton);
        return;
    }
    button->setFocus();
    if (how == QLatin1String("Enter")) {
        QTest::keyClick(button, Qt::Key_Return);
    } else if (how == QLatin1String("keypad Enter")) {
        QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
    } else {
        QTest::keyClick(button, Qt::Key_Space);
    }
}

// Base of the test classes of the main window: each test gets its own fixture.
class Form1TestCase : public QObject {
    Q_OBJECT
protected:
    Form1Fixture& f() { return *m_fixture; }
    const pedalwise::ui::Form1Controls& ui() const { return m_fixture->ui; }

private slots:
    void init() { m_fixture = std::make_unique<Form1Fixture>(); }
    void cleanup() {
        QVERIFY2(m_fixture->noModalDialog(), "a modal dialog appeared");
        m_fixture.reset();
    }

private:
    std::unique_ptr<Form1Fixture> m_fixture;
};

// Runs one Qt Test class in a process whose home folder is private.
#define PEDALWISE_QTEST_MAIN(TestClass)                                                            \
    int main(int argc, char** argv) {                                                              \
        pedalwise::testing::PrivateHome home;                                                      \
        QApplication app(argc, argv);                                                              \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
