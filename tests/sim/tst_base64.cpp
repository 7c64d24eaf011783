#include "sim/Base64.h"

#include <QTest>

class tst_Base64 : public QObject
{
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void roundTripOfEveryByte();
};

void tst_Base64::decode_data()
{
    QTest::addColumn<QByteArray>("baText");
    QTest::addColumn<bool>("bOk");
    QTest::addColumn<QByteArray>("baBytes");
    QTest::newRow("whole quanta") << QByteArray("TWFu") << true << QByteArray("Man");
    QTest::newRow("one padding") << QByteArray("TWE=") << true << QByteArray("Ma");
    QTest::newRow("two paddings") << QByteArray("TQ==") << true << QByteArray("M");
    QTest::newRow("unpadded") << QByteArray("TWFuTQ") << true << QByteArray("ManM");
    QTest::newRow("empty") << QByteArray() << true << QByteArray();
    QTest::newRow("a lone character at the end") << QByteArray("TWFuT") << false << QByteArray();
    QTest::newRow("padding inside") << QByteArray("TQ==TQ==") << false << QByteArray();
    QTest::newRow("three paddings") << QByteArray("T===") << false << QByteArray();
    QTest::newRow("padding on a short quantum") << QByteArray("TWFuTQ=") << false << QByteArray();
    QTest::newRow("not of the alphabet") << QByteArray("TW!u") << false << QByteArray();
    QTest::newRow("white space") << QByteArray("TW Fu") << false << QByteArray();
}

void tst_Base64::decode()
{
    QFETCH(QByteArray, baText);
    QFETCH(bool, bOk);
    QFETCH(QByteArray, baBytes);
    std::string strOut;
    QCOMPARE(AlarmSim::DecodeBase64(std::string_view(baText.constData(), size_t(baText.size())), strOut), bOk);
    if (bOk)
        QCOMPARE(QByteArray::fromStdString(strOut), baBytes);
}

void tst_Base64::roundTripOfEveryByte()
{
    QByteArray baBytes;
    for (int i = 0; i < 3 * 256 + 2; ++i)
        baBytes.append(char(i * 7 % 256));
    for (const auto eOption : {QByteArray::Base64Encoding, QByteArray::OmitTrailingEquals}) {
        const QByteArray baText = baBytes.toBase64(eOption);
        std::string strOut;
        QVERIFY(AlarmSim::DecodeBase64(std::string_view(baText.constData(), size_t(baText.size())), strOut));
        QCOMPARE(QByteArray::fromStdString(strOut), baBytes);
    }
}

QTEST_MAIN(tst_Base64)
#include "tst_base64.moc"
