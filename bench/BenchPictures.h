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

#include <turbojpeg.h>

#include <string>
#include <vector>

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

// The floor's decode of a picture shown at sizeShown: TurboJPEG at the smallest
// scale whose picture still covers that size, then a smooth scale to it, as a
// view that decodes for its size would do at best.
inline QImage DecodeCoveringFloor(tjhandle hDecode, const std::string& strJpeg, const QSize& sizeShown,
                                  std::vector<unsigned char>& vecPixels)
{
    int nScales = 0;
    const tjscalingfactor* pScales = tjGetScalingFactors(&nScales);
    auto* pJpeg = reinterpret_cast<const unsigned char*>(strJpeg.data());
    int nWidth = 0, nHeight = 0, nSubsamp = 0, nColorspace = 0;
    tjDecompressHeader3(hDecode, pJpeg, strJpeg.size(), &nWidth, &nHeight, &nSubsamp, &nColorspace);
    int nBestW = nWidth, nBestH = nHeight;
    for (int i = 0; i < nScales; ++i) {
        const int nW = TJSCALED(nWidth, pScales[i]);
        const int nH = TJSCALED(nHeight, pScales[i]);
        if (nW >= sizeShown.width() && nH >= sizeShown.height() && nW * nH < nBestW * nBestH) {
            nBestW = nW;
            nBestH = nH;
        }
    }
    vecPixels.resize(size_t(nBestW) * size_t(nBestH) * 4);
    tjDecompress2(hDecode, pJpeg, strJpeg.size(), vecPixels.data(), nBestW, 0, nBestH, TJPF_BGRX, 0);
    const QImage image(vecPixels.data(), nBestW, nBestH, QImage::Format_RGB32);
    return image.scaled(sizeShown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace bench
