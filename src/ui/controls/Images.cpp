#include "ui/controls/Images.h"

#include <QImageReader>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initPedalwiseResources() {
    Q_INIT_RESOURCE(pedalwise_pictures);
}

namespace pedalwise::ui {
namespace {

// The pictures are PNG files, read by Qt's PNG reader directly: a reader left to find the format
// itself first loads every image-format plug-in on the system to ask whether one of them reads
// the file.
// Listed in docs/workarounds.md ("PNG reader").
QPixmap ReadPng(const QString& path) {
    QImageReader reader(path, "png");
    reader.setAutoDetectImageFormat(false);
    // A file named "...@2x.png" comes with a device pixel ratio of 2.
    return QPixmap::fromImage(reader.read());
}

} // namespace

void InitImages() {
    static const bool once = (initPedalwiseResources(), true);
    (void)once;
}

QPixmap Picture(const QString& png, qreal devicePixelRatio) {
    InitImages();
    if (devicePixelRatio <= 1) {
        return ReadPng(png);
    }
    QString twice = png;
    twice.insert(twice.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
    return ReadPng(twice);
}

QIcon ChainringIcon() {
    InitImages();
    QIcon icon;
    // The sizes src/ui/controls/CMakeLists.txt renders; each small one is another's 2x.
    for (const int side : {16, 24, 32, 48, 64}) {
        icon.addPixmap(ReadPng(QStringLiteral(":/pedalwise/chainring-%1.png").arg(side)));
    }
    return icon;
}

} // namespace pedalwise::ui
