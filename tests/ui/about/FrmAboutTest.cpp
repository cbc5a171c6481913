// The About window on the offscreen platform: one instance opened from the Help menu, closed
// by OK, Enter, Esc or the close button, its layout and lines, the System Info button
// over fake launcher services, and the program living on while it is open.
#include "ui/about/frmAbout.h"
#include "FakeServices.h"
#include "support/FakeFileSystem.h"
#include "support/QtTestSupport.h"
#include "ui/main/Form1.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

using namespace pedalwise;
using namespace pedalwise::ui;

namespace {

QList<frmAbout*> VisibleAboutWindows() {
    QList<frmAbout*> found;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* about = qobject_cast<frmAbout*>(window); about != nullptr && about->isVisible()) {
            found << about;
        }
    }
    return found;
}

// The main window, shown and active, with messages, the program's end and the launcher's
// services all replaced by recorders.
struct Fixture {
    Fixture() {
        form.show();
        if (!QTest::qWaitForWindowActive(&form)) {
            qWarning("the main window did not become active");
        }
    }
    ~Fixture() {
        if (frmAbout* about = frmAbout::Loaded()) {
            delete about;
        }
    }

    // Where the launcher will find a viewer: in the registry on Windows, on PATH elsewhere.
    std::string offerViewer() {
#ifdef _WIN32
        const std::string viewer = "C:\\Viewer\\msinfo32.exe";
        registry.set("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                     test::stringValue(viewer));
#else
        const std::string viewer = (bin.path() / "hardinfo2").string();
        bin.write("hardinfo2", "#!/bin/sh\n");
        std::filesystem::permissions(viewer, std::filesystem::perms::owner_all);
#endif
        programs.programs = {viewer};
        return viewer;
    }

    testing::RecordedMessages messages;
    testing::RecordedProgramEnd programEnd;
    testing::ModalWatchdog watchdog;
#ifdef _WIN32
    test::FakeRegistry registry;
    test::ScopedRegistry scopedRegistry{registry};
#else
    test::ScratchFolder bin;
    test::ScopedEnvironment path{"PATH", bin.path().c_str()};
#endif
    test::FakeFileLookup files;
    test::FakeProgramStart programs;
    test::ScopedFileLookup scopedFiles{files};
    test::ScopedProgramStart scopedPrograms{programs};
    Form1 form;
};

} // namespace

class FrmAboutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<Fixture> m_f;

    // Help, "About Pedalwise", as the user chooses it; waits for the window to take the keys.
    frmAbout* openAbout() {
        m_f->form.controls().mnuHelpAbout->trigger();
        frmAbout* about = frmAbout::Loaded();
        if (about != nullptr && !QTest::qWaitForWindowActive(about)) {
            qWarning("the About window did not become active");
        }
        return about;
    }

    static void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

