#include "Vantrel/StreamRateMeter.h"

#include <QtTest>

struct Sample
{
    quint64 uBytes;
    qint64 nMs;
};
using Samples = QVector<Sample>;
Q_DECLARE_METATYPE(Samples)

class tst_StreamRateMeter : public QObject
{
    Q_OBJECT
private slots:
    void rateFromArrivingBytes_data();
    void rateFromArrivingBytes();
    void frameRateFromCaps_data();
    void frameRateFromCaps();
};

void tst_StreamRateMeter::rateFromArrivingBytes_data()
{
    QTest::addColumn<Samples>("samples");
    QTest::addColumn<bool>("hasRate");
    QTest::addColumn<uint>("bytesPerSecond");
    QTest::newRow("no sample yet") << Samples{} << false << 0u;
    QTest::newRow("one sample is no rate yet") << Samples{{5000, 0}} << false << 0u;
    QTest::newRow("600000 bytes in one second") << Samples{{0, 0}, {600000, 1000}} << true << 600000u;
    QTest::newRow("131 bytes in one second") << Samples{{1000, 0}, {1131, 1000}} << true << 131u;
    QTest::newRow("half a second counts double") << Samples{{0, 0}, {1000, 500}} << true << 2000u;
    QTest::newRow("too close samples keep the last rate")
        << Samples{{0, 0}, {1000, 1000}, {90000, 1100}} << true << 1000u;
    QTest::newRow("close samples add up for the next")
        << Samples{{0, 0}, {1000, 1000}, {1500, 1100}, {3000, 2000}} << true << 2000u;
    QTest::newRow("count going back restarts") << Samples{{0, 0}, {9000, 1000}, {100, 1500}} << false << 0u;
    QTest::newRow("nothing arriving is zero") << Samples{{700, 0}, {700, 1000}} << true << 0u;
    QTest::newRow("huge rate stops at 32 bits") << Samples{{0, 0}, {Q_UINT64_C(1) << 40, 1000}} << true << 4294967295u;
    QTest::newRow("clock going back restarts") << Samples{{0, 1000}, {500, 2000}, {900, 500}} << false << 0u;
}

void tst_StreamRateMeter::rateFromArrivingBytes()
{
    QFETCH(Samples, samples);
    QFETCH(bool, hasRate);
    QFETCH(uint, bytesPerSecond);
    Vantrel::CStreamRateMeter meter;
    for (const Sample& sample : samples)
        meter.Sample(sample.uBytes, sample.nMs);
    QCOMPARE(meter.HasRate(), hasRate);
    QCOMPARE(uint(meter.BytesPerSecond()), bytesPerSecond);
}

void tst_StreamRateMeter::frameRateFromCaps_data()
{
    QTest::addColumn<int>("numerator");
    QTest::addColumn<int>("denominator");
    QTest::addColumn<uint>("frameRate");
    QTest::addColumn<uint>("fraction");
    QTest::newRow("25/1") << 25 << 1 << 25u << 0u;
    QTest::newRow("NTSC 30000/1001 rounds") << 30000 << 1001 << 30u << 0u;
    QTest::newRow("one frame in two seconds") << 1 << 2 << 2u << 1u;
    QTest::newRow("one frame a second") << 1 << 1 << 1u << 0u;
    QTest::newRow("variable rate 0/1") << 0 << 1 << 0u << 0u;
    QTest::newRow("broken 5/0") << 5 << 0 << 0u << 0u;
    QTest::newRow("negative") << -25 << 1 << 0u << 0u;
}

void tst_StreamRateMeter::frameRateFromCaps()
{
    QFETCH(int, numerator);
    QFETCH(int, denominator);
    QFETCH(uint, frameRate);
    QFETCH(uint, fraction);
    Vantrel::StreamInfo info{1, 1, 1, 99, 1};
    Vantrel::SetFrameRateFromFraction(info, numerator, denominator);
    QCOMPARE(uint(info.uFrameRate), frameRate);
    QCOMPARE(uint(info.uFrameRateFraction), fraction);
}

QTEST_GUILESS_MAIN(tst_StreamRateMeter)
#include "tst_streamratemeter.moc"
