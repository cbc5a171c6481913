// The main window as laid out: every control's name, kind, container, text, place and size,
// its colours and fonts, the menus, the stacking of the panels, the tab order and what screen
// readers are told. Positions are given in twips, as the window was designed.
#include "support/Form1Fixture.h"

#include <QAccessible>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMenuBar>
#include <QToolButton>

using namespace pedalwise::ui;

namespace {

int Px(int twips) {
    return twips / 15;
}

QString TextOf(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    if (const auto* box = qobject_cast<const QLineEdit*>(control)) {
        return box->text();
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(control)) {
        return frame->title();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->text();
    }
    return {};
}

QString AccessibleText(QObject* object, QAccessible::Text kind) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(object);
    return accessible != nullptr ? accessible->text(kind) : QStringLiteral("<none>");
}

} // namespace

class Form1LayoutTest : public Form1TestCase {
    Q_OBJECT
private slots:
    void everyControlHasItsKindContainerTextAndPlace_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("container");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("twips");
        const auto row = [](const char* name, const char* kind, const char* container,
                            const QString& text, int left, int top, int width, int height) {
            QTest::newRow(name) << kind << container << text << QRect(left, top, width, height);
        };
        row("Label1", "QLabel", "Form1", "Bicycle Pedalwise Calculator", 570, 60, 6360, 345);
        row("Label7", "QLabel", "Form1", "Wheel Outside Diameter:", 2235, 705, 1845, 285);
        row("txtWheel", "QLineEdit", "Form1", "", 4185, 660, 885, 285);
        row("Frame1", "QGroupBox", "Form1", "Chain # 1 ", 210, 1215, 3420, 1275);
        row("Frame2", "QGroupBox", "Form1", "Chain # 2 ", 3855, 1215, 3450, 1275);
        row("cmdCalculate", "QPushButton", "Form1", "Calculate!", 1230, 2895, 1410, 345);
        row("Label6", "QLabel", "Form1", "Gear Inches =", 4605, 2880, 1575, 270);
        row("lblInches", "QLabel", "Form1", "", 6240, 2880, 1095, 315);
        row("lblSpeedHeader1", "QLabel", "Form1", "Approximate Speed (mph) at Cadence...", 4515,
            3495, 2850, 270);
        // 3 blanks, 60, 9 blanks, 70, 10 blanks, 80, 9 blanks, 90, 8 blanks, 100.
        const QString header2 = QString(3, ' ') + "60" + QString(9, ' ') + "70" + QString(10, ' ') +
                                "80" + QString(9, ' ') + "90" + QString(8, ' ') + "100";
        row("lblSpeedHeader2", "QLabel", "Form1", header2, 4515, 3735, 2895, 225);
        row("lblSpeed60", "QLabel", "Form1", "", 4530, 3960, 435, 330);
        row("lblSpeed70", "QLabel", "Form1", "", 5130, 3960, 435, 330);
        row("lblSpeed80", "QLabel", "Form1", "", 5730, 3960, 435, 330);
        row("lblSpeed90", "QLabel", "Form1", "", 6330, 3960, 435, 330);
        row("lblSpeed100", "QLabel", "Form1", "", 6930, 3960, 435, 330);
        row("Picture1", "pedalwise::ui::PictureBox", "Form1", "", 345, 3600, 3735, 1545);
        row("cmdExit", "QPushButton", "Form1", "E&xit", 6390, 4635, 870, 345);
        row("frmDefaults", "QGroupBox", "Form1", "Set Default Values ", 690, 1695, 5085, 3120);
        row("frmHelpContact", "QGroupBox", "Form1", "Frame3", 1845, 240, 3735, 1650);

        row("Label2", "QLabel", "Frame1", "Drive Sprocket (A): #Teeth:", 45, 390, 2205, 255);
        row("txtDrive1", "QLineEdit", "Frame1", "", 2415, 345, 765, 285);
        row("Label3", "QLabel", "Frame1", "Driven Sprocket (B): # Teeth:", 120, 825, 2115, 300);
        row("txtDriven1", "QLineEdit", "Frame1", "", 2415, 765, 780, 285);
        row("Label4", "QLabel", "Frame2", "Drive Sprocket (C): #Teeth:", 150, 390, 2145, 255);
        row("txtDrive2", "QLineEdit", "Frame2", "", 2340, 330, 840, 285);
        row("Label5", "QLabel", "Frame2", "Driven Sprocket (D): # Teeth:", 30, 765, 2235, 300);
        row("txtDriven2", "QLineEdit", "Frame2", "", 2355, 705, 840, 285);

