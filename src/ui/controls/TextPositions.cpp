#include "ui/controls/TextPositions.h"

#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>

namespace pedalwise::ui {
namespace {

// A text laid out on one line the way a line edit lays out what it shows: blanks at the end
// count.
class Line {
public:
    Line(const QString& text, const QFont& font, Qt::LayoutDirection direction)
        : m_layout(text, font) {
        QTextOption option = m_layout.textOption();
        option.setTextDirection(direction);
        option.setFlags(QTextOption::IncludeTrailingSpaces);
        m_layout.setTextOption(option);
        m_layout.beginLayout();
        m_layout.createLine();
        m_layout.endLayout();
    }

    // Qt sums the glyphs from the line's start for each answer, so a long line answers slowly
    // at its end: texts are measured in short pieces.
    // Listed in docs/workarounds.md ("Text positions: pieces").
    qreal caretX(int offset) const { return m_layout.lineAt(0).cursorToX(offset); }

private:
    QTextLayout m_layout;
};

// The pieces a long text is measured in, in code units, and the context measured on either
// side of a piece, so that letters that kern or join across its edges keep their places.
constexpr int kPiece = 256;
constexpr int kContext = 16;

} // namespace

TextPositions::TextPositions(const QString& text, const QFont& font) {
    // Measured alone, a piece would take the direction of its own first letters.
    const Qt::LayoutDirection direction = text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = characters.toNextBoundary(); at > 0; at = characters.toNextBoundary()) {
        m_starts.push_back(static_cast<int>(at));
    }
    if (m_starts.back() != text.size()) {
        m_starts.push_back(static_cast<int>(text.size()));
    }
    m_x.assign(m_starts.size(), 0);

    // A piece is measured from the whole line at its start, which is exact, and within it from
    // a layout of the piece with its context. That holds every answer to the cost of a piece,
    // at the price of a right-to-left run or a tab across a piece's edge in a text longer than
    // one piece, which is placed as if the piece stood alone.
    const Line whole(text, font, direction);
    const int last = static_cast<int>(m_starts.size()) - 1;
    if (text.size() <= kPiece) {
        for (int i = 0; i <= last; ++i) {
            m_x[i] = whole.caretX(m_starts[i]);
        }
    } else {
        // The first character that starts at or after the offset, or the text's end.
        const auto startingFrom = [this, last](int offset) {
            const auto at = std::ranges::lower_bound(m_starts, offset);
            return at == m_starts.end() ? last : static_cast<int>(at - m_starts.begin());
        };
        for (int first = 0; first < last;) {
            const int end = startingFrom(m_starts[first] + kPiece);
            const int from = m_starts[characterAt(m_starts[first] - kContext)];
            const int to = m_starts[startingFrom(m_starts[end] + kContext)];
            const Line piece(text.mid(from, to - from), font, direction);
            const qreal shift =
                whole.caretX(m_starts[first]) - piece.caretX(m_starts[first] - from);
            for (int i = first; i < (end == last ? last + 1 : end); ++i) {
                m_x[i] = shift + piece.caretX(m_starts[i] - from);
            }
            first = end;
        }
    }
    m_leftToRight = std::ranges::is_sorted(m_x);
}

int TextPositions::characterAt(int offset) const {
    const auto after = std::ranges::upper_bound(m_starts, offset);
    return std::max(0, static_cast<int>(after - m_starts.begin()) - 1);
}

qreal TextPositions::caretX(int offset) const {
    return m_x[characterAt(offset)];
}

std::pair<qreal, qreal> TextPositions::characterEdges(int offset) const {
    const int character = std::min(characterAt(offset), static_cast<int>(m_x.size()) - 2);
    if (character < 0) {
        return {m_x.front(), m_x.front()};
    }
    return std::minmax(m_x[character], m_x[character + 1]);
}

int TextPositions::offsetAt(qreal x) const {
    if (m_leftToRight) {
        const auto after = std::ranges::upper_bound(m_x, x);
        if (after == m_x.begin()) {
            return 0;
        }
        return m_starts[std::min(static_cast<std::size_t>(after - m_x.begin()) - 1,
                                 m_starts.size() - 1)];
    }
    // Right-to-left runs put characters out of order along the line.
    for (std::size_t i = 0; i + 1 < m_x.size(); ++i) {
        const auto [left, right] = std::minmax(m_x[i], m_x[i + 1]);
        if (left <= x && x < right) {
            return m_starts[i];
        }
    }
    return x < m_x.front() ? 0 : m_starts.back();
}

} // namespace pedalwise::ui
