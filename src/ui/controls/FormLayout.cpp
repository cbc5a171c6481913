#include "ui/controls/FormLayout.h"

#include <QFontDatabase>

#ifdef Q_OS_WIN
// Q_INIT_RESOURCE must be used outside any namespace.
static void initPedalwiseFonts() {
    Q_INIT_RESOURCE(pedalwise_fonts);
}
#endif

namespace pedalwise::ui {

QFont SansSerif(int pixelSize) {
    static const bool carried = [] {
        bool registered = false;
#ifdef Q_OS_WIN
        // The program brings its own Liberation Sans, for the Windows that lack the font the
        // windows ask for; registered only then, so that the start costs nothing elsewhere.
        if (!QFontDatabase::hasFamily(QStringLiteral("MS Sans Serif"))) {
            initPedalwiseFonts();
            for (const char* file : {"Regular", "Italic"}) {
                registered |= QFontDatabase::addApplicationFont(
                                  QStringLiteral(":/pedalwise/fonts/LiberationSans-%1.ttf")
                                      .arg(QLatin1String(file))) >= 0;
            }
        }
#endif
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"),
                                  QStringLiteral("Liberation Sans"));
        return registered;
    }();
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixelSize);
    if (carried) {
        // Windows' full hinting widens Liberation Sans by a pixel on the longest captions,
        // one more than their labels hold; hinted only vertically it keeps its own widths.
        font.setHintingPreference(QFont::PreferVerticalHinting);
    }
    return font;
}

} // namespace pedalwise::ui
