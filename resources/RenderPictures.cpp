// Renders the program's SVG icon into PNG files of the sizes a desktop's icon theme asks for,
// so that the installed icons always match the picture the window itself shows.
//
//   pedalwise_render_icon SOURCE.svg SIZE OUTPUT.png [SIZE OUTPUT.png ...]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv) {
    // Painting needs a QGuiApplication; the offscreen platform needs no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication app(argc, argv);
    if (argc < 4 || argc % 2 != 0) {
        std::fprintf(stderr, "usage: %s SOURCE.svg SIZE OUTPUT.png [SIZE OUTPUT.png ...]\n",
                     argv[0]);
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "%s: cannot read the picture %s\n", argv[0], argv[1]);
        return 1;
    }
    for (int i = 2; i < argc; i += 2) {
        bool isNumber = false;
        const int side = QByteArray(argv[i]).toInt(&isNumber);
        if (!isNumber || side <= 0) {
            std::fprintf(stderr, "%s: %s is not a size in pixels\n", argv[0], argv[i]);
            return 2;
        }
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter, QRectF(0, 0, side, side));
        }
        if (!image.save(QString::fromLocal8Bit(argv[i + 1]), "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[i + 1]);
            return 1;
        }
    }
    return 0;
}
