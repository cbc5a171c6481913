// Renders one of the program's SVG pictures into PNG files of given sizes, at build time: the
// pictures the program shows at 1x and 2x, the icons a desktop's icon theme asks for, the
// sizes a Windows icon holds. The program itself then needs no SVG support.
//
//   pedalwise_render_pictures SOURCE.svg SIZE OUTPUT.png [SIZE OUTPUT.png ...]
//
// SIZE is N for N x N pixels, or WxH.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {

QSize ParseSize(const QByteArray& text) {
    const QList<QByteArray> parts = text.split('x');
    bool widthOk = false;
    bool heightOk = false;
    const int width = parts.first().toInt(&widthOk);
    const int height = parts.size() == 2 ? parts.last().toInt(&heightOk) : width;
    if (!widthOk || (parts.size() == 2 && !heightOk) || parts.size() > 2 || width <= 0 ||
        height <= 0) {
        return {};
    }
    return {width, height};
}

} // namespace

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
        const QSize size = ParseSize(argv[i]);
        if (size.isEmpty()) {
            std::fprintf(stderr, "%s: %s is not a size in pixels\n", argv[0], argv[i]);
            return 2;
        }
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            renderer.render(&painter, QRectF(QPointF(0, 0), size));
        }
        if (!image.save(QString::fromLocal8Bit(argv[i + 1]), "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[i + 1]);
            return 1;
        }
    }
    return 0;
}
