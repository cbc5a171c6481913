#include "ui/main/Controls.h"

#include "ui/forms/Images.h"
#include "ui/main/AccessibleTextBox.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QValidator>

namespace pedalwise::ui {
namespace {

QAccessibleInterface* TextBoxAccessibility(const QString& /*className*/, QObject* object) {
    if (auto* box = qobject_cast<TextBox*>(object)) {
        return new AccessibleTextBox(box);
    }
    return nullptr;
}

// Qt cuts a text that would pass kMaxLength code units at that count: a text set whole at its
// end, a typed or pasted one just before the cursor. A character outside the Basic Multilingual
// Plane takes two code units, and the cut may keep only the first; this drops it, so that a
// box holds only whole characters and a Save never writes half of one.
class WholeCharacters final : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& text, int& cursor) const override {
        if (text.size() >= TextBox::kMaxLength && cursor > 0 &&
            text.at(cursor - 1).isHighSurrogate() &&
            (cursor == text.size() || !text.at(cursor).isLowSurrogate())) {
            text.remove(cursor - 1, 1);
            --cursor;
        }
        return Acceptable;
    }
};

} // namespace

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
    setValidator(new WholeCharacters(this));
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
