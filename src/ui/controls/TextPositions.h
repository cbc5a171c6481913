#pragma once

#include <QFont>
#include <QString>

#include <utility>
#include <vector>

namespace pedalwise::ui {

// Where a box's one line of text puts each character, measured once for the text: every
// answer after that costs the same wherever the offset lies, in the longest text a box holds.
// Positions run from the line's start, where the caret stands before the first character.
class TextPositions {
public:
    // Lays the text out as the box draws it: in its font, in the text's own direction.
    explicit TextPositions(const QString& text, const QFont& font);

    // The caret's position before the character that holds the offset (after the last one at
    // the text's end).
    qreal caretX(int offset) const;
    // The left and right edges of the character that holds the offset: a letter with its
    // accents, or both halves of a character outside the Basic Multilingual Plane.
    std::pair<qreal, qreal> characterEdges(int offset) const;
    // The offset of the character under a position on the line: 0 before the first, the
    // text's length after the last.
    int offsetAt(qreal x) const;

private:
    // The character that holds the offset, as an index into m_starts.
    int characterAt(int offset) const;

    // Where each character starts, with the text's length last, and the caret's position at
    // each of those offsets.
    std::vector<int> m_starts{0};
    std::vector<qreal> m_x{0};
    bool m_leftToRight = true; // every character lies right of the one before it
};

} // namespace pedalwise::ui
