#pragma once

#include <QClipboard>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// The kinds of control the windows are built from, each a Qt widget with the events the
// program's handlers listen to.
namespace pedalwise::ui {

// A single-line text box. LostFocus reports that the focus moved on to another control of
// the same window, after the box has done its own focus-out work; a window losing the
// activation or a menu opening is no such move.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    // The most characters a box holds, as a Windows edit control and Qt's line edit by default;
    // a longer text, typed, pasted or set, is cut there.
    static constexpr int kMaxLength = 32767;

    explicit TextBox(QWidget* parent);

    // The part of `incoming` that the box has room for in place of `replaced` code units of
    // its text: whole characters only, as many as fit. Whatever is typed, pasted, dropped,
    // composed or inserted by a screen reader is cut here before the box takes it.
    QString fitting(const QString& incoming, int replaced) const;

    // Changes whenever the text, or the font it is drawn in, changes.
    quint64 revision() const { return m_revision; }
    // Counts the paints: the box's text stays where it is on the screen between two of them.
    quint64 paints() const { return m_paints; }

signals:
    void LostFocus();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Puts the whole characters of the clipboard's text, which Qt would cut elsewhere, in place
    // of the selection as one step of undo; false where Qt's own paste takes what fits.
    bool pastedWhole(QClipboard::Mode mode);

    quint64 m_revision = 0;
    quint64 m_paints = 0;
};

// Reports a left-button click: press and release on the same widget.
template <typename Base> class Clickable : public Base {
public:
    using Base::Base;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    virtual void clicked() = 0;

private:
    bool m_pressed = false;
};

// A text label. Click is raised by a left-button click on it.
class Label : public Clickable<QLabel> {
    Q_OBJECT
public:
    explicit Label(const QString& text, QWidget* parent);

signals:
    void Click();

private:
    void clicked() override { emit Click(); }
};

// A frame with a caption that holds other controls. Click is raised by a left-button click on
// its own background, not on a control inside it.
class Frame : public Clickable<QGroupBox> {
    Q_OBJECT
public:
    explicit Frame(const QString& caption, QWidget* parent);

signals:
    void Click();

private:
    void clicked() override { emit Click(); }
};

// A picture inside a sunken two-pixel border, at 1x or, on a high-DPI screen, at 2x (see
// ui/controls/Images.h). A label underneath, so that screen readers see an image.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    PictureBox(const QString& pngResource, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_resource;
    QPixmap m_picture;
};

} // namespace pedalwise::ui
