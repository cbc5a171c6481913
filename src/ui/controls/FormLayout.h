#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

// What the program's windows share in how they are laid out: places and sizes in twips, the
// unit the windows were designed in, and their one typeface.
namespace pedalwise::ui {

struct Twips {
    int left;
    int top;
    int width;
    int height;
};

// 15 twips make one pixel at 96 dpi; Qt scales pixels on high-DPI screens.
constexpr int Px(int twips) {
    return twips / 15;
}

// Names a control and puts it at its place in its container.
template <typename Control> Control* Place(Control* control, const char* name, Twips at) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(Px(at.left), Px(at.top), Px(at.width), Px(at.height));
    return control;
}

// "MS Sans Serif" at a size in pixels, where it exists; elsewhere Liberation Sans, which has
// the same metrics as the fonts that replaced it.
QFont SansSerif(int pixelSize);

} // namespace pedalwise::ui
