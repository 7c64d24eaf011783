#pragma once

// Pictures for the benchmarks that decode what cameras send.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QSize>

#include <string>

namespace bench {

// A camera-like picture: gradients, edges and mild sensor noise, JPEG quality 90.
inline std::string CameraPicture(const QSize& size)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < size.height(); ++y) {
        auto* pLine = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int nNoise = int(random.bounded(13)) - 6;
            pLine[x] =
                qRgb(qBound(0, x * 255 / size.width() + nNoise, 255), qBound(0, y * 255 / size.height() + nNoise, 255),
                     qBound(0, ((x / 37 + y / 23) % 2) * 90 + 60 + nNoise, 255));
        }
    }
    QPainter painter(&image);
    for (int i = 0; i < 60; ++i)
        painter.fillRect(int(random.bounded(size.width())), int(random.bounded(size.height())), 40 + i, 90,
                         QColor::fromRgb(random.generate()));
    painter.end();
    QByteArray ba;
    QBuffer buffer(&ba);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setQuality(90);
    writer.write(image);
    return ba.toStdString();
}

} // namespace bench
