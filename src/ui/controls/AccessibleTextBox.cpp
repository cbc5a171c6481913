#include "ui/controls/AccessibleTextBox.h"

#include "ui/controls/Controls.h"

#include <QFontMetrics>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <array>
#include <utility>

// Why a text interface of our own: the one Qt 6.4 gives a line edit asks its word and sentence
// search for the unit at the end of the text and never comes back, so that a screen reader's
// usual question after Ctrl+Left ("which word was the caret at before?") hangs the program. It
// also measures the text from its start for each character's rectangle, takes -1 for the end
// only in some places, and edits by setting the whole text, which loses the undo history and
// can split a character. The tests that fail with Qt's own: TextBoxTest's
// screenReadersGetTheRightAnswerAtEveryOffset, and the end-to-end test_text_boxes and
// test_screen_reader.
// Listed in docs/workarounds.md (the four "Text boxes" rows).
namespace pedalwise::ui {
namespace {

// Where the units of a text begin, in order, with the text's end last: a text of n units
// gives n + 1 offsets, an empty text only 0.
QList<int> UnitStarts(const QString& text, QAccessible::TextBoundaryType boundaryType) {
    QList<int> starts{0};
    // Characters, words and sentences, the first three kinds; a line, a paragraph or no boundary
    // at all is the box's whole text, its one line.
    constexpr std::array kFinders{QTextBoundaryFinder::Grapheme, QTextBoundaryFinder::Word,
                                  QTextBoundaryFinder::Sentence};
    if (boundaryType < kFinders.size()) {
        QTextBoundaryFinder finder(kFinders.at(boundaryType), text);
        for (qsizetype at = finder.toNextBoundary(); at > 0 && at < text.size();
             at = finder.toNextBoundary()) {
            // A word runs to the next word's start: the blanks after it belong to it.
            if (boundaryType != QAccessible::WordBoundary ||
                finder.boundaryReasons().testFlag(QTextBoundaryFinder::StartOfItem)) {
                starts.push_back(static_cast<int>(at));
            }
        }
    }
    if (!text.isEmpty()) {
        starts.push_back(static_cast<int>(text.size()));
    }
    return starts;
}

// Whether the offset falls between the two halves of a character outside the Basic
// Multilingual Plane.
bool SplitsACharacter(const QString& text, int offset) {
    return offset > 0 && offset < text.size() && text.at(offset - 1).isHighSurrogate() &&
           text.at(offset).isLowSurrogate();
}

// An offset as a screen reader gives it, inside the text: -1 the end, -2 the caret, any other
// the nearer edge.
int Inside(int offset, const QString& text, int caret) {
    const int length = static_cast<int>(text.size());
    return offset == -1 ? length : offset == -2 ? caret : std::clamp(offset, 0, length);
}

// A place in the text: an offset inside it, at the start of a character it would split.
int Place(int offset, const QString& text, int caret) {
    const int at = Inside(offset, text, caret);
    return SplitsACharacter(text, at) ? at - 1 : at;
}

// A range inside the text, start first, taking in whole characters at both ends.
std::pair<int, int> Span(int startOffset, int endOffset, const QString& text, int caret) {
    auto [start, end] =
        std::minmax({Inside(startOffset, text, caret), Inside(endOffset, text, caret)});
    return {SplitsACharacter(text, start) ? start - 1 : start,
            SplitsACharacter(text, end) ? end + 1 : end};
}

} // namespace

AccessibleTextBox::AccessibleTextBox(TextBox* box)
    : QAccessibleWidget(box, QAccessible::EditableText) {}

TextBox* AccessibleTextBox::box() const {
    return static_cast<TextBox*>(widget());
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
    const auto [start, end] = Span(startOffset, endOffset, text, box()->cursorPosition());
    return text.mid(start, end - start);
}

int AccessibleTextBox::characterCount() const {
    return static_cast<int>(box()->text().size());
}

int AccessibleTextBox::cursorPosition() const {
    return box()->cursorPosition();
}

void AccessibleTextBox::setCursorPosition(int position) {
    box()->setCursorPosition(Place(position, box()->text(), box()->cursorPosition()));
}

int AccessibleTextBox::selectionCount() const {
    return box()->hasSelectedText() ? 1 : 0;
}

void AccessibleTextBox::selection(int selectionIndex, int* startOffset, int* endOffset) const {
    *startOffset = *endOffset = -1;
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
        const auto [start, end] =
            Span(startOffset, endOffset, box()->text(), box()->cursorPosition());
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

AccessibleTextBox::Measured& AccessibleTextBox::measured() const {
    if (m_measured.revision != box()->revision()) {
        m_measured = Measured{box()->revision(), {}, {}};
    }
    return m_measured;
}

QString AccessibleTextBox::unitAt(int offset, QAccessible::TextBoundaryType boundaryType, int step,
                                  int* startOffset, int* endOffset) const {
    const QString text = box()->text();
    const int length = static_cast<int>(text.size());
    offset = Place(offset, text, box()->cursorPosition());
    QList<int>& starts = measured().unitStarts[boundaryType];
    if (starts.isEmpty()) {
        starts = UnitStarts(text, boundaryType);
    }
    const int units = static_cast<int>(starts.size()) - 1;
    // The unit that holds the offset. At the end of the text that is the last word, sentence or
    // line, but no character: the caret stands after the last one.
    int unit = static_cast<int>(std::ranges::upper_bound(starts, offset) - starts.begin()) - 1;
    if (offset == length && boundaryType != QAccessible::CharBoundary) {
        unit = units - 1;
    }
    unit += step;
    if (unit < 0 || unit >= units) {
        *startOffset = *endOffset = -1;
        return {};
    }
    *startOffset = starts[unit];
    *endOffset = starts[unit + 1];
    return text.mid(*startOffset, *endOffset - *startOffset);
}

const TextPositions& AccessibleTextBox::positions() const {
    std::optional<TextPositions>& positions = measured().positions;
    if (!positions) {
        // What the box draws: its display text, in which control characters show as blanks.
        positions.emplace(box()->displayText(), box()->font());
    }
    return *positions;
}

AccessibleTextBox::Line AccessibleTextBox::line() const {
    const TextBox& box = *this->box();
    if (!m_placed || m_placed->paints != box.paints() || m_placed->revision != box.revision() ||
        m_placed->size != box.size()) {
        // The caret's rectangle is the one place on the line that Qt tells, wherever the text
        // is scrolled to.
        const QRectF caret = box.inputMethodQuery(Qt::ImCursorRectangle).toRectF();
        const QPointF origin(caret.center().x() - qRound(positions().caretX(box.cursorPosition())),
                             caret.center().y());
        m_placed = Placed{box.paints(), box.revision(), box.size(),
                          Line{origin, QFontMetrics(box.font()).height()}};
    }
    return m_placed->line;
}

QRect AccessibleTextBox::characterRect(int offset) const {
    const QString text = box()->text();
    offset = Place(offset, text, box()->cursorPosition());
    if (offset >= text.size()) {
        return {};
    }
    const Line where = line();
    const auto [left, right] = positions().characterEdges(offset);
    const int x = qRound(where.origin.x() + left);
    const QRect inBox(x, qRound(where.origin.y()) - where.height / 2,
                      qRound(where.origin.x() + right) - x, where.height);
    return inBox.translated(box()->mapToGlobal(QPoint(0, 0)));
}

int AccessibleTextBox::offsetAtPoint(const QPoint& point) const {
    const QPoint inBox = box()->mapFromGlobal(point);
    if (!box()->rect().contains(inBox)) {
        return -1;
    }
    return positions().offsetAt(inBox.x() - line().origin.x());
}

void AccessibleTextBox::scrollToSubstring(int startIndex, int endIndex) {
    // The box scrolls only to keep its caret in view.
    const auto [start, end] = Span(startIndex, endIndex, box()->text(), box()->cursorPosition());
    box()->setCursorPosition(end);
    box()->setCursorPosition(start);
}

QString AccessibleTextBox::attributes(int /*offset*/, int* startOffset, int* endOffset) const {
    // The whole text has the box's one font and colour: a single run without attributes.
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

void AccessibleTextBox::deleteText(int startOffset, int endOffset) {
    replaceText(startOffset, endOffset, QString());
}

void AccessibleTextBox::insertText(int offset, const QString& text) {
    const int at = Place(offset, box()->text(), box()->cursorPosition());
    edit(at, at, text);
}

void AccessibleTextBox::replaceText(int startOffset, int endOffset, const QString& text) {
    const auto [start, end] = Span(startOffset, endOffset, box()->text(), box()->cursorPosition());
    edit(start, end, text);
}

void AccessibleTextBox::edit(int start, int end, const QString& text) {
    const QString whole = box()->fitting(text, end - start);
    if (box()->isReadOnly() || (start == end && whole.isEmpty())) {
        // Nothing changes, the caret and the selection included.
        return;
    }
    box()->setSelection(start, end - start);
    box()->insert(whole);
}

} // namespace pedalwise::ui
