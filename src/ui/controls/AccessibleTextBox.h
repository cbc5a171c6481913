#pragma once

#include "ui/controls/TextPositions.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QSize>

#include <optional>

namespace pedalwise::ui {

class TextBox;

// What screen readers see of a text box: its text by character, word, sentence and line, its
// caret and selection, where its characters are drawn, and edits made through them. Words are
// counted from one word's start to the next one's, as AT-SPI's word-start boundary counts them;
// the box has a single line. Every answer costs about the same for any text a box holds.
class AccessibleTextBox : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface {
public:
    explicit AccessibleTextBox(TextBox* box);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text kind) const override;
    void setText(QAccessible::Text kind, const QString& text) override;

    // QAccessibleTextInterface. Offsets count UTF-16 code units, as everywhere in Qt and in
    // the box's own text events. Wherever an offset is taken, -1 stands for the end of the
    // text and -2 for the caret; any other offset outside the text stands for its nearer edge,
    // and one inside a character outside the Basic Multilingual Plane for the character's
    // start, or for its end where it ends a range. A range may be given end first. Where there
    // is no such unit or no selection, the offsets are -1, as Qt's own line edit answers.
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    int selectionCount() const override;
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // QAccessibleEditableTextInterface: each edit is one step the box can undo, as a paste is,
    // and inserts only the whole characters the box has room for.
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    TextBox* box() const;
    // The unit of the text that holds the offset, or the one a step before or after it.
    QString unitAt(int offset, QAccessible::TextBoundaryType boundaryType, int step,
                   int* startOffset, int* endOffset) const;
    // Types `text` over the range, as a user would: the box keeps its limit and its undo.
    void edit(int start, int end, const QString& text);

    // The text's positions along the line, measured once for each text.
    const TextPositions& positions() const;
    // Where the line's start and its vertical centre lie in the box, and its height. They
    // change only when the box is drawn again: where it last drew its text is where it is.
    struct Line {
        QPointF origin;
        int height = 0;
    };
    Line line() const;

    // What is found once for each text, as it is first asked for: where the units of each kind
    // begin, and where the characters lie.
    struct Measured {
        quint64 revision = 0;
        QHash<int, QList<int>> unitStarts;
        std::optional<TextPositions> positions;
    };
    Measured& measured() const;
    mutable Measured m_measured;
    struct Placed {
        quint64 paints = 0;
        quint64 revision = 0;
        QSize size;
        Line line;
    };
    mutable std::optional<Placed> m_placed;
};

} // namespace pedalwise::ui
