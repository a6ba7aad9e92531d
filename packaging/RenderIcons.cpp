// render_icons: draws the program's SVG icon into the PNG sizes of the
// hicolor theme at build time, for menus and docks that take no SVG.
// Usage: render_icons <icon.svg> <folder> <size> ...; writes <folder>/<size>.png.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc < 4) {
        std::fputs("usage: render_icons <icon.svg> <folder> <size> ...\n", stderr);
        return 2;
    }
    // Raster painting into a QImage needs no application object, nor a display.
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        std::fprintf(stderr, "render_icons: %s is no usable SVG\n", argv[1]);
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    for (int i = 3; i < argc; ++i) {
        bool ok = false;
        const int size = QByteArray(argv[i]).toInt(&ok);
        if (!ok || size < 1 || size > 1024) {
            std::fprintf(stderr, "render_icons: %s is no icon size\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, size, size));
        painter.end();
        const QString path = folder.filePath(QStringLiteral("%1.png").arg(size));
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "render_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
