#include "savepic/JpegRegion.h"
#include "tests/savepic/PictureSamples.h"

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
};

void TestJpegRegion::regionMatchesCutOfFullDecode_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QRect>("region");
    QTest::addColumn<bool>("decoded"); // false: a null picture is expected
    const QImage busy = BusyImage(640, 360);
    const QByteArray baJpeg = Encode(busy, "JPEG", 90);
    QTest::newRow("block-aligned region") << baJpeg << QRect(64, 32, 128, 96) << true;
    QTest::newRow("unaligned region") << baJpeg << QRect(101, 57, 203, 111) << true;
    QTest::newRow("region at the bottom right") << baJpeg << QRect(533, 301, 107, 59) << true;
    QTest::newRow("one pixel") << baJpeg << QRect(333, 222, 1, 1) << true;
    QTest::newRow("whole picture") << baJpeg << QRect(0, 0, 640, 360) << true;
    QTest::newRow("odd picture size") << Encode(BusyImage(333, 211), "JPEG", 90) << QRect(17, 9, 300, 200) << true;
    QTest::newRow("progressive") << Encode(busy, "JPEG", 90, true) << QRect(101, 57, 203, 111) << true;
    QTest::newRow("grey") << Encode(busy.convertToFormat(QImage::Format_Grayscale8), "JPEG", 90)
                          << QRect(101, 57, 203, 111) << true;
    QTest::newRow("not a JPEG") << Encode(busy, "PNG") << QRect(0, 0, 8, 8) << false;
    QTest::newRow("header cut short") << baJpeg.left(30) << QRect(0, 0, 8, 8) << false;
    QTest::newRow("empty data") << QByteArray() << QRect(0, 0, 8, 8) << false;
    QTest::newRow("region past the edge") << baJpeg << QRect(600, 320, 40, 41) << false;
    QTest::newRow("empty region") << baJpeg << QRect(10, 10, 0, 5) << false;
}

// The same pixels as decoding everything and cutting, edges included.
void TestJpegRegion::regionMatchesCutOfFullDecode()
{
    QFETCH(QByteArray, data);
    QFETCH(QRect, region);
    QFETCH(bool, decoded);
    const QImage cut = JpegRegion::Decode(data, region);
    if (!decoded) {
        QVERIFY(cut.isNull());
        return;
    }
    QCOMPARE(cut.size(), region.size());
    const int nDifference = MaxDifference(cut, QImage::fromData(data).copy(region));
    QVERIFY2(nDifference <= 1, qPrintable(QString::number(nDifference)));
}

QTEST_GUILESS_MAIN(TestJpegRegion)
#include "tst_jpegregion.moc"
