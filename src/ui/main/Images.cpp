#include "ui/main/Images.h"

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

QPixmap RenderSvg(const QString& resource, QSize size, qreal devicePixelRatio) {
    InitImages();
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(resource);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon ChainringIcon() {
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(RenderSvg(kChainringSvg, QSize(side, side)));
    }
    return icon;
}

} // namespace pedalwise::ui
