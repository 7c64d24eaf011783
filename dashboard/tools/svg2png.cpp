// Renders an SVG file to a PNG of the given size; used at build time so the
// host's resources can offer PNG paths drawn from our own SVG sources.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: svg2png <in.svg> <out.png> <size|WxH>\n");
        return 2;
    }
    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    const QList<QByteArray> lstSize = QByteArray(argv[3]).split('x');
    const QSize size(lstSize.first().toInt(), lstSize.last().toInt());
    if (!renderer.isValid() || size.isEmpty()) {
        std::fprintf(stderr, "svg2png: cannot render %s\n", argv[1]);
        return 1;
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return image.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
