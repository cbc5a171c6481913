// A text box as assistive technologies reach it: its text by unit and range, its caret and
// selection, where its characters lie, and edits, at every kind of offset; and text that the
// box's limit cuts short, however it arrives, cut between characters and undone as one edit.
#include "ui/controls/Controls.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTextLayout>
#include <QTimer>

#include <memory>
#include <optional>

using namespace pedalwise::ui;

namespace {

const QString kBicycle = QStringLiteral("\U0001F6B2"); // two UTF-16 code units

// A box's state written out: its text, "|" where the caret stands and "[...]" around the
// selection, such as "52 [te]|eth". In the rows the bicycle is written as "@".
QString StateOf(const QLineEdit& box) {
    QString state = box.text();
    const int caret = box.cursorPosition();
    if (box.hasSelectedText()) {
        const int start = box.selectionStart();
        const int end = start + static_cast<int>(box.selectedText().size());
        state.insert(end, caret == end ? "]|" : "]");
        state.insert(start, caret == start ? "|[" : "[");
    } else {
        state.insert(caret, '|');
    }
    return state.replace(kBicycle, "@");
}

// Puts a box into a state written as StateOf writes it, with the caret after a selection.
void SetState(QLineEdit& box, QString state) {
    state.replace("@", kBicycle);
    const qsizetype selection = state.indexOf('[');
    const QString text = QString(state).remove('[').remove(']').remove('|');
    box.setText(text);
    if (selection >= 0) {
        box.setSelection(static_cast<int>(selection),
                         static_cast<int>(state.indexOf(']') - selection - 1));
    } else {
        box.setCursorPosition(static_cast<int>(state.indexOf('|')));
    }
}

// What the box answers to one call, written as the rows write it: "at 8 word", "text 0 -1",
// "insert -1 ^" and so on, a unit given by its text, start and end.
QString Answer(QAccessibleInterface& box, const QString& call) {
    const QStringList words = QString(call).replace("@", kBicycle).split(' ');
    const auto number = [&words](int i) { return words.value(i + 1).toInt(); };
    QAccessibleTextInterface& read = *box.textInterface();
    QAccessibleEditableTextInterface& write = *box.editableTextInterface();
    const QString& verb = words.at(0);
    int start = 0;
    int end = 0;
    if (verb == "at" || verb == "before" || verb == "after") {
        const auto type = static_cast<QAccessible::TextBoundaryType>(
            QStringList{"char", "word", "sentence", "paragraph", "line", "none"}.indexOf(
                words.at(2)));
        const QString unit = verb == "at" ? read.textAtOffset(number(0), type, &start, &end)
                             : verb == "before"
                                 ? read.textBeforeOffset(number(0), type, &start, &end)
                                 : read.textAfterOffset(number(0), type, &start, &end);
        return QStringLiteral("%1 %2 %3").arg(unit).arg(start).arg(end).replace(kBicycle, "@");
    }
    if (verb == "text") {
        return read.text(number(0), number(1)).replace(kBicycle, "@");
    }
    if (verb == "selection") {
        read.selection(0, &start, &end);
        return QStringLiteral("%1 %2 of %3").arg(start).arg(end).arg(read.selectionCount());
    }
    if (verb == "caret") {
        read.setCursorPosition(number(0));
    } else if (verb == "select") {
        read.setSelection(0, number(0), number(1));
    } else if (verb == "insert") {
        write.insertText(number(0), words.value(2));
    } else if (verb == "delete") {
        write.deleteText(number(0), number(1));
    } else {
        write.replaceText(number(0), number(1), words.value(3));
    }
    return {};
}

} // namespace

