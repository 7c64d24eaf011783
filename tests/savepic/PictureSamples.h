#pragma once

// Sample pictures and checks shared by the picture-saving tests.

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
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

inline QByteArray Encode(const QImage& image, const char* szFormat, int nQuality = 95, bool bProgressive = false)
{
    QByteArray baData;
    QBuffer buffer(&baData);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, szFormat);
    writer.setQuality(nQuality);
    writer.setProgressiveScanWrite(bProgressive);
    writer.write(image);
    return baData;
}

// Close enough for flat areas after JPEG compression.
inline bool Near(QRgb rgbActual, const QColor& expected)
{
    return std::abs(qRed(rgbActual) - expected.red()) < 40 && std::abs(qGreen(rgbActual) - expected.green()) < 40
           && std::abs(qBlue(rgbActual) - expected.blue()) < 40;
}

// What is wrong with baJpeg as a cut of a QuadrantImage whose centre lands on
// ptCentre of a cut of the given size, encoded as JPEG of quality 50 (16 is the
// first value of the standard quantisation table then); empty when nothing is.
inline QString QuadrantCutMismatch(const QByteArray& baJpeg, const QSize& size, const QPoint& ptCentre)
{
    QBuffer buffer;
    buffer.setData(baJpeg);
    buffer.open(QIODevice::ReadOnly);
    if (QImageReader(&buffer).format() != "jpeg")
        return QStringLiteral("not a JPEG");
    const int nQuant = baJpeg.indexOf(QByteArray("\xFF\xDB", 2)) + 5;
    if (nQuant < 5 || nQuant >= baJpeg.size() || static_cast<unsigned char>(baJpeg.at(nQuant)) != 16)
        return QStringLiteral("not quality 50");
    const QImage cut = QImage::fromData(baJpeg);
    if (cut.size() != size)
        return QStringLiteral("size %1x%2").arg(cut.width()).arg(cut.height());
    const int nX = ptCentre.x();
    const int nY = ptCentre.y();
    const bool bPlaced = Near(cut.pixel(nX / 2, nY / 2), Qt::red) && Near(cut.pixel(nX + 10, nY / 2), Qt::green)
                         && Near(cut.pixel(nX / 2, nY + 10), Qt::blue)
                         && Near(cut.pixel(size.width() - 5, size.height() - 5), Qt::yellow);
    return bPlaced ? QString() : QStringLiteral("quadrants misplaced");
}

inline QByteArray ReadAll(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Every file (and link) under a folder, relative to it and sorted, hidden ones included.
inline QStringList FilesUnder(const QString& strFolder)
{
    QStringList lstFiles;
    QDirIterator it(strFolder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        lstFiles << QDir(strFolder).relativeFilePath(it.next());
    lstFiles.sort();
    return lstFiles;
}
