#pragma once

#include <QAccessibleWidget>
#include <QLineEdit>

namespace pedalwise::ui {

// What screen readers see of a text box: its text by character, word, sentence and line, its
// caret and selection, and edits made through them. Words are counted from one word's start to
// the next one's, as AT-SPI's word-start boundary counts them; the box has a single line.
class AccessibleTextBox : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface {
public:
    explicit AccessibleTextBox(QLineEdit* box);

    void* interface_cast(QAccessible::InterfaceType type) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text kind) const override;
    void setText(QAccessible::Text kind, const QString& text) override;

    // QAccessibleTextInterface. Offsets count UTF-16 code units, as everywhere in Qt; -1
    // stands for the end of the text, -2 for the caret.
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

    // QAccessibleEditableTextInterface: each edit is one step the box can undo, as a paste is.
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    QLineEdit* box() const;
    // The unit of the text that holds the offset, or the one a step before or after it.
    QString unitAt(int offset, QAccessible::TextBoundaryType boundaryType, int step,
                   int* startOffset, int* endOffset) const;
};

} // namespace pedalwise::ui