// Each test has a box of its own in a window of its own, shown and active.
class TextBoxTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        m_window = std::make_unique<QWidget>();
        m_window->resize(300, 40);
        m_box = new TextBox(m_window.get());
        m_box->setGeometry(10, 10, 200, 20);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    // A row gives the box's state, a call, what it answers, and the state it leaves. A unit
    // is answered as its text and its start and end; where there is none, -1 and -1.
    void screenReadersGetTheRightAnswerAtEveryOffset_data() {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("after");
        const auto row = [](const char* name, const char* state, const char* call,
                            const char* answer, const char* after = nullptr) {
            QTest::newRow(name) << state << call << answer << (after ? after : state);
        };
        // Units: a word runs to the next one's start, also at the end, where Ctrl+Left asks.
        row("word at the end, and at -1", "52 teeth|", "at -1 word", "teeth 3 8");
        row("word at -2, the caret", "52| teeth", "at -2 word", "52  0 3");
        row("word with its blanks", "52 teeth |", "at 9 word", "teeth  3 9");
        row("word after", "52 teeth|", "after 0 word", "teeth 3 8");
        row("word before", "52 teeth|", "before 3 word", "52  0 3");
        row("no word before the first", "52 teeth|", "before 1 word", " -1 -1");
        row("no word after the last", "52 teeth|", "after 5 word", " -1 -1");
        row("past the end, the end", "52 teeth|", "at 11 word", "teeth 3 8");
        row("before the start, the start", "52 teeth|", "at -3 word", "52  0 3");
        row("sentence at the end", "52 teeth|", "at 8 sentence", "52 teeth 0 8");
        row("the line is the text", "52 teeth|", "at 4 line", "52 teeth 0 8");
        row("nothing after the whole text", "52 teeth|", "after 4 none", " -1 -1");
        row("no character at the end", "52 teeth|", "at 8 char", " -1 -1");
        row("the bicycle whole from its second half", "a@b|", "at 2 char", "@ 1 3");
        row("nothing in an empty box", "|", "at 0 word", " -1 -1");
        // Ranges: -1 the end, -2 the caret, either way round, clipped, whole characters.
        row("to the caret", "52| teeth", "text 0 -2", "52");
        row("end first, clipped", "52 teeth|", "text 11 3", "teeth");
        row("whole characters at both ends", "a@@b|", "text 2 4", "@@");
        // The caret and the selection.
        row("no selection", "52| teeth", "selection", "-1 -1 of 0");
        row("a selection", "52 [te]|eth", "selection", "3 5 of 1");
        row("caret past the end", "52| teeth", "caret 11", "", "52 teeth|");
        row("caret off the bicycle's second half", "a@b|", "caret 2", "", "a|@b");
        row("selected end first, to -1", "52 teeth|", "select -1 3", "", "52 [teeth]|");
        row("the bicycle selected whole", "a@b|", "select 2 3", "", "a[@]|b");
        // Edits keep every character the call does not name.
        row("insert at -1, the end", "52| teeth", "insert -1 ^", "", "52 teeth^|");
        row("insert at -2, the caret", "52| teeth", "insert -2 ^", "", "52^| teeth");
        row("insert before the start", "52 [te]|eth", "insert -3 ^", "", "^|52 teeth");
        row("insert off the bicycle's second half", "a@b|", "insert 2 x", "", "ax|@b");
        row("empty insert changes nothing", "52 [te]|eth", "insert 0", "");
        row("delete end first", "52 teeth|", "delete 8 3", "", "52 |");
        row("delete takes the bicycle whole", "a@b|", "delete 1 2", "", "a|b");
        row("empty delete leaves caret and selection", "52 [te]|eth", "delete 8 8", "");
        row("replace past the end", "52 teeth|", "replace 0 11 x", "", "x|");
    }

    void screenReadersGetTheRightAnswerAtEveryOffset() {
        QFETCH(QString, state);
        QFETCH(QString, call);
        TextBox& box = *m_box;
        SetState(box, state);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&box);
        QTEST(Answer(*accessible, call), "answer");
        QTEST(StateOf(box), "after");
    }

    // Texts long enough to be measured in pieces, with letters that kern, accents, characters
    // outside the Basic Multilingual Plane and a long run of blanks, and a right-to-left text in
    // a left-to-right box; each scrolled to its end.
    void characterRectanglesLieWhereTheBoxDrawsItsCharacters_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("kerning") << QStringLiteral("AVATAR To 52 ").repeated(80);
        QTest::newRow("accents, bicycles") << ("e\u0301t a" + kBicycle + "b ").repeated(120);
        QTest::newRow("blanks") << QString(700, ' ') + "52";
        QTest::newRow("right to left")
            << QStringLiteral("\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD ").repeated(12);
    }

    void characterRectanglesLieWhereTheBoxDrawsItsCharacters() {
        QFETCH(QString, text);
        TextBox& box = *m_box;
        box.setText(text);
        QCoreApplication::processEvents(); // painted, scrolled to the caret at the end
        QAccessibleTextInterface& read =
            *QAccessible::queryAccessibleInterface(&box)->textInterface();
        const QPoint boxAt = box.mapToGlobal(QPoint(0, 0));
        // The whole line laid out at once, in the direction its text takes: each character lies
        // where this layout puts it, shifted by where the box's line starts.
        QTextLayout layout(text, box.font());
        QTextOption option;
        option.setFlags(QTextOption::IncludeTrailingSpaces);
        layout.setTextOption(option);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        std::optional<qreal> shift;
        const int length = static_cast<int>(text.size());
        const int last = layout.previousCursorPosition(length);
        for (int offset = 0; offset <= last; offset += std::max(1, length / 40)) {
            if (text.at(offset).isLowSurrogate() ||
                text.at(offset).category() == QChar::Mark_NonSpacing) {
                continue;
            }
            const auto [left, right] = std::minmax(
                {line.cursorToX(offset), line.cursorToX(layout.nextCursorPosition(offset))});
            const QRect rect = read.characterRect(offset);
            shift = shift.value_or(rect.left() - left);
            QVERIFY2(std::abs(rect.left() - *shift - left) <= 1 &&
                         std::abs(rect.left() + rect.width() - *shift - right) <= 1,
                     qPrintable(QString::number(offset)));
            const bool shown = box.rect().contains(rect.center() - boxAt);
            QCOMPARE(read.offsetAtPoint(rect.center()), shown ? offset : -1);
        }
        // Scrolled to its end, the box shows its last two characters.
        for (const int offset : {layout.previousCursorPosition(last), last}) {
            QVERIFY(box.rect().contains(read.characterRect(offset).center() - boxAt));
        }
        QCOMPARE(read.characterRect(length), QRect());
    }

    // 32,762 characters and "12" typed; then "ab", a bicycle and "cd" arrive, with room for
    // three code units: the box keeps "ab", and one Ctrl+Z takes back what arrived, or only what
    // was typed after it. A bicycle typed with room for one unit is left out, and the typing
    // before it still undoes.
    void textTheLimitCutsIsCutWholeAndUndoneInOne_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<QString>("typedAfter");
        QTest::addColumn<QString>("afterUndo");
        QTest::newRow("pasted") << "pasted" << QString() << QStringLiteral("12");
        QTest::newRow("pasted from the menu") << "menu" << QString() << QStringLiteral("12");
        QTest::newRow("typed after a paste") << "pasted"
                                             << "9" << QStringLiteral("12ab");
        QTest::newRow("typed after a paste from the menu") << "menu"
                                                           << "9" << QStringLiteral("12ab");
        // A drop at the caret, an input method's text and a screen reader's insertion join the
        // typing before them, as they do below the limit.
        for (const char* way : {"dropped", "input method", "screen reader", "typed"}) {
            QTest::newRow(way) << way << QString() << QString();
        }
    }

    void textTheLimitCutsIsCutWholeAndUndoneInOne() {
        QFETCH(QString, way);
        TextBox& box = *m_box;
        box.setFocus();
        const QString start(way == "typed" ? 32764 : 32762, '7');
        box.setText(start);
        QTest::keyClicks(&box, "12");
        const QString arriving = "ab" + kBicycle + "cd";
        if (way == "pasted") {
            QGuiApplication::clipboard()->setText(arriving);
            QTest::keySequence(&box, QKeySequence::Paste);
        } else if (way == "menu") {
            QGuiApplication::clipboard()->setText(arriving);
            QTimer::singleShot(0, &box, [] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                QVERIFY(menu != nullptr);
                for (QAction* action : menu->actions()) {
                    if (action->text().startsWith(QStringLiteral("&Paste"))) {
                        action->trigger();
                    }
                }
                menu->close();
            });
            QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(1, 1),
                                      box.mapToGlobal(QPoint(1, 1)));
            QApplication::sendEvent(&box, &menuKey);
        } else if (way == "dropped") {
            QMimeData data;
            data.setText(arriving);
            QCoreApplication::processEvents(); // drawn, scrolled to the caret
            const QRectF caret = box.inputMethodQuery(Qt::ImCursorRectangle).toRectF();
            // Qt delivers a drop to where the drag last entered.
            QDragEnterEvent enter(caret.center().toPoint(), Qt::CopyAction, &data, Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(&box, &enter);
            QDropEvent drop(caret.center(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&box, &drop);
        } else if (way == "input method") {
            QInputMethodEvent commit;
            commit.setCommitString(arriving);
            QApplication::sendEvent(&box, &commit);
        } else if (way == "screen reader") {
            QAccessible::queryAccessibleInterface(&box)->editableTextInterface()->insertText(
                -1, arriving);
        } else {
            QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, kBicycle);
            QApplication::sendEvent(&box, &typed);
        }
        QFETCH(QString, typedAfter);
        QTest::keyClicks(&box, typedAfter);
        QCOMPARE(box.text().mid(start.size()), (way == "typed" ? "12" : "12ab") + typedAfter);
        QTest::keySequence(&box, QKeySequence::Undo);
        QTEST(box.text().mid(start.size()), "afterUndo");
    }

private:
    std::unique_ptr<QWidget> m_window;
    TextBox* m_box = nullptr;
};

QTEST_MAIN(TextBoxTest)

#include "TextBoxTest.moc"
