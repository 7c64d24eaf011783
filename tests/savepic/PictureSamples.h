#pragma once

// Sample pictures for the saving tests.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <cstdlib>

// A picture in four flat quadrants: red, green (top), blue, yellow (bottom).
inline QImage QuadrantImage(int nWidth, int nHeight)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    const int nHalfW = nWidth / 2;
    const int nHalfH = nHeight / 2;
    painter.fillRect(0, 0, nHalfW, nHalfH, Qt::red);
    painter.fillRect(nHalfW, 0, nWidth - nHalfW, nHalfH, Qt::green);
    painter.fillRect(0, nHalfH, nHalfW, nHeight - nHalfH, Qt::blue);
    painter.fillRect(nHalfW, nHalfH, nWidth - nHalfW, nHeight - nHalfH, Qt::yellow);
    return image;
}

inline QByteArray Encode(const QImage& image, const char* szFormat, int nQuality = 95)
{
    QByteArray baData;
    QBuffer buffer(&baData);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, szFormat, nQuality);
    return baData;
}

// Close enough for flat areas after JPEG compression.
inline bool Near(QRgb rgbActual, const QColor& expected)
{
    return std::abs(qRed(rgbActual) - expected.red()) < 40 && std::abs(qGreen(rgbActual) - expected.green()) < 40
           && std::abs(qBlue(rgbActual) - expected.blue()) < 40;
}

// The first value of the first quantisation table of a JPEG (16 for quality 50
// with the standard tables), or -1 when there is none.
inline int FirstQuantValue(const QByteArray& baJpeg)
{
    const int nMarker = baJpeg.indexOf(QByteArray("\xFF\xDB", 2));
    if (nMarker < 0 || nMarker + 5 >= baJpeg.size())
        return -1;
    return static_cast<unsigned char>(baJpeg.at(nMarker + 5));
}

inline QString FormatOf(const QByteArray& baData)
{
    QBuffer buffer;
    buffer.setData(baData);
    buffer.open(QIODevice::ReadOnly);
    return QString::fromLatin1(QImageReader(&buffer).format());
}
