// The defaults on the main window: loading them into the five inputs at every paint, the
// defaults panel with Set Defaults, Save and Cancel, and a save that fails.
#include "runtime/qt/Dispatch.h"
#include "runtime/qt/PaintEvents.h"
#include "support/FakeFileSystem.h"
#include "support/Form1Fixture.h"

#include <QWindow>

#include <memory>
#include <optional>

using namespace pedalwise;
using pedalwise::test::FakeFileSystem;
using pedalwise::test::readBytes;
using Inputs = Form1Fixture::Inputs;

namespace {

const std::string kTypical = "27\r\n48\r\n16\r\n1\r\n1\r\n";

// Lets queued work, window-system events and the paints they cause run.
void settle() {
    testing::drainEvents();
}

} // namespace

class Form1DefaultsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_files = std::make_unique<FakeFileSystem>(); }

    void cleanup() {
        if (m_window) {
            QVERIFY2(m_window->noModalDialog(), "a modal dialog appeared");
        }
        m_window.reset();
        m_files.reset();
    }

    // --- Loading at paint ---

    void withoutAFileTheInputsStayEmptyAndTypedValuesSurvivePaints() {
        start();
        QCOMPARE(f().inputs(), QStringList({"", "", "", "", ""}));
        QVERIFY(m_files->lookups() >= 1);
        QCOMPARE(QApplication::focusWidget(), ui().txtWheel);

        f().enter({"26", "52", "1", "1", "13"});
        ui().txtDrive1->setFocus();
        minimizeAndRestore();
        hideAndShow();
        ui().mnuHelpContact->trigger();
        ui().cmdHelpOK->click();
        settle();
        QCOMPARE(f().inputs(), QStringList({"26", "52", "1", "1", "13"}));
        QVERIFY(f().messages.messages.empty());
    }

    void theFirstPaintFillsTheInputsFromTheFileAndFocusesTheWheel() {
        writeFile(kTypical);
        start();
        QCOMPARE(f().inputs(), QStringList({"27", "48", "16", "1", "1"}));
        QCOMPARE(QApplication::focusWidget(), ui().txtWheel);
    }

    void aFileOfFewerThanFiveLinesIsNeverApplied() {
        writeFile("27\r\n48\r\n16\r\n1\r\n");
        start();
        f().enter({"26", "52", "1", "1", "13"});
        minimizeAndRestore();
        QCOMPARE(f().inputs(), QStringList({"26", "52", "1", "1", "13"}));
    }

    void everyPaintPutsTheFileBackAndTheFocusOnTheWheel_data() {
        QTest::addColumn<QString>("paint");
        QTest::addColumn<QString>("how"); // the panel's button is pressed
        QTest::newRow("restored from minimized") << "restore"
                                                 << "";
        QTest::newRow("shown again") << "show"
                                     << "";
        QTest::newRow("help panel hidden") << "help"
                                           << "click";
        QTest::newRow("help panel hidden by Enter") << "help"
                                                    << "Enter";
        QTest::newRow("defaults panel cancelled") << "cancel"
                                                  << "click";
        QTest::newRow("defaults panel cancelled by Enter") << "cancel"
                                                           << "Enter";
    }

    void everyPaintPutsTheFileBackAndTheFocusOnTheWheel() {
        QFETCH(QString, paint);
        QFETCH(QString, how);
        writeFile(kTypical);
        start();
        ui().txtDrive1->setText(QStringLiteral("53"));
        ui().txtDrive1->setFocus();
        if (paint == "restore") {
            minimizeAndRestore();
        } else if (paint == "show") {
            hideAndShow();
        } else if (paint == "help") {
            ui().mnuHelpContact->trigger();
            Press(ui().cmdHelpOK, how);
        } else {
            ui().mnuSetupDefaults->trigger();
            Press(ui().cmdDefaultCancel, how);
        }
        settle();
        QCOMPARE(ui().txtDrive1->text(), QStringLiteral("48"));
        // The window's own focus: the offscreen platform may not give the window back the
        // keyboard at once after showing it again.
        QCOMPARE(f().form.focusWidget(), ui().txtWheel);
    }

    void theWindowsOwnChangesAreNoPaints() {
        writeFile("26\r\n52\r\n1\r\n1\r\n13\r\n");
        start();
        const int reads = m_files->lookups();
        ui().txtDrive1->setText(QStringLiteral("39"));
        QTest::mouseClick(ui().cmdCalculate, Qt::LeftButton);
        QCOMPARE(ui().lblInches->text(), QStringLiteral("78"));
        ui().txtDriven1->setFocus();
        ui().mnuHelpContact->trigger();
        ui().frmDefaults->show();
        settle();
        QCOMPARE(m_files->lookups(), reads);
        QCOMPARE(ui().txtDrive1->text(), QStringLiteral("39"));
    }

    void paintsDueWhileAHandlerRunsGiveOneLoadingAfterIt() {
        writeFile(kTypical);
        start();
        const int reads = m_files->lookups();
        auto* paints = f().form.findChild<runtime::PaintEvents*>();
        QVERIFY(paints != nullptr);
        ui().frmDefaults->show();
        ui().mnuHelpContact->trigger();
        runtime::RunEventHandler([&] {
            ui().frmDefaults->hide();
            ui().frmHelpContact->hide();
            paints->request();
            // A modal message runs the event loop inside the handler; the paint still waits.
            settle();
            QCOMPARE(m_files->lookups(), reads);
            ui().txtDrive1->setText(QStringLiteral("53"));
        });
        settle();
        QCOMPARE(m_files->lookups(), reads + 1);
        QCOMPARE(ui().txtDrive1->text(), QStringLiteral("48"));
    }

    void anIdleWindowDoesNoWork() {
        writeFile(kTypical);
        start();
        const int reads = m_files->lookups();
        QVERIFY2(!QTest::qWaitFor([&] { return m_files->lookups() != reads; }, 300),
                 "the idle window read the defaults again");
    }

    // The focus move to the wheel leaves the box that had the focus, with that box's rule,
    // when the window has the keyboard focus to move.
    void aPaintRunsTheRuleOfTheBoxItTakesTheFocusFrom_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("filled D goes on to Calculate!")
            << QString::fromStdString(kTypical) << "txtDriven2"
            << "cmdCalculate" << QStringList{"27", "48", "16", "1", "1"};
        QTest::newRow("empty B becomes 1") << "27\r\n48\r\n\r\n1\r\n1\r\n"
                                           << "txtDriven1"
                                           << "txtWheel" << QStringList{"27", "48", "1", "1", "1"};
        QTest::newRow("empty D stays empty")
            << "27\r\n48\r\n16\r\n1\r\n\r\n"
            << "txtDriven2"
            << "txtWheel" << QStringList{"27", "48", "16", "1", ""};
    }

    void aPaintRunsTheRuleOfTheBoxItTakesTheFocusFrom() {
        QFETCH(QString, file);
        QFETCH(QString, box);
        QFETCH(QString, focus);
        QFETCH(QStringList, after);
        writeFile(file.toStdString());
        start();
        // A click on the help panel's background hides it without taking the focus.
        ui().frmHelpContact->show();
        f().form.findChild<QWidget*>(box)->setFocus();
        QTest::mouseClick(ui().frmHelpContact, Qt::LeftButton, {}, QPoint(20, 90));
        settle();
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        QCOMPARE(f().inputs(), after);
    }

    // --- The defaults panel ---

    void setDefaultsWithoutAFileOpensFiveEmptyBoxesWithTheFocusOnTheWheel() {
        start();
        ui().mnuSetupDefaults->trigger();
        QVERIFY(ui().frmDefaults->isVisible());
        QCOMPARE(f().inputs(Inputs::Panel), QStringList({"", "", "", "", ""}));
        QCOMPARE(QApplication::focusWidget(), ui().txtDefWheel);
        settle();
        QCOMPARE(QApplication::focusWidget(), ui().txtDefWheel);
        QVERIFY(f().messages.messages.empty());
    }

    void setDefaultsLoadsACompleteFileAndChosenAgainReloadsIt() {
        writeFile(kTypical);
        start();
        ui().mnuSetupDefaults->trigger();
        QCOMPARE(f().inputs(Inputs::Panel), QStringList({"27", "48", "16", "1", "1"}));

        ui().txtDefDrive1->setText(QStringLiteral("53"));
        ui().txtDefDriven2->setFocus();
        ui().mnuSetupDefaults->trigger();
        QCOMPARE(f().inputs(Inputs::Panel), QStringList({"27", "48", "16", "1", "1"}));
        QCOMPARE(QApplication::focusWidget(), ui().txtDefWheel);
    }

    void setDefaultsKeepsTheEditsWhenTheFileIsIncomplete() {
        writeFile("27\r\n48\r\n");
        start();
        ui().mnuSetupDefaults->trigger();
        f().enter({"26", "52", "1", "1", "13"}, Inputs::Panel);
        ui().mnuSetupDefaults->trigger();
        QCOMPARE(f().inputs(Inputs::Panel), QStringList({"26", "52", "1", "1", "13"}));
        QCOMPARE(QApplication::focusWidget(), ui().txtDefWheel);

        // A save then writes a complete file, which the next paint loads.
        QTest::mouseClick(ui().cmdDefaultSave, Qt::LeftButton);
        QCOMPARE(fileBytes(), std::optional<std::string>("26\r\n52\r\n1\r\n1\r\n13\r\n"));
        ui().txtWheel->setText(QStringLiteral("700"));
        minimizeAndRestore();
        QCOMPARE(f().inputs(), QStringList({"26", "52", "1", "1", "13"}));
    }

    void saveWritesTheTextsAsTheyStandCopiesThemAndHidesThePanel_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("how");
        QTest::newRow("typical") << QStringList{"27", "48", "16", "1", "1"}
                                 << QByteArray("27\r\n48\r\n16\r\n1\r\n1\r\n") << "click";
        QTest::newRow("typical, by Enter") << QStringList{"27", "48", "16", "1", "1"}
                                           << QByteArray("27\r\n48\r\n16\r\n1\r\n1\r\n") << "Enter";
        QTest::newRow("all empty")
            << QStringList{"", "", "", "", ""} << QByteArray("\r\n\r\n\r\n\r\n\r\n") << "click";
        QTest::newRow("blanks and words kept")
            << QStringList{" 27 ", "big", "", "x1", "  "}
            << QByteArray(" 27 \r\nbig\r\n\r\nx1\r\n  \r\n") << "click";
    }

    void saveWritesTheTextsAsTheyStandCopiesThemAndHidesThePanel() {
        QFETCH(QStringList, texts);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, how);
        start();
        f().enter({"26", "52", "1", "1", "13"});
        QTest::mouseClick(ui().cmdCalculate, Qt::LeftButton);
        ui().mnuSetupDefaults->trigger();
        f().enter(texts, Inputs::Panel);
        Press(ui().cmdDefaultSave, how);

        QCOMPARE(fileBytes(), std::optional<std::string>(bytes.toStdString()));
        QVERIFY(ui().frmDefaults->isHidden());
        QCOMPARE(f().inputs(), texts);
        QCOMPARE(ui().lblInches->text(), QStringLiteral("104")); // until the next calculation
        settle();
        QCOMPARE(f().inputs(), texts);
        QCOMPARE(QApplication::focusWidget(), ui().txtWheel);
        QVERIFY(f().messages.messages.empty());
    }

    void aFailedSaveTellsWhyAndChangesNothing() {
        writeFile(kTypical);
        start();
        f().enter({"26", "52", "1", "1", "13"});
        ui().mnuSetupDefaults->trigger();
        f().enter({"700", "50", "34", "1", "1"}, Inputs::Panel);
        m_files->failAt(FakeFileSystem::Step::Open, "Permission denied");
        QTest::mouseClick(ui().cmdDefaultSave, Qt::LeftButton);
        settle();

        QCOMPARE(f().messages.messages.size(), std::size_t{1});
        const QString prompt = QString::fromStdString(f().messages.messages[0].prompt);
        QVERIFY2(prompt.startsWith("The defaults could not be saved to ") &&
                     prompt.endsWith("pedalwise.dat: Permission denied"),
                 qPrintable(prompt));
        QCOMPARE(f().messages.messages[0].title, std::string("PedalwiseNew"));
        QCOMPARE(f().inputs(), QStringList({"26", "52", "1", "1", "13"}));
        QVERIFY(ui().frmDefaults->isVisible());
        QCOMPARE(f().inputs(Inputs::Panel), QStringList({"700", "50", "34", "1", "1"}));
        QCOMPARE(fileBytes(), std::optional<std::string>(kTypical));
        QCOMPARE(test::namesIn(m_files->folder()), std::vector<std::string>{"pedalwise.dat"});

        // The program goes on: once the folder can be written, the same panel saves.
        m_files->failAt(std::nullopt);
        QTest::mouseClick(ui().cmdDefaultSave, Qt::LeftButton);
        QCOMPARE(fileBytes(), std::optional<std::string>("700\r\n50\r\n34\r\n1\r\n1\r\n"));
    }

    void cancelChangesNothingAndReopeningReloadsAReadableFile() {
        writeFile(kTypical);
        start();
        ui().mnuSetupDefaults->trigger();
        f().enter({"700", "50", "34", "2", "3"}, Inputs::Panel);
        QTest::mouseClick(ui().cmdDefaultCancel, Qt::LeftButton);
        QVERIFY(ui().frmDefaults->isHidden());
        settle();
        QCOMPARE(fileBytes(), std::optional<std::string>(kTypical));
        QCOMPARE(f().inputs(), QStringList({"27", "48", "16", "1", "1"}));
        QCOMPARE(f().inputs(Inputs::Panel), QStringList({"700", "50", "34", "2", "3"}));

        ui().mnuSetupDefaults->trigger();
        QCOMPARE(f().inputs(Inputs::Panel), QStringList({"27", "48", "16", "1", "1"}));
    }

    void cancelWithoutAFileKeepsTheEditsForTheNextOpening() {
        start();
        f().enter({"26", "52", "1", "1", "13"});
        ui().mnuSetupDefaults->trigger();
        f().enter({"700", "50", "34", "2", "3"}, Inputs::Panel);
        QTest::mouseClick(ui().cmdDefaultCancel, Qt::LeftButton);
        settle();
        QCOMPARE(f().inputs(), QStringList({"26", "52", "1", "1", "13"}));
        QVERIFY(!fileBytes());
        ui().mnuSetupDefaults->trigger();
        QCOMPARE(f().inputs(Inputs::Panel), QStringList({"700", "50", "34", "2", "3"}));
    }

    void altSAndAltCPressThePanelsButtonsOnlyWhileItIsShown() {
        start();
        ui().txtWheel->setFocus();
        // An access key holds its button down at once and clicks it a moment later.
        QTest::keyClick(ui().txtWheel, Qt::Key_S, Qt::AltModifier);
        QVERIFY(!ui().cmdDefaultSave->isDown());
        QTest::keyClick(ui().txtWheel, Qt::Key_C, Qt::AltModifier);
        QVERIFY(!ui().cmdDefaultCancel->isDown());
        QVERIFY(!fileBytes());
        QVERIFY(ui().frmDefaults->isHidden());

        ui().mnuSetupDefaults->trigger();
        QTest::keyClick(ui().txtDefWheel, Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(ui().frmDefaults->isHidden());
        QVERIFY(!fileBytes());

        ui().mnuSetupDefaults->trigger();
        ui().txtDefDrive1->setText(QStringLiteral("48"));
        QTest::keyClick(ui().txtDefDrive1, Qt::Key_S, Qt::AltModifier);
        QTRY_VERIFY(ui().frmDefaults->isHidden());
        QCOMPARE(fileBytes(), std::optional<std::string>("\r\n48\r\n\r\n\r\n\r\n"));
        QCOMPARE(ui().txtDrive1->text(), QStringLiteral("48"));
    }

private:
    void start() {
        m_window = std::make_unique<Form1Fixture>();
        settle();
    }

    Form1Fixture& f() { return *m_window; }
    const ui::Form1Controls& ui() const { return m_window->ui; }

    void writeFile(const std::string& bytes) const {
        test::writeBytes(m_files->file("pedalwise.dat"), bytes);
    }

    std::optional<std::string> fileBytes() const {
        return readBytes(m_files->file("pedalwise.dat"));
    }

    void minimizeAndRestore() {
        f().form.setWindowState(Qt::WindowMinimized);
        settle();
        f().form.setWindowState(Qt::WindowNoState);
        QVERIFY(testing::activate(f().form));
        settle();
    }

    void hideAndShow() {
        f().form.hide();
        settle();
        f().form.show();
        settle();
        QVERIFY(testing::activate(f().form));
    }

    std::unique_ptr<FakeFileSystem> m_files;
    std::unique_ptr<Form1Fixture> m_window;
};

PEDALWISE_QTEST_MAIN(Form1DefaultsTest)

#include "Form1DefaultsTest.moc"
