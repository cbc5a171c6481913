#include "ui/main/AccessibleTextBox.h"

#include <QFontMetrics>
#include <QList>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cstdlib>
#include <utility>

// Why a text interface of our own: the one Qt 6.4 gives a line edit asks its word and sentence
// search for the unit at the end of the text and never comes back, so that a screen reader's
// usual question after Ctrl+Left ("which word was the caret at before?") hangs the program.
namespace pedalwise::ui {
namespace {

// Where the units of a text begin, in order, with the text's end last: a text of n units
// gives n + 1 offsets, an empty text only 0.
QList<int> UnitStarts(const QString& text, QAccessible::TextBoundaryType boundaryType) {
    QList<int> starts{0};
    const auto add = [&starts](qsizetype offset) {
        if (offset > starts.back()) {
            starts.push_back(static_cast<int>(offset));
        }
    };
    const auto addBoundaries = [&](QTextBoundaryFinder::BoundaryType type, bool wordStartsOnly) {
        QTextBoundaryFinder finder(type, text);
        for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary()) {
            if (!wordStartsOnly ||
                finder.boundaryReasons().testFlag(QTextBoundaryFinder::StartOfItem)) {
                add(at);
            }
        }
    };
    switch (boundaryType) {
    case QAccessible::CharBoundary:
        addBoundaries(QTextBoundaryFinder::Grapheme, false);
        break;
    case QAccessible::WordBoundary:
        // A word runs to the next word's start: the blanks after it belong to it.
        addBoundaries(QTextBoundaryFinder::Word, true);
        break;
    case QAccessible::SentenceBoundary:
        addBoundaries(QTextBoundaryFinder::Sentence, false);
        break;
    default:
        // A line, a paragraph or no boundary at all: the box's one line is its whole text.
        break;
    }
    add(text.size());
    return starts;
}

// A range of offsets as a screen reader gives it, brought inside a text of this length; an end
// of -1 stands for the text's end. The start may come out after the end.
std::pair<int, int> Span(int startOffset, int endOffset, int length) {
    return {std::clamp(startOffset, 0, length),
            endOffset < 0 ? length : std::clamp(endOffset, 0, length)};
}

} // namespace

AccessibleTextBox::AccessibleTextBox(QLineEdit* box)
    : QAccessibleWidget(box, QAccessible::EditableText) {}

QLineEdit* AccessibleTextBox::box() const {
    return static_cast<QLineEdit*>(widget());
}

void* AccessibleTextBox::interface_cast(QAccessible::InterfaceType type) {
    switch (type) {
    case QAccessible::TextInterface:
        return static_cast<QAccessibleTextInterface*>(this);
    case QAccessible::EditableTextInterface:
        return static_cast<QAccessibleEditableTextInterface*>(this);
    default:
        return QAccessibleWidget::interface_cast(type);
    }
}

QAccessible::State AccessibleTextBox::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.readOnly = box()->isReadOnly();
    state.selectableText = true;
    return state;
}

QString AccessibleTextBox::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Value) {
        return box()->text();
    }
    return QAccessibleWidget::text(kind);
}

void AccessibleTextBox::setText(QAccessible::Text kind, const QString& text) {
    if (kind == QAccessible::Value) {
        replaceText(0, characterCount(), text);
        return;
    }
    QAccessibleWidget::setText(kind, text);
}

QString AccessibleTextBox::text(int startOffset, int endOffset) const {
    const QString text = box()->text();
    const auto [start, end] = Span(startOffset, endOffset, static_cast<int>(text.size()));
    return text.mid(start, std::max(0, end - start));
}

int AccessibleTextBox::characterCount() const {
    return static_cast<int>(box()->text().size());
}

int AccessibleTextBox::cursorPosition() const {
    return box()->cursorPosition();
}

void AccessibleTextBox::setCursorPosition(int position) {
    box()->setCursorPosition(position);
}

int AccessibleTextBox::selectionCount() const {
    return box()->hasSelectedText() ? 1 : 0;
}

void AccessibleTextBox::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && box()->hasSelectedText()) {
        *startOffset = box()->selectionStart();
        *endOffset = box()->selectionEnd();
    }
}

void AccessibleTextBox::addSelection(int startOffset, int endOffset) {
    // A line edit has one selection at most.
    setSelection(0, startOffset, endOffset);
}

void AccessibleTextBox::removeSelection(int selectionIndex) {
    if (selectionIndex == 0) {
        box()->deselect();
    }
}

void AccessibleTextBox::setSelection(int selectionIndex, int startOffset, int endOffset) {
    if (selectionIndex == 0) {
        const auto [start, end] = Span(startOffset, endOffset, characterCount());
        box()->setSelection(start, end - start);
    }
}

