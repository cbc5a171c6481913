#include "ui/forms/FormLayout.h"

namespace pedalwise::ui {

QFont SansSerif(int pixelSize) {
    static const bool substituted = [] {
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"),
                                  QStringLiteral("Liberation Sans"));
        return true;
    }();
    (void)substituted;
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace pedalwise::ui
