#include "common/IncidentManifest.h"

#include <QCryptographicHash>
#include <QTemporaryFile>
#include <QTest>

// The manifest's digests, however the hashing library is reached.
class tst_IncidentDigest : public QObject
{
    Q_OBJECT
private slots:
    void sha256_data();
    void sha256();
};

void tst_IncidentDigest::sha256_data()
{
    QTest::addColumn<QByteArray>("baBytes");
    QTest::addColumn<QString>("strExpected"); // empty: Qt's own digest of the bytes
    QTest::newRow("empty") << QByteArray() << "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    QTest::newRow("abc") << QByteArray("abc") << "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    QTest::newRow("several read chunks") << QByteArray(5 * 1024 * 1024 / 2, 'x') << QString();
}

void tst_IncidentDigest::sha256()
{
    QFETCH(QByteArray, baBytes);
    QFETCH(QString, strExpected);
    if (strExpected.isEmpty())
        strExpected = QString::fromLatin1(QCryptographicHash::hash(baBytes, QCryptographicHash::Sha256).toHex());
    QCOMPARE(LinkageSnapAlarm::IncidentManifest::Sha256OfBytes(baBytes), strExpected);
    QTemporaryFile file;
    QVERIFY(file.open() && file.write(baBytes) == baBytes.size() && file.flush());
    QCOMPARE(LinkageSnapAlarm::IncidentManifest::Sha256Of(file.fileName()), strExpected);
}

QTEST_MAIN(tst_IncidentDigest)
#include "tst_incidentdigest.moc"
