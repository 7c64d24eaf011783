#include "JpegRegion.h"
#include "PictureSamples.h"

#include <QImageWriter>
#include <QRandomGenerator>
#include <QtTest>

using namespace LinkageSnapAlarm;

namespace {

// A busy picture: gradients, blocks of colour and noise, so that wrong offsets show.
QImage BusyImage(int nWidth, int nHeight)
{
    QImage image(nWidth, nHeight, QImage::Format_RGB32);
    QRandomGenerator generator(11);
    for (int y = 0; y < nHeight; ++y) {
        auto* pLine = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < nWidth; ++x) {
            const int nNoise = int(generator.bounded(9)) - 4;
            pLine[x] = qRgb(qBound(0, x * 255 / nWidth + nNoise, 255), qBound(0, y * 255 / nHeight + nNoise, 255),
                            ((x / 13 + y / 7) % 2) * 200 + 20);
        }
    }
    return image;
}

QByteArray EncodeWith(const QImage& image, bool bProgressive)
{
    QByteArray baData;
    QBuffer buffer(&baData);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "JPEG");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(bProgressive);
    writer.write(image);
    return baData;
}

// The largest difference of any channel of any pixel.
int MaxDifference(const QImage& first, const QImage& second)
{
    const QImage a = first.convertToFormat(QImage::Format_RGB32);
    const QImage b = second.convertToFormat(QImage::Format_RGB32);
    int nMax = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb pa = a.pixel(x, y);
            const QRgb pb = b.pixel(x, y);
            nMax = std::max({nMax, std::abs(qRed(pa) - qRed(pb)), std::abs(qGreen(pa) - qGreen(pb)),
                             std::abs(qBlue(pa) - qBlue(pb))});
        }
    return nMax;
}

} // namespace

class TestJpegRegion : public QObject
{
    Q_OBJECT

private slots:
    void regionMatchesCutOfFullDecode_data();
    void regionMatchesCutOfFullDecode();
    void unusableInputGivesNullImage_data();
    void unusableInputGivesNullImage();
};

void TestJpegRegion::regionMatchesCutOfFullDecode_data()
{
    QTest::addColumn<QByteArray>("jpeg");
    QTest::addColumn<QRect>("region");
    const QImage busy = BusyImage(640, 360);
    const QByteArray baBaseline = EncodeWith(busy, false);
    QTest::newRow("block-aligned region") << baBaseline << QRect(64, 32, 128, 96);
    QTest::newRow("unaligned region") << baBaseline << QRect(101, 57, 203, 111);
    QTest::newRow("region at the bottom right") << baBaseline << QRect(533, 301, 107, 59);
    QTest::newRow("one pixel") << baBaseline << QRect(333, 222, 1, 1);
    QTest::newRow("whole picture") << baBaseline << QRect(0, 0, 640, 360);
    QTest::newRow("odd picture size") << EncodeWith(BusyImage(333, 211), false) << QRect(17, 9, 300, 200);
    QTest::newRow("progressive") << EncodeWith(busy, true) << QRect(101, 57, 203, 111);
    QTest::newRow("grey") << EncodeWith(busy.convertToFormat(QImage::Format_Grayscale8), false)
                          << QRect(101, 57, 203, 111);
}

// The same pixels as decoding everything and cutting, edges included.
void TestJpegRegion::regionMatchesCutOfFullDecode()
{
    QFETCH(QByteArray, jpeg);
    QFETCH(QRect, region);
    const QImage cut = JpegRegion::Decode(jpeg, region);
    QCOMPARE(cut.size(), region.size());
    const QImage expected = QImage::fromData(jpeg).copy(region);
    const int nDifference = MaxDifference(cut, expected);
    QVERIFY2(nDifference <= 1, qPrintable(QString::number(nDifference)));
}

void TestJpegRegion::unusableInputGivesNullImage_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QRect>("region");
    const QByteArray baJpeg = EncodeWith(BusyImage(64, 48), false);
    QTest::newRow("not a JPEG") << Encode(BusyImage(64, 48), "PNG") << QRect(0, 0, 8, 8);
    QTest::newRow("header cut short") << baJpeg.left(30) << QRect(0, 0, 8, 8);
    QTest::newRow("empty data") << QByteArray() << QRect(0, 0, 8, 8);
    QTest::newRow("region past the edge") << baJpeg << QRect(60, 40, 8, 9);
    QTest::newRow("empty region") << baJpeg << QRect(10, 10, 0, 5);
}

void TestJpegRegion::unusableInputGivesNullImage()
{
    QFETCH(QByteArray, data);
    QFETCH(QRect, region);
    QVERIFY(JpegRegion::Decode(data, region).isNull());
}

QTEST_GUILESS_MAIN(TestJpegRegion)
#include "tst_jpegregion.moc"
