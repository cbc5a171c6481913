#include "ui/main/Controls.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>

#include <limits>

namespace pedalwise::ui {

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    // A text box holds text of any length.
    setMaxLength(std::numeric_limits<int>::max());
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

PictureBox::PictureBox(const QString& svgResource, QWidget* parent)
    : QLabel(parent), m_renderer(svgResource) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::NoFocus);
    // paintEvent draws the picture from its source; the label's own pixmap is never shown and
    // only makes screen readers announce an image of the picture's size, so it stays blank
    // rather than costing a second rendering at start-up.
    QPixmap blank(m_renderer.defaultSize());
    blank.fill(Qt::transparent);
    setPixmap(blank);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    // The border from the frame; the picture drawn from its source rather than the pixmap.
    QFrame::paintEvent(event); // NOLINT(bugprone-parent-virtual-call): not QLabel's text
    QPainter painter(this);
    m_renderer.render(&painter, QRectF(contentsRect()));
}

} // namespace pedalwise::ui
