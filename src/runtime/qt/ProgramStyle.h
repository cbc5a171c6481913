#pragma once

#include <QPixmap>
#include <QProxyStyle>

namespace pedalwise::runtime {

// Reads a PNG file or resource with Qt's own PNG reader. Told nothing more than "PNG", Qt 6.4
// first loads every image-format plug-in on the system to ask whether one of them reads it.
QPixmap ReadPng(const QString& path);

// The program's style: the platform's own (or the one the user picks with -style), less the
// two pictures that style reads from PNG files as the main window is made and shown, so that
// no image-format plug-in is loaded:
// - the icon of a menu bar's overflow button, asked for when the menu bar is made: none, as
//   the program's windows have a fixed size and the button never shows;
// - Fusion's group-box frame: read by ReadPng and drawn as Fusion draws it.
class ProgramStyle final : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                       const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void polish(QWidget* widget) override;
    using QProxyStyle::polish;

private:
    QPixmap m_groupBoxFrame; // read when the first group box is made ready to show
};

} // namespace pedalwise::runtime