        row("lblDefWheel", "QLabel", "frmDefaults", "Wheel Outside Diameter...", 240, 360, 1935,
            255);
        row("txtDefWheel", "QLineEdit", "frmDefaults", "", 3180, 300, 975, 285);
        row("lblDefChain1", "QLabel", "frmDefaults", "Chain # 1", 180, 690, 1545, 195);
        row("lblDefDrive1", "QLabel", "frmDefaults", "Drive Sprocket (A): # Teeth:", 720, 975, 2355,
            315);
        row("txtDefDrive1", "QLineEdit", "frmDefaults", "", 3210, 900, 945, 285);
        row("Label8", "QLabel", "frmDefaults", "Driven Sprocket (B): # Teeth:", 720, 1260, 2265,
            270);
        row("txtDefDriven1", "QLineEdit", "frmDefaults", "", 3210, 1245, 945, 285);
        row("lblDefChain2", "QLabel", "frmDefaults", "Chain # 2", 180, 1545, 945, 240);
        row("txtDefDrive2", "QLineEdit", "frmDefaults", "", 3210, 1740, 945, 285);
        row("lblDefDriveC", "QLabel", "frmDefaults", "Drive Sprocket (C): #Teeth:", 720, 1815, 2190,
            240);
        row("txtDefDriven2", "QLineEdit", "frmDefaults", "", 3210, 2085, 945, 270);
        row("lblDefDrivenD", "QLabel", "frmDefaults", "Driven Sprocket (D): # Teeth:", 720, 2115,
            2265, 225);
        row("cmdDefaultCancel", "QPushButton", "frmDefaults", "&Cancel", 1710, 2670, 975, 300);
        row("cmdDefaultSave", "QPushButton", "frmDefaults", "&Save Defaults", 2955, 2670, 1815,
            315);

