#include "ui/controls/Controls.h"

#include "ui/controls/AccessibleTextBox.h"
#include "ui/controls/Images.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QValidator>

#include <algorithm>
#include <memory>

namespace pedalwise::ui {
namespace {

QAccessibleInterface* TextBoxAccessibility(const QString& /*className*/, QObject* object) {
    if (auto* box = qobject_cast<TextBox*>(object)) {
        return new AccessibleTextBox(box);
    }
    return nullptr;
}

// A box holds whole characters only, so that a Save never writes half of one: Qt cuts a text
// that is set at kMaxLength code units, which may keep only the first half of a character
// outside the Basic Multilingual Plane, and this drops that half. Edits are cut before Qt.
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
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(TextBoxAccessibility);
        return true;
    }();
    // Qt lays a box's whole text out afresh at each paint of the box, each blink of its cursor
    // included, so a text of unbounded length would make the box as slow as the text is long.
    setMaxLength(kMaxLength);
    setValidator(new WholeCharacters(this));
    connect(this, &QLineEdit::textChanged, this, [this] { ++m_revision; });
}

QString TextBox::fitting(const QString& incoming, int replaced) const {
    QString whole = incoming.left(std::max<qsizetype>(0, maxLength() - (text().size() - replaced)));
    if (!whole.isEmpty() && whole.back().isHighSurrogate()) {
        whole.chop(1);
    }
    return whole;
}

bool TextBox::pastedWhole(QClipboard::Mode mode) {
    const QString incoming = QGuiApplication::clipboard()->text(mode);
    const int replaced = static_cast<int>(selectedText().size());
    const QString whole = fitting(incoming, replaced);
    // Qt cuts a paste at the limit itself, wherever that falls.
    if (isReadOnly() || whole == incoming.left(maxLength() - text().size() + replaced)) {
        return false;
    }
    // Qt's line edit starts a new step of undo where its caret moves, as its own paste does at
    // both of its ends: the paste is put in between two such moves, so that it is undone alone
    // and apart from what is typed after it. Without them TextBoxTest's
    // textTheLimitCutsIsCutWholeAndUndoneInOne fails, its four pasted rows.
    const auto stepAside = [this] {
        const int at = cursorPosition();
        if (!hasSelectedText() && !text().isEmpty()) {
            setCursorPosition(at > 0 ? at - 1 : at + 1);
            setCursorPosition(at);
        }
    };
    stepAside();
    insert(whole);
    stepAside();
    return true;
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

// Typing, and pasting with the keys.
void TextBox::keyPressEvent(QKeyEvent* event) {
    // As Qt does on X11, Ctrl+Shift+Insert pastes the selection.
    const bool selection = event->keyCombination() == (Qt::CTRL | Qt::SHIFT | Qt::Key_Insert) &&
                           QGuiApplication::platformName() == QStringLiteral("xcb");
    if (event->matches(QKeySequence::Paste) &&
        pastedWhole(selection ? QClipboard::Selection : QClipboard::Clipboard)) {
        return;
    }
    const QString whole = fitting(event->text(), static_cast<int>(selectedText().size()));
    if (whole == event->text()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent cut(event->type(), event->key(), event->modifiers(), whole, event->isAutoRepeat(),
                  static_cast<quint16>(event->count()));
    QLineEdit::keyPressEvent(&cut);
    event->setAccepted(cut.isAccepted());
}

// Pasting the selection with the middle button.
void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        deselect();
        if (pastedWhole(QClipboard::Selection)) {
            return;
        }
    }
    QLineEdit::mouseReleaseEvent(event);
}

// Pasting with the context menu: Qt's own, with its Paste taken over.
void TextBox::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction* action : menu->actions()) {
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
        // Qt 6.4 names no action of the menu (docs/workarounds.md, "Context menu's Paste").
        const bool isPaste = action->text().section(u'\t', 0, 0) == QLineEdit::tr("&Paste");
#else
        const bool isPaste = action->objectName() == QStringLiteral("edit-paste");
#endif
        if (isPaste) {
            action->disconnect(this);
            connect(action, &QAction::triggered, this, [this] {
                if (!pastedWhole(QClipboard::Clipboard)) {
                    paste();
                }
            });
        }
    }
    menu->exec(event->globalPos());
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
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(fitting(event->commitString(), replaced), event->replacementStart(),
                        event->replacementLength());
    QLineEdit::inputMethodEvent(&cut);
    event->setAccepted(cut.isAccepted());
}

void TextBox::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    ++m_paints;
}

void TextBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
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