private slots:
    void init() { m_f = std::make_unique<Fixture>(); }
    void cleanup() {
        QVERIFY2(m_f->watchdog.seen.isEmpty(), "a modal dialog appeared");
        m_f.reset();
    }

    void choosingAboutAgainLeavesTheOneWindowAsItIs() {
        frmAbout* about = openAbout();
        QVERIFY(about != nullptr);
        pressKey(Qt::Key_Tab);
        QVERIFY(testing::activate(m_f->form));

        m_f->form.controls().mnuHelpAbout->trigger();
        QCOMPARE(frmAbout::Loaded(), about);
        QCOMPARE(VisibleAboutWindows(), QList<frmAbout*>{about});
        // Nothing was reloaded: the focus is where the user left it.
        QCOMPARE(about->focusWidget(), about->controls().picIcon);
    }

    void okEnterEscAndTheCloseButtonUnloadTheWindow_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("okPresses"); // the close button runs no handler
        QTest::newRow("OK clicked") << "click" << 1;
        QTest::newRow("Enter on OK") << "enter" << 1;
        QTest::newRow("keypad Enter on OK") << "keypad enter" << 1;
        QTest::newRow("Enter on the icon") << "tab, enter" << 1;
        QTest::newRow("Esc") << "esc" << 1;
        QTest::newRow("Esc on System Info") << "tab, tab, esc" << 1;
        QTest::newRow("Enter with Alt, Ctrl or Shift presses no button, then Esc")
            << "modified enter, tab, modified enter, tab, modified enter, esc" << 1;
        QTest::newRow("close button") << "close" << 0;
    }

    void okEnterEscAndTheCloseButtonUnloadTheWindow() {
        QFETCH(QString, how);
        QFETCH(int, okPresses);
        QPointer<frmAbout> about = openAbout();
        QVERIFY(about);
        QSignalSpy ok(about->controls().cmdOK, &QPushButton::clicked);

        for (const QString& step : how.split(QStringLiteral(", "))) {
            if (step == "click") {
                QTest::mouseClick(about->controls().cmdOK, Qt::LeftButton);
            } else if (step == "enter") {
                pressKey(Qt::Key_Return);
            } else if (step == "keypad enter") {
                pressKey(Qt::Key_Enter, Qt::KeypadModifier);
            } else if (step == "tab") {
                pressKey(Qt::Key_Tab);
            } else if (step == "esc") {
                pressKey(Qt::Key_Escape);
            } else if (step == "modified enter") {
                for (const auto held : {Qt::AltModifier, Qt::ControlModifier, Qt::ShiftModifier}) {
                    pressKey(Qt::Key_Return, held);
                    QCOMPARE(frmAbout::Loaded(), about.data());
                    pressKey(Qt::Key_Enter, held | Qt::KeypadModifier);
                    QCOMPARE(frmAbout::Loaded(), about.data());
                }
            } else if (step == "close") {
                QVERIFY(about->close());
            }
        }

        QCOMPARE(ok.count(), okPresses);
        QCOMPARE(frmAbout::Loaded(), nullptr);
        QTRY_VERIFY(about.isNull());
        QVERIFY(VisibleAboutWindows().isEmpty());
        QVERIFY(m_f->programs.attempted.empty());
        QVERIFY(m_f->messages.messages.empty());
    }

    void reopeningGivesAFreshWindowAtItsPlaceWithTheFocusOnOk() {
        QPointer<frmAbout> first = openAbout();
        QCOMPARE(QApplication::focusWidget(), first->controls().cmdOK);
        first->move(20, 30);
        pressKey(Qt::Key_Tab);
        pressKey(Qt::Key_Tab);
        QTest::mouseClick(first->controls().cmdOK, Qt::LeftButton);
        QTRY_VERIFY(first.isNull());

        frmAbout* second = openAbout();
        QVERIFY(second != nullptr);
        QCOMPARE(second->geometry(), QRect(190, 155, 382, 292));
        QCOMPARE(QApplication::focusWidget(), second->controls().cmdOK);
    }

    void tabCyclesOkTheIconAndSystemInfo() {
        const frmAboutControls& c = openAbout()->controls();
        QCOMPARE(QApplication::focusWidget(), c.cmdOK);
        for (QWidget* next : std::initializer_list<QWidget*>{c.picIcon, c.cmdSysInfo, c.cmdOK}) {
            pressKey(Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        for (QWidget* previous :
             std::initializer_list<QWidget*>{c.cmdSysInfo, c.picIcon, c.cmdOK}) {
            pressKey(Qt::Key_Backtab, Qt::ShiftModifier);
            QCOMPARE(QApplication::focusWidget(), previous);
        }
    }

    void theMainWindowStaysUsableWhileAboutIsOpen() {
        frmAbout* about = openAbout();
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        const Form1Controls& ui = m_f->form.controls();
        QVERIFY(testing::activate(m_f->form));

        const QList<QPair<TextBox*, QString>> inputs{{ui.txtWheel, "26"},
                                                     {ui.txtDrive1, "52"},
                                                     {ui.txtDriven1, "1"},
                                                     {ui.txtDrive2, "1"},
                                                     {ui.txtDriven2, "13"}};
        for (const auto& [box, text] : inputs) {
            box->setFocus();
            box->selectAll();
            QTest::keyClicks(box, text);
        }
        QTest::mouseClick(ui.cmdCalculate, Qt::LeftButton);
        QCOMPARE(ui.lblInches->text(), QStringLiteral("104"));
        ui.mnuHelpContact->trigger();
        QVERIFY(ui.frmHelpContact->isVisible());

        QCOMPARE(frmAbout::Loaded(), about);
        QVERIFY(about->isVisible());
    }

    void theLayoutFollowsTheTable_data() {
        // Twips from the window's client area, at 15 twips to the pixel.
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::newRow("picIcon") << "picIcon" << QRect(240, 240, 540, 540);
        QTest::newRow("lblTitle") << "lblTitle" << QRect(1050, 240, 3885, 480);
        QTest::newRow("lblVersion") << "lblVersion" << QRect(1050, 780, 3885, 225);
        QTest::newRow("lblDescription") << "lblDescription" << QRect(1050, 1125, 3885, 1170);
        QTest::newRow("lblDisclaimer") << "lblDisclaimer" << QRect(255, 2625, 5295, 645);
        QTest::newRow("cmdOK") << "cmdOK" << QRect(4320, 3570, 1260, 345);
        QTest::newRow("blCopyright") << "blCopyright" << QRect(495, 3750, 3375, 255);
        QTest::newRow("cmdSysInfo") << "cmdSysInfo" << QRect(4335, 3975, 1245, 345);
    }

    void theLayoutFollowsTheTable() {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        const frmAbout* about = openAbout();
        const auto* control = about->findChild<QWidget*>(name);
        QVERIFY(control != nullptr);
        QCOMPARE(control->parentWidget(), about);
        QCOMPARE(control->geometry(),
                 QRect(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15));
        QCOMPARE(control->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(control->font().pixelSize(), name == "lblTitle" ? 18 : 11);
        if (const auto* label = qobject_cast<const QLabel*>(control);
            label && label->pixmap().isNull()) {
            // The whole text shows in the box, in the font the machine really has, with its
            // own line breaks.
            const QFontMetrics metrics(label->font());
            const int flags = label->wordWrap() ? Qt::TextWordWrap : 0;
            const QRect needed =
                metrics.boundingRect(QRect(0, 0, label->width(), 10000), flags, label->text());
            QVERIFY2(needed.width() <= label->width() && needed.height() <= label->height(),
                     qPrintable(QStringLiteral("%1 needs %2 x %3")
                                    .arg(name)
                                    .arg(needed.width())
                                    .arg(needed.height())));
        }
    }

    void theWindowIsAFixedModelessDialogOfItsOwn() {
        frmAbout* about = openAbout();
        QCOMPARE(about->geometry(), QRect(190, 155, 382, 292));
        QCOMPARE(about->minimumSize(), QSize(382, 292));
        QCOMPARE(about->maximumSize(), QSize(382, 292));
        const Qt::WindowFlags flags = about->windowFlags();
        QCOMPARE(about->windowType(), Qt::Dialog);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QVERIFY(!about->isModal());
        // A window of its own: it neither closes with the main window nor lets the program
        // end while it is open.
        QCOMPARE(about->parentWidget(), nullptr);
        QCOMPARE(about->windowHandle()->transientParent(), nullptr);
        QVERIFY(about->testAttribute(Qt::WA_QuitOnClose));
        // No icon of its own, nor the program's.
        const QImage icon = about->windowIcon().pixmap(16, 16).toImage();
        for (int y = 0; y < icon.height(); ++y) {
            for (int x = 0; x < icon.width(); ++x) {
                QCOMPARE(qAlpha(icon.pixel(x, y)), 0);
            }
        }

        const QLabel* picIcon = about->controls().picIcon;
        QCOMPARE(picIcon->frameStyle(), QFrame::Panel | QFrame::Sunken);
        QCOMPARE(picIcon->lineWidth(), 2);
        QCOMPARE(picIcon->pixmap().deviceIndependentSize(), QSizeF(32, 32));
        QCOMPARE(picIcon->accessibleName().isEmpty(), false);
    }

    void theSeparatorLinesAreDrawnOnTheWindow() {
        const QImage image = openAbout()->grab().toImage();
        const QColor grey(128, 128, 128);
        const QColor white(255, 255, 255);
        const QColor background = image.pixelColor(200, 168);
        QVERIFY(background != grey && background != white);
        // Line1(1) grey at 163, Line1(0) white and two pixels thick below it, Line1(2) grey.
        const struct {
            int y;
            int from;
            int to;
            QColor colour;
        } lines[] = {
            {163, 6, 376, grey}, {164, 7, 376, white}, {165, 7, 376, white}, {222, 8, 378, grey}};
        for (const auto& line : lines) {
            for (int x : {line.from, (line.from + line.to) / 2, line.to}) {
                QCOMPARE(image.pixelColor(x, line.y), line.colour);
            }
            QCOMPARE(image.pixelColor(line.from - 1, line.y), background);
        }
        for (int y : {162, 166, 221, 223}) {
            QCOMPARE(image.pixelColor(100, y), background);
        }
    }

    void systemInfoStartsTheViewerAndTheWindowStays() {
        const std::string viewer = m_f->offerViewer();
        frmAbout* about = openAbout();

        // Alt+S, Enter with the focus on the button, a click: each starts the viewer anew.
        pressKey(Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(m_f->programs.attempted.size(), std::size_t{1}); // an animated click
        pressKey(Qt::Key_Tab);
        pressKey(Qt::Key_Tab);
        pressKey(Qt::Key_Return);
        QCOMPARE(m_f->programs.attempted.size(), std::size_t{2});
        QTest::mouseClick(about->controls().cmdSysInfo, Qt::LeftButton);
        QCOMPARE(m_f->programs.attempted, std::vector<std::string>(3, viewer));
        QVERIFY(m_f->messages.messages.empty());
        QCOMPARE(frmAbout::Loaded(), about);
        QVERIFY(about->isVisible());
    }

    void systemInfoWithNoViewerShowsTheOneMessageAndTheWindowStays() {
        frmAbout* about = openAbout();
        QTest::mouseClick(about->controls().cmdSysInfo, Qt::LeftButton);
        QCOMPARE(m_f->messages.messages.size(), std::size_t{1});
        QCOMPARE(m_f->messages.messages[0].prompt, test::kUnavailable.prompt);
        QCOMPARE(m_f->messages.messages[0].title, test::kUnavailable.title);
        QVERIFY(m_f->programs.attempted.empty());
        QCOMPARE(frmAbout::Loaded(), about);
        QVERIFY(about->isVisible());
    }

    // Runs the event loop, which only ends the program on the last window closed while it
    // runs; so this comes last.
    void closingTheMainWindowLeavesTheProgramRunningUntilAboutCloses() {
        QSignalSpy lastClosed(qApp, &QApplication::lastWindowClosed);
        bool aboutKeptItRunning = false;
        QTimer::singleShot(0, this, [&] {
            openAbout();
            m_f->form.close();
            QTimer::singleShot(100, this, [&] {
                aboutKeptItRunning =
                    lastClosed.isEmpty() && frmAbout::Loaded() != nullptr && !m_f->form.isVisible();
                if (frmAbout* about = frmAbout::Loaded()) {
                    about->controls().cmdOK->click();
                }
            });
        });
        QTimer::singleShot(10000, qApp, [] { QApplication::exit(2); });

        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(aboutKeptItRunning);
        QCOMPARE(lastClosed.count(), 1);
    }
};

int main(int argc, char** argv) {
    pedalwise::testing::PrivateHome home;
    QApplication app(argc, argv);
    FrmAboutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FrmAboutTest.moc"
