#include "ui/forms/Images.h"

#include "runtime/qt/ProgramStyle.h"

// Q_INIT_RESOURCE must be used outside any namespace.
static void initPedalwiseResources() {
    Q_INIT_RESOURCE(pedalwise_pictures);
}

namespace pedalwise::ui {

void InitImages() {
    static const bool once = (initPedalwiseResources(), true);
    (void)once;
}

QPixmap Picture(const QString& png, qreal devicePixelRatio) {
    InitImages();
    if (devicePixelRatio <= 1) {
        return runtime::ReadPng(png);
    }
    QString twice = png;
    twice.insert(twice.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
    return runtime::ReadPng(twice);
}

QIcon ChainringIcon() {
    InitImages();
    QIcon icon;
    // The sizes src/ui/forms/CMakeLists.txt renders; each small one is another's 2x.
    for (const int side : {16, 24, 32, 48, 64}) {
        icon.addPixmap(runtime::ReadPng(QStringLiteral(":/pedalwise/chainring-%1.png").arg(side)));
    }
    return icon;
}

} // namespace pedalwise::ui