        row("lblHelpContact1", "QLabel", "frmHelpContact",
            "For assistance with this program please contact:", 180, 75, 3540, 270);
        row("cmdHelpOK", "QPushButton", "frmHelpContact", "OK", 1650, 1065, 510, 345);
    }

    void everyControlHasItsKindContainerTextAndPlace() {
        QFETCH(QString, kind);
        QFETCH(QString, container);
        QFETCH(QString, text);
        QFETCH(QRect, twips);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        auto* control = f().form.findChild<QWidget*>(name);
        QVERIFY2(control != nullptr, qPrintable(name));
        QVERIFY2(control->inherits(kind.toLatin1()), control->metaObject()->className());
        QWidget* expectedContainer = container == "Form1" ? f().form.centralWidget()
                                                          : f().form.findChild<QWidget*>(container);
        QCOMPARE(control->parentWidget(), expectedContainer);
        QCOMPARE(TextOf(control), text);
        QCOMPARE(control->geometry(),
                 QRect(Px(twips.x()), Px(twips.y()), Px(twips.width()), Px(twips.height())));
    }

    void theWindowIsPlacedSizedAndTitledAsDesigned() {
        Form1& form = f().form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Pedalwise Calculator"));
        QVERIFY(!form.windowIcon().isNull());
        QCOMPARE(form.windowState(), Qt::WindowNoState);
        QWidget* client = form.centralWidget();
        QCOMPARE(client->size(), QSize(508, 370));
        QCOMPARE(client->mapToGlobal(QPoint(0, 0)), QPoint(171, 142));
        // Sizable, and the menu bar lies above the client area, not over it.
        QVERIFY(form.minimumWidth() < 508 && form.maximumWidth() > 508);
        QCOMPARE(form.menuBar()->geometry().bottom() + 1, client->geometry().top());
        QCOMPARE(client->palette().color(QPalette::Window), QColor(255, 224, 192));
        QVERIFY(client->autoFillBackground());
    }

    void resizingMovesNoControl() {
        Form1& form = f().form;
        QHash<QWidget*, QRect> before;
        for (QWidget* control : form.centralWidget()->findChildren<QWidget*>()) {
            before.insert(control, control->geometry());
        }
        // The menu bar's own tool button, its overflow: shown with Qt's mark when the window is
        // narrower than the three menu titles, which then move into it.
        const QList<QToolButton*> buttons = form.menuBar()->findChildren<QToolButton*>();
        QCOMPARE(buttons.size(), 1);
        const QToolButton* overflow = buttons.first();
        const QList<QPair<QSize, bool>> sizes{
            {QSize(800, 600), false}, {QSize(200, 150), false}, {QSize(80, 150), true}};
        for (const auto& [size, overflowShown] : sizes) {
            form.resize(size);
            QTRY_COMPARE(form.size(), size);
            for (auto it = before.cbegin(); it != before.cend(); ++it) {
                QCOMPARE(it.key()->geometry(), it.value());
            }
            QTRY_COMPARE(overflow->isVisible(), overflowShown);
            const QImage mark = overflow->icon().pixmap(16).toImage();
            QImage blank(mark.size(), mark.format());
            blank.fill(Qt::transparent);
            QVERIFY(!mark.isNull() && mark != blank);
        }
        // A larger window shows more of the peach client area.
        form.resize(800, 600);
        QTRY_COMPARE(form.centralWidget()->width(), 800);
    }

    void atStartTheInputsAndResultsAreEmptyAndBothPanelsHidden() {
        const Form1Controls& c = ui();
        for (QLineEdit* box :
             {static_cast<QLineEdit*>(c.txtWheel), static_cast<QLineEdit*>(c.txtDrive1),
              static_cast<QLineEdit*>(c.txtDriven1), static_cast<QLineEdit*>(c.txtDrive2),
              static_cast<QLineEdit*>(c.txtDriven2)}) {
            QVERIFY(box->text().isEmpty());
        }
        for (QLabel* result :
             {c.lblInches, c.lblSpeed60, c.lblSpeed70, c.lblSpeed80, c.lblSpeed90, c.lblSpeed100}) {
            QVERIFY(result->text().isEmpty());
        }
        QVERIFY(c.frmDefaults->isHidden());
        QVERIFY(c.frmHelpContact->isHidden());
        QCOMPARE(QApplication::focusWidget(), c.txtWheel);
    }

    void textBoxesHoldUpTo32767CharactersAndNeverHalfOfOne() {
        const QString longText(100000, QLatin1Char('9'));
        const QString nines = longText.left(32766);
        const QString bicycle = QStringLiteral("\U0001F6B2"); // two UTF-16 code units
        for (QLineEdit* box : f().form.findChildren<QLineEdit*>()) {
            box->setText(longText);
            QCOMPARE(box->text(), longText.left(32767));
            QVERIFY(box->alignment() & Qt::AlignLeft);
            // A character across the cut is left out whole, set (or loaded) and typed alike.
            box->setText(nines + bicycle);
            QCOMPARE(box->text(), nines);
            box->setCursorPosition(10);
            QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, bicycle);
            QApplication::sendEvent(box, &typed);
            QCOMPARE(box->text(), nines);
        }
    }

    void fontsColoursAndAlignment() {
        const Form1Controls& c = ui();
        for (QWidget* control : f().form.centralWidget()->findChildren<QWidget*>()) {
            const int expected = control == c.Label1                               ? 18
                                 : (control == c.Label6 || control == c.lblInches) ? 16
                                                                                   : 11;
            QCOMPARE(control->font().pixelSize(), expected);
            QCOMPARE(control->font().family(), QStringLiteral("MS Sans Serif"));
            const QString actual = QFontInfo(control->font()).family();
            QVERIFY2(actual == "MS Sans Serif" || actual == "Liberation Sans", qPrintable(actual));
        }
        QVERIFY(c.lblDefChain1->font().italic());
        QVERIFY(c.lblDefChain2->font().italic());

        QCOMPARE(c.Label1->palette().color(QPalette::WindowText), QColor(192, 64, 0));
        QCOMPARE(c.Label1->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        for (QLabel* label : {c.Label7, c.Label2, c.Label3, c.Label4, c.Label5}) {
            QCOMPARE(label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        }
        for (QWidget* frame : {c.Frame1, c.Frame2}) {
            QCOMPARE(frame->palette().color(QPalette::Window), QColor(255, 224, 192));
        }
        for (QLabel* header : {c.lblSpeedHeader1, c.lblSpeedHeader2}) {
            QVERIFY(header->autoFillBackground());
            QCOMPARE(header->palette().color(QPalette::Window), QColor(224, 224, 224));
        }
        const QColor system = QApplication::palette().color(QPalette::Window);
        for (QLabel* speed :
             {c.lblSpeed60, c.lblSpeed70, c.lblSpeed80, c.lblSpeed90, c.lblSpeed100}) {
            QCOMPARE(speed->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
            QCOMPARE(speed->frameShape(), QFrame::Box);
            QCOMPARE(speed->palette().color(QPalette::Window), system);
        }
        QCOMPARE(c.frmDefaults->palette().color(QPalette::Window), system);
        QCOMPARE(c.frmHelpContact->palette().color(QPalette::Window), QColor(64, 0, 0));
        for (QLabel* line : {c.lblHelpContact1, c.lblHelpContact2}) {
            QCOMPARE(line->palette().color(QPalette::Window), QColor(64, 0, 0));
            QCOMPARE(line->palette().color(QPalette::WindowText), QColor(255, 255, 192));
            QCOMPARE(line->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        }
        QCOMPARE(c.cmdHelpOK->palette().color(QPalette::Button),
                 QApplication::palette().color(QPalette::Button));
    }

    void everyLabelShowsItsWholeText() {
        for (QLabel* label : f().form.findChildren<QLabel*>()) {
            if (label->text().isEmpty()) {
                continue;
            }
            const QRect room = label->contentsRect();
            const int flags = label->alignment() | (label->wordWrap() ? Qt::TextWordWrap : 0);
            const QRect needed = label->fontMetrics().boundingRect(room, flags, label->text());
            QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
                     qPrintable(label->objectName()));
        }
    }

    void theContactShowsANameAndAnAddressOnTwoLines() {
        QLabel* contact = ui().lblHelpContact2;
        const QStringList words = contact->text().split(' ');
        QVERIFY(words.size() >= 2);
        QVERIFY(words.last().endsWith("example.org") && words.last().contains('@'));
        const QFontMetrics metrics = contact->fontMetrics();
        const QRect needed =
            metrics.boundingRect(contact->contentsRect(), Qt::TextWordWrap, contact->text());
        const QRect twoLines = metrics.boundingRect(QRect(0, 0, 1000, 1000), 0, "Name\nAddress");
        QCOMPARE(needed.height(), twoLines.height());
        QVERIFY(needed.height() <= contact->contentsRect().height());
    }

    void thePanelsLieAboveEverythingTheHelpPanelOnTop() {
        const Form1Controls& c = ui();
        c.frmDefaults->show();
        c.frmHelpContact->show();
        QWidget* client = f().form.centralWidget();
        const auto topmostPanelAt = [client](QPoint point) -> QWidget* {
            for (QWidget* w = client->childAt(point); w != nullptr; w = w->parentWidget()) {
                if (w->objectName().startsWith("frm")) {
                    return w;
                }
            }
            return nullptr;
        };
        // The strip where the panels overlap, and a point where the defaults panel covers the
        // chain frames.
        QCOMPARE(topmostPanelAt(QPoint(Px(1845) + 5, Px(1695) + 5)), c.frmHelpContact);
        QCOMPARE(topmostPanelAt(QPoint(Px(5580) - 5, Px(1890) - 3)), c.frmHelpContact);
        QCOMPARE(topmostPanelAt(QPoint(Px(690) + 5, Px(2000))), c.frmDefaults);
        QCOMPARE(topmostPanelAt(QPoint(Px(5775) - 5, Px(4815) - 5)), c.frmDefaults);
        c.frmHelpContact->hide();
        QCOMPARE(topmostPanelAt(QPoint(Px(1845) + 5, Px(1695) + 5)), c.frmDefaults);
    }

    void theMenusHaveTheirCaptionsInOrder() {
        const QList<QAction*> bar = f().form.menuBar()->actions();
        QCOMPARE(bar.size(), 3);
        const QList<QPair<QString, QStringList>> expected{
            {"&File", {"E&xit"}},
            {"Se&tup", {"Set Defaults"}},
            {"&Help", {"Program Help Contact", "A&bout Pedalwise"}}};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(bar[i]->text(), expected[i].first);
            QStringList items;
            for (QAction* item : bar[i]->menu()->actions()) {
                items << item->text();
                QVERIFY(item->shortcut().isEmpty());
                QVERIFY(!item->isCheckable());
                QVERIFY(item->isEnabled() && item->isVisible());
            }
            QCOMPARE(items, expected[i].second);
        }
        const Form1Controls& c = ui();
        QCOMPARE(c.mnuFileExit->objectName(), QStringLiteral("mnuFileExit"));
        QCOMPARE(c.mnuHelpAbout->parent(), c.mnuHelp);
    }

    void noButtonIsADefaultButton() {
        for (QPushButton* button : f().form.findChildren<QPushButton*>()) {
            QVERIFY2(!button->autoDefault() && !button->isDefault(),
                     qPrintable(button->objectName()));
        }
    }

    void tabVisitsTheVisibleControlsInOrderBothWays_data() {
        QTest::addColumn<bool>("panelsShown");
        QTest::addColumn<QStringList>("order");
        const QStringList main{"txtWheel",   "txtDrive1",    "txtDriven1", "txtDrive2",
                               "txtDriven2", "cmdCalculate", "cmdExit"};
        QTest::newRow("panels hidden") << false << main;
        QTest::newRow("panels shown")
            << true << main + QStringList{"txtDefWheel",    "txtDefDrive1",  "txtDefDriven1",
                                          "txtDefDrive2",   "txtDefDriven2", "cmdDefaultCancel",
                                          "cmdDefaultSave", "cmdHelpOK"};
    }

    void tabVisitsTheVisibleControlsInOrderBothWays() {
        QFETCH(bool, panelsShown);
        QFETCH(QStringList, order);
        const Form1Controls& c = ui();
        c.frmDefaults->setVisible(panelsShown);
        c.frmHelpContact->setVisible(panelsShown);
        // Filled boxes, so that the focus-leave rules change nothing on the way.
        for (QLineEdit* box : f().form.findChildren<QLineEdit*>()) {
            box->setText(QStringLiteral(" "));
        }
        c.txtDriven2->clear();
        c.txtWheel->setFocus();

        QStringList forward{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            forward << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(forward, order + QStringList{order.first()});

        QStringList backward{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
            backward << QApplication::focusWidget()->objectName();
        }
        QStringList reversed(order.rbegin(), order.rend());
        QCOMPARE(backward, QStringList{order.first()} + reversed);
    }

    void screenReadersGetNamesFromCaptionsTitlesAndResults() {
        const Form1Controls& c = ui();
        const QList<QPair<QObject*, QString>> named{
            {&f().form, "Pedalwise Calculator"},
            {c.txtWheel, "Wheel Outside Diameter:"},
            {c.txtDrive1, "Drive Sprocket (A): #Teeth:"},
            {c.txtDriven1, "Driven Sprocket (B): # Teeth:"},
            {c.txtDrive2, "Drive Sprocket (C): #Teeth:"},
            {c.txtDriven2, "Driven Sprocket (D): # Teeth:"},
            {c.txtDefWheel, "Wheel Outside Diameter..."},
            {c.txtDefDrive2, "Drive Sprocket (C): #Teeth:"},
            {c.txtDefDriven2, "Driven Sprocket (D): # Teeth:"},
            {c.cmdCalculate, "Calculate!"},
            {c.cmdHelpOK, "OK"},
            {c.cmdExit, "Exit"},
            {c.Frame1, "Chain # 1 "},
            {c.Picture1, "Tandem Bike Chain/Sprocket Layout"},
        };
        for (const auto& [object, name] : named) {
            QCOMPARE(AccessibleText(object, QAccessible::Name), name);
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(ui().Picture1)->role(),
                 QAccessible::Graphic);
        // A result is read out as its current text; its description says which result it is.
        const QList<QPair<QLabel*, QString>> results{
            {c.lblInches, "Gear Inches"},  {c.lblSpeed60, "Speed at 60"},
            {c.lblSpeed70, "Speed at 70"}, {c.lblSpeed80, "Speed at 80"},
            {c.lblSpeed90, "Speed at 90"}, {c.lblSpeed100, "Speed at 100"}};
        for (const auto& [label, description] : results) {
            label->setText(QStringLiteral("27"));
            QCOMPARE(AccessibleText(label, QAccessible::Name), QStringLiteral("27"));
            QCOMPARE(AccessibleText(label, QAccessible::Description), description);
        }
    }
};

PEDALWISE_QTEST_MAIN(Form1LayoutTest)

#include "Form1LayoutTest.moc"