QString AccessibleTextBox::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                        int* startOffset, int* endOffset) const {
    return unitAt(offset, boundaryType, 0, startOffset, endOffset);
}

QString AccessibleTextBox::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                            int* startOffset, int* endOffset) const {
    return unitAt(offset, boundaryType, -1, startOffset, endOffset);
}

QString AccessibleTextBox::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                           int* startOffset, int* endOffset) const {
    return unitAt(offset, boundaryType, 1, startOffset, endOffset);
}

QString AccessibleTextBox::unitAt(int offset, QAccessible::TextBoundaryType boundaryType, int step,
                                  int* startOffset, int* endOffset) const {
    const QString text = box()->text();
    const int length = static_cast<int>(text.size());
    if (offset == -1) {
        offset = length;
    } else if (offset == -2) {
        offset = box()->cursorPosition();
    }
    *startOffset = *endOffset = -1;
    if (offset < 0 || offset > length) {
        return {};
    }
    if (boundaryType == QAccessible::NoBoundary) {
        // The whole text is the one unit; there is nothing before or after it.
        *startOffset = step == 0 ? 0 : offset;
        *endOffset = step == 0 ? length : offset;
        return step == 0 ? text : QString();
    }
    const QList<int> starts = UnitStarts(text, boundaryType);
    const int units = static_cast<int>(starts.size()) - 1;
    // The unit that holds the offset. At the end of the text that is the last word, sentence or
    // line, but no character: the caret stands after the last one.
    int unit =
        static_cast<int>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) -
        1;
    if (offset == length && boundaryType != QAccessible::CharBoundary) {
        unit = units - 1;
    }
    unit += step;
    if (unit < 0 || unit >= units) {
        *startOffset = *endOffset = offset;
        return {};
    }
    *startOffset = starts[unit];
    *endOffset = starts[unit + 1];
    return text.mid(*startOffset, *endOffset - *startOffset);
}

QRect AccessibleTextBox::characterRect(int offset) const {
    const QString text = box()->text();
    if (offset < 0 || offset >= text.size()) {
        return {};
    }
    // Measured from the caret, the one place in the text Qt tells where it is drawn, whether
    // or not the text is scrolled.
    const QRectF caret = box()->inputMethodQuery(Qt::ImCursorRectangle).toRectF();
    const QFontMetrics metrics(box()->font());
    const int caretAt = box()->cursorPosition();
    const int left = qRound(caret.center().x()) - metrics.horizontalAdvance(text.left(caretAt)) +
                     metrics.horizontalAdvance(text.left(offset));
    const int height = metrics.height();
    const QRect inBox(left, qRound(caret.center().y()) - height / 2,
                      metrics.horizontalAdvance(text.mid(offset, 1)), height);
    return inBox.translated(box()->mapToGlobal(QPoint(0, 0)));
}

int AccessibleTextBox::offsetAtPoint(const QPoint& point) const {
    const QPoint inBox = box()->mapFromGlobal(point);
    if (!box()->rect().contains(inBox)) {
        return -1;
    }
    // The caret position nearest the point lies after the character under it when the point
    // is on the character's right half.
    const int nearest = box()->cursorPositionAt(inBox);
    if (nearest > 0 && !characterRect(nearest).contains(point) &&
        characterRect(nearest - 1).contains(point)) {
        return nearest - 1;
    }
    return nearest;
}

void AccessibleTextBox::scrollToSubstring(int startIndex, int endIndex) {
    // The box scrolls only to keep its caret in view.
    box()->setCursorPosition(endIndex);
    box()->setCursorPosition(startIndex);
}

QString AccessibleTextBox::attributes(int offset, int* startOffset, int* endOffset) const {
    // The whole text has the box's one font and colour: a single run without attributes.
    const int length = characterCount();
    const bool inText = (offset >= 0 && offset <= length) || offset == -1 || offset == -2;
    *startOffset = inText ? 0 : -1;
    *endOffset = inText ? length : -1;
    return {};
}

void AccessibleTextBox::deleteText(int startOffset, int endOffset) {
    replaceText(startOffset, endOffset, QString());
}

void AccessibleTextBox::insertText(int offset, const QString& text) {
    replaceText(offset, offset, text);
}

void AccessibleTextBox::replaceText(int startOffset, int endOffset, const QString& text) {
    if (box()->isReadOnly()) {
        return;
    }
    const auto [start, end] = Span(startOffset, endOffset, characterCount());
    // Selected and typed over, as a user would: the box keeps its length limit and its undo.
    box()->setSelection(std::min(start, end), std::abs(end - start));
    box()->insert(text);
}

} // namespace pedalwise::ui
