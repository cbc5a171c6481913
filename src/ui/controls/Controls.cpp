#include "ui/controls/Controls.h"

#include "ui/controls/AccessibleTextBox.h"
#include "ui/controls/Images.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QValidator>

#include <algorithm>
#include <memory>
#include <utility>

namespace pedalwise::ui {
namespace {

QAccessibleInterface* TextBoxAccessibility(const QString& /*className*/, QObject* object) {
    if (auto* box = qobject_cast<TextBox*>(object)) {
        return new AccessibleTextBox(box);
    }
    return nullptr;
}

// Where Qt cut a text at kMaxLength code units and kept only the first half of a character
// outside the Basic Multilingual Plane, the text without that half. Qt keeps what stands
// before the cursor: the whole text when one is set, the start of a typed or pasted one.
std::optional<QString> WithoutAHalfAtTheCut(const QString& text, int cursor) {
    if (text.size() < TextBox::kMaxLength || cursor <= 0 || cursor > text.size() ||
        !text.at(cursor - 1).isHighSurrogate() ||
        (cursor < text.size() && text.at(cursor).isLowSurrogate())) {
        return std::nullopt;
    }
    QString whole = text;
    whole.remove(cursor - 1, 1);
    return whole;
}

} // namespace

// Refuses a text that Qt's cut left with half a character. Qt then takes the edit back whole,
// with its undo history as it was (were the text mended here instead, Qt would replace the
// whole text, and the history with it); the box puts the whole characters in itself. Without
// it TextBoxTest's textTheLimitCutsIsCutWholeAndUndoneInOne fails.
// Listed in docs/workarounds.md ("Length limit: whole characters").
class TextBox::WholeCharacters final : public QValidator {
public:
    explicit WholeCharacters(TextBox& box) : QValidator(&box), m_box(box) {}

    State validate(QString& text, int& cursor) const override {
        if (std::optional<QString> whole = WithoutAHalfAtTheCut(text, cursor)) {
            m_box.m_refused = std::move(whole);
            return Invalid;
        }
        return Acceptable;
    }

private:
    TextBox& m_box;
};

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    // Installed with the first box, once the application exists: a factory installed before
    // it is never asked. Qt keeps the first accessible interface it makes for a widget, and
    // nothing asks for a box's while the box is being built.
    static const bool installed = [] {
        QAccessible::installFactory(TextBoxAccessibility);
        return true;
    }();
    static_cast<void>(installed);
    // Qt lays a box's whole text out afresh at each paint of the box, each blink of its cursor
    // included, so a text of unbounded length would make the box as slow as the text is long.
    setMaxLength(kMaxLength);
    setValidator(new WholeCharacters(*this));
    connect(this, &QLineEdit::textChanged, this, [this] {
        ++m_revision;
        // A text that is set stays as Qt cut it, refused or not: it is set again whole.
        if (std::optional<QString> whole = WithoutAHalfAtTheCut(text(), cursorPosition())) {
            setText(*whole);
        }
    });
}

QString TextBox::fitting(const QString& incoming, int replaced) const {
    const qsizetype room = std::max<qsizetype>(0, maxLength() - (text().size() - replaced));
    QString whole;
    for (qsizetype i = 0; i < incoming.size() && whole.size() < room; ++i) {
        const QChar unit = incoming.at(i);
        if (unit.isHighSurrogate() && i + 1 < incoming.size() &&
            incoming.at(i + 1).isLowSurrogate()) {
            if (whole.size() + 2 > room) {
                break;
            }
            whole += unit;
            whole += incoming.at(++i);
        } else if (!unit.isSurrogate()) {
            // A lone half, as from an insertion cut short on its way, is left out.
            whole += unit;
        }
    }
    return whole;
}

template <typename Edit> void TextBox::editWhole(Edit edit) {
    const QString before = text();
    m_refused.reset();
    edit();
    const std::optional<QString> refused = std::exchange(m_refused, std::nullopt);
    if (!refused || text() != before) {
        // Nothing was refused, or the text was set meanwhile.
        return;
    }
    // Qt took the refused insertion back: the selection it replaced is there again.
    const int at = hasSelectedText() ? selectionStart() : cursorPosition();
    const qsizetype replaced = selectedText().size();
    const qsizetype added = refused->size() - (before.size() - replaced);
    const QStringView refusedText(*refused);
    const QStringView beforeText(before);
    if (added > 0 && refusedText.left(at) == beforeText.left(at) &&
        refusedText.mid(at + added) == beforeText.mid(at + replaced)) {
        insert(refused->mid(at, added));
    }
}

void TextBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    switch (event->reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
        // The focus stays on this box inside its window.
        return;
    default:
        emit LostFocus();
    }
}

// Typing and pasting, with the keys, the middle button or the context menu's Paste.
void TextBox::keyPressEvent(QKeyEvent* event) {
    editWhole([&] { QLineEdit::keyPressEvent(event); });
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    editWhole([&] { QLineEdit::mouseReleaseEvent(event); });
}

void TextBox::contextMenuEvent(QContextMenuEvent* event) {
    // Qt's own menu pastes once the event is over, where a paste the limit refuses would be lost;
    // run here, its Paste is an edit like the others.
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    editWhole([&] { menu->exec(event->globalPos()); });
}

// A drop and an input method's text are cut whole before Qt sees them: both move the caret or
// replace text around it before they insert.
void TextBox::dropEvent(QDropEvent* event) {
    const QString dropped = event->mimeData()->text();
    const QString whole = fitting(dropped, 0);
    if (whole == dropped) {
        QLineEdit::dropEvent(event);
        return;
    }
    QMimeData fitted;
    fitted.setText(whole);
    QDropEvent cut(event->position(), event->possibleActions(), &fitted, event->buttons(),
                   event->modifiers(), event->type());
    cut.setDropAction(event->dropAction());
    QLineEdit::dropEvent(&cut);
    event->setDropAction(cut.dropAction());
    event->setAccepted(cut.isAccepted());
}

void TextBox::inputMethodEvent(QInputMethodEvent* event) {
    const int replaced = static_cast<int>(selectedText().size()) + event->replacementLength();
    const QString whole = fitting(event->commitString(), replaced);
    if (whole == event->commitString()) {
        editWhole([&] { QLineEdit::inputMethodEvent(event); });
        return;
    }
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(whole, event->replacementStart(), event->replacementLength());
    editWhole([&] { QLineEdit::inputMethodEvent(&cut); });
    event->setAccepted(cut.isAccepted());
}

void TextBox::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    ++m_paints;
}

void TextBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::LayoutDirectionChange) {
        ++m_revision;
    }
    QLineEdit::changeEvent(event);
}

template <typename Base> void Clickable<Base>::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        event->accept();
        return;
    }
    Base::mousePressEvent(event);
}

template <typename Base> void Clickable<Base>::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        event->accept();
        if (this->rect().contains(event->position().toPoint())) {
            clicked();
        }
        return;
    }
    Base::mouseReleaseEvent(event);
}

template class Clickable<QLabel>;
template class Clickable<QGroupBox>;

Label::Label(const QString& text, QWidget* parent) : Clickable<QLabel>(text, parent) {
    setTextFormat(Qt::PlainText);
}

Frame::Frame(const QString& caption, QWidget* parent) : Clickable<QGroupBox>(caption, parent) {
    setFocusPolicy(Qt::NoFocus);
}

PictureBox::PictureBox(const QString& pngResource, QWidget* parent)
    : QLabel(parent), m_resource(pngResource),
      m_picture(Picture(pngResource, devicePixelRatioF())) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::NoFocus);
    // The label's own pixmap, the same picture, makes screen readers announce an image.
    setPixmap(m_picture);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    // The border from the frame; the picture in the resolution of the screen the window is on
    // now, which may not be the one it started on.
    QFrame::paintEvent(event); // NOLINT(bugprone-parent-virtual-call): not QLabel's pixmap
    const qreal ratio = devicePixelRatioF();
    if ((ratio > 1) != (m_picture.devicePixelRatio() > 1)) {
        m_picture = Picture(m_resource, ratio);
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform); // at ratios such as 1.5
    painter.drawPixmap(QRectF(contentsRect()), m_picture, QRectF(m_picture.rect()));
}

} // namespace pedalwise::ui
