// The main window's events: the calculation and its one failure message, the focus-leave
// rules of the input boxes, the two ways to end the program, and the help contact panel.
#include "support/Form1Fixture.h"

#include <QMenu>

using namespace pedalwise::ui;

namespace {

const std::string kPrompt = "All 5 fields must contain valid data";
const std::string kTitle = "Minor problem...";

} // namespace

class Form1EventTest : public Form1TestCase {
    Q_OBJECT
private slots:
    void aOneChainBikeGivesGearInchesAndFiveSpeeds_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("fromD");
        for (const char* how : {"click", "Enter", "keypad Enter", "Space"}) {
            QTest::addRow("%s", how) << how << false;
        }
        // By keyboard alone: a filled D, Tab on to "Calculate!", Enter.
        QTest::newRow("Tab from D, Enter") << "Enter" << true;
    }

    void aOneChainBikeGivesGearInchesAndFiveSpeeds() {
        QFETCH(QString, how);
        QFETCH(bool, fromD);
        f().enter({"26", "52", "1", "1", "13"});
        if (fromD) {
            ui().txtDriven2->setFocus();
            QTest::keyClick(ui().txtDriven2, Qt::Key_Tab);
        }
        Press(ui().cmdCalculate, how);
        QCOMPARE(results(), QStringList({"104", "18", "21", "24", "27", "30"}));
        QVERIFY(f().messages.messages.empty());
        QCOMPARE(QApplication::focusWidget(), ui().cmdCalculate);
    }

    void speedsComeFromTheGearInchesAsDisplayed() {
        // 104.8 gear inches are shown as 104; at 100 turns 104 gives 30.9, 104.8 would give 31.1.
        f().enter({"26.2", "52", "1", "1", "13"});
        ui().cmdCalculate->click();
        QCOMPARE(results(), QStringList({"104", "18", "21", "24", "27", "30"}));
    }

    void anEmptyADrivesNothing() {
        f().enter({"26", "", "1", "1", "13"});
        ui().cmdCalculate->click();
        QCOMPARE(results(), QStringList({"0", "0", "0", "0", "0", "0"}));
        QVERIFY(f().messages.messages.empty());
    }

    void aFailedCalculationShowsTheOneMessageAndKeepsTheResults_data() {
        QTest::addColumn<QStringList>("inputs"); // W, A, B, C, D
        QTest::newRow("all empty") << QStringList{"", "", "", "", ""};
        QTest::newRow("B zero") << QStringList{"26", "52", "0", "1", "13"};
        QTest::newRow("D zero") << QStringList{"26", "52", "1", "1", "0"};
        QTest::newRow("D empty") << QStringList{"26", "52", "1", "1", ""};
        QTest::newRow("B a blank") << QStringList{"26", "52", " ", "1", "13"};
        QTest::newRow("B not a number") << QStringList{"26", "52", "x", "1", "13"};
        QTest::newRow("A beyond the double range") << QStringList{"26", "1e999", "1", "1", "13"};
        QTest::newRow("W beyond the double range") << QStringList{"2e308", "52", "1", "1", "13"};
        QTest::newRow("gear inches beyond the double range")
            << QStringList{"1e300", "1e300", "1e-300", "1", "1"};
    }

    void aFailedCalculationShowsTheOneMessageAndKeepsTheResults() {
        QFETCH(QStringList, inputs);
        f().enter({"26", "52", "1", "1", "13"});
        ui().cmdCalculate->click();
        const QStringList before = results();

        f().enter(inputs);
        ui().cmdCalculate->setFocus();
        ui().cmdCalculate->click();

        QCOMPARE(f().messages.messages.size(), std::size_t{1});
        QCOMPARE(f().messages.messages[0].prompt, kPrompt);
        QCOMPARE(f().messages.messages[0].title, kTitle);
        QCOMPARE(QApplication::focusWidget(), ui().txtDrive1);
        QCOMPARE(results(), before);
        QCOMPARE(f().inputs(), inputs);

        // Nothing is kept from the failure: once the inputs are sound, the next click works.
        f().enter({"27", "39", "1", "1", "13"});
        ui().cmdCalculate->click();
        QCOMPARE(results().first(), QStringLiteral("81"));
        QCOMPARE(f().messages.messages.size(), std::size_t{1});
    }

    void anEmptyBOrCIsFilledWithOneWhenLeft_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("after");
        for (const char* box : {"txtDriven1", "txtDrive2"}) {
            QTest::addRow("%s empty", box) << box << ""
                                           << "1";
            QTest::addRow("%s a blank", box) << box << " "
                                             << " ";
            QTest::addRow("%s filled", box) << box << "3"
                                            << "3";
        }
        QTest::newRow("txtWheel has no rule") << "txtWheel"
                                              << ""
                                              << "";
        QTest::newRow("txtDrive1 has no rule") << "txtDrive1"
                                               << ""
                                               << "";
    }

    void anEmptyBOrCIsFilledWithOneWhenLeft() {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, after);
        auto* input = f().form.findChild<QLineEdit*>(box);
        input->setText(text);
        input->setFocus();
        QTest::keyClick(input, Qt::Key_Tab);
        QCOMPARE(input->text(), after);
        QVERIFY(QApplication::focusWidget() != input);
    }

    void clickingCalculateRunsTheRuleOfTheBoxBeingLeftFirst_data() {
        QTest::addColumn<QString>("box");
        QTest::newRow("B") << "txtDriven1";
        QTest::newRow("C") << "txtDrive2";
    }

    void clickingCalculateRunsTheRuleOfTheBoxBeingLeftFirst() {
        QFETCH(QString, box);
        f().enter({"26", "52", "1", "1", "13"});
        auto* input = f().form.findChild<QLineEdit*>(box);
        input->clear();
        input->setFocus();
        QTest::mouseClick(ui().cmdCalculate, Qt::LeftButton);
        QCOMPARE(input->text(), QStringLiteral("1"));
        QCOMPARE(ui().lblInches->text(), QStringLiteral("104"));
        QVERIFY(f().messages.messages.empty());
    }

    void leavingAFilledDSendsTheFocusToCalculate_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Tab") << "tab";
        QTest::newRow("Shift+Tab") << "backtab";
        QTest::newRow("click into txtWheel") << "click";
        QTest::newRow("click on Exit") << "exit";
    }

    void leavingAFilledDSendsTheFocusToCalculate() {
        QFETCH(QString, how);
        ui().txtDriven2->setText(QStringLiteral("1"));
        ui().txtDriven2->setFocus();
        if (how == "tab") {
            QTest::keyClick(ui().txtDriven2, Qt::Key_Tab);
        } else if (how == "backtab") {
            QTest::keyClick(ui().txtDriven2, Qt::Key_Backtab, Qt::ShiftModifier);
        } else if (how == "click") {
            QTest::mouseClick(ui().txtWheel, Qt::LeftButton);
        } else {
            QTest::mouseClick(ui().cmdExit, Qt::LeftButton);
            QCOMPARE(f().programEnd.count, 1);
        }
        QCOMPARE(QApplication::focusWidget(), ui().cmdCalculate);
        QCOMPARE(ui().txtDriven2->text(), QStringLiteral("1"));
    }

    void leavingAnEmptyDLetsTheFocusGoWhereItWasSentAndTheNextCalculationFails() {
        f().enter({"26", "52", "1", "1", ""});
        ui().txtDriven2->setFocus();
        QTest::mouseClick(ui().txtWheel, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), ui().txtWheel);
        QVERIFY(ui().txtDriven2->text().isEmpty());
        QTest::mouseClick(ui().cmdCalculate, Qt::LeftButton);
        QCOMPARE(f().messages.messages.size(), std::size_t{1});
    }

    void openingAMenuIsNotLeavingABox() {
        ui().txtDriven1->setFocus();
        ui().mnuFile->popup(f().form.mapToGlobal(QPoint(10, 10)));
        QTRY_VERIFY(ui().mnuFile->isVisible());
        ui().mnuFile->close();
        QTRY_VERIFY(!ui().mnuFile->isVisible());
        QVERIFY(ui().txtDriven1->text().isEmpty());
    }

    void enterAndEscDoNothing() {
        f().enter({"26", "52", "1", "1", "13"});
        ui().mnuSetupDefaults->trigger();
        // Leaving a filled D would send the focus on to "Calculate!": D comes last.
        for (QLineEdit* box : std::initializer_list<QLineEdit*>{
                 ui().txtDefWheel, ui().txtDefDriven2, ui().txtWheel, ui().txtDriven2}) {
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Return);
            QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
            QTest::keyClick(box, Qt::Key_Escape);
            QCOMPARE(QApplication::focusWidget(), box);
        }
        // On a button, Enter with Alt, Ctrl or Shift presses nothing either, as on Windows.
        for (CommandButton* button : {ui().cmdCalculate, ui().cmdExit}) {
            button->setFocus();
            for (const auto held : {Qt::AltModifier, Qt::ControlModifier, Qt::ShiftModifier}) {
                QTest::keyClick(button, Qt::Key_Return, held);
                QTest::keyClick(button, Qt::Key_Enter, held | Qt::KeypadModifier);
            }
        }
        QVERIFY(ui().lblInches->text().isEmpty());
        QVERIFY(ui().frmDefaults->isVisible()); // neither Save nor Cancel pressed
        QVERIFY(f().messages.messages.empty());
        QVERIFY(f().form.isVisible());
        QCOMPARE(f().programEnd.count, 0);
    }

    void exitEndsTheProgramAtOnce_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit button") << "click";
        QTest::newRow("Enter on Exit") << "Enter";
        QTest::newRow("keypad Enter on Exit") << "keypad Enter";
        QTest::newRow("File, Exit") << "menu";
        QTest::newRow("Alt+X in a box") << "alt-x";
    }

    void exitEndsTheProgramAtOnce() {
        QFETCH(QString, how);
        ui().txtWheel->setFocus();
        if (how == "menu") {
            ui().mnuFileExit->trigger();
        } else if (how == "alt-x") {
            QTest::keyClick(ui().txtWheel, Qt::Key_X, Qt::AltModifier);
        } else {
            Press(ui().cmdExit, how);
        }
        QTRY_COMPARE(f().programEnd.count, 1);
        QVERIFY(f().messages.messages.empty());
    }

    void theHelpMenuShowsTheContactPanelWithTheFocusOnOk() {
        ui().txtWheel->setFocus();
        ui().mnuHelpContact->trigger();
        QVERIFY(ui().frmHelpContact->isVisible());
        QCOMPARE(QApplication::focusWidget(), ui().cmdHelpOK);

        // Chosen again while shown: still shown, the focus back on OK.
        ui().txtWheel->setFocus();
        ui().mnuHelpContact->trigger();
        QVERIFY(ui().frmHelpContact->isVisible());
        QCOMPARE(QApplication::focusWidget(), ui().cmdHelpOK);
        QVERIFY(f().messages.messages.empty());
    }

    void aClickAnywhereOnTheContactPanelOrEnterOnOkHidesIt_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("key"); // pressed on OK, which has the focus, instead
        QTest::newRow("OK") << "cmdHelpOK" << QPoint(5, 5) << "";
        QTest::newRow("first line") << "lblHelpContact1" << QPoint(5, 5) << "";
        QTest::newRow("contact") << "lblHelpContact2" << QPoint(5, 5) << "";
        // Below the contact, left of OK: the panel's own background.
        QTest::newRow("background") << "frmHelpContact" << QPoint(20, 90) << "";
        QTest::newRow("Enter on OK") << "" << QPoint() << "Enter";
        QTest::newRow("keypad Enter on OK") << "" << QPoint() << "keypad Enter";
    }

    void aClickAnywhereOnTheContactPanelOrEnterOnOkHidesIt() {
        QFETCH(QString, target);
        QFETCH(QPoint, at);
        QFETCH(QString, key);
        ui().frmDefaults->show();
        ui().mnuHelpContact->trigger();
        if (key.isEmpty()) {
            QTest::mouseClick(f().form.findChild<QWidget*>(target), Qt::LeftButton, {}, at);
        } else {
            Press(ui().cmdHelpOK, key);
        }
        QVERIFY(ui().frmHelpContact->isHidden());
        // The other panel is left as it was.
        QVERIFY(ui().frmDefaults->isVisible());
    }

    void aRightClickDoesNotHideTheContactPanel() {
        ui().mnuHelpContact->trigger();
        QTest::mouseClick(ui().lblHelpContact1, Qt::RightButton);
        QVERIFY(ui().frmHelpContact->isVisible());
    }

    void anUntrappedErrorInAHandlerIsShownAndTheProgramGoesOn() {
        // With the window hidden, the help item's focus move cannot be done.
        f().form.hide();
        ui().mnuHelpContact->trigger();
        QCOMPARE(f().messages.messages.size(), std::size_t{1});
        QCOMPARE(f().messages.messages[0].prompt,
                 std::string("Invalid procedure call or argument"));
        QCOMPARE(f().messages.messages[0].title, std::string("PedalwiseNew"));

        f().form.show();
        QVERIFY(QTest::qWaitForWindowActive(&f().form));
        f().enter({"26", "52", "1", "1", "13"});
        QTest::mouseClick(ui().cmdCalculate, Qt::LeftButton);
        QCOMPARE(ui().lblInches->text(), QStringLiteral("104"));
    }

private:
    QStringList results() const {
        return {ui().lblInches->text(),  ui().lblSpeed60->text(), ui().lblSpeed70->text(),
                ui().lblSpeed80->text(), ui().lblSpeed90->text(), ui().lblSpeed100->text()};
    }
};

PEDALWISE_QTEST_MAIN(Form1EventTest)

#include "Form1EventTest.moc"
