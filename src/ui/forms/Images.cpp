#include "ui/forms/Images.h"

#include <QPainter>
#include <QSvgRenderer>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initPedalwiseResources() {
    Q_INIT_RESOURCE(pedalwise);
}

namespace pedalwise::ui {

void InitImages() {
    static const bool once = (initPedalwiseResources(), true);
    (void)once;
}

QIcon ChainringIcon() {
    InitImages();
    // One parse for all sizes: the source is read once, each size drawn from it.
    QSvgRenderer renderer(kChainringSvg);
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter, QRectF(0, 0, side, side));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace pedalwise::ui
