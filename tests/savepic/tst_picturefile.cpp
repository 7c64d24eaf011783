#include "common/PictureHeader.h"
#include "savepic/JpegRegion.h"
#include "savepic/PictureFile.h"
#include "tests/savepic/PictureSamples.h"

#include <QTemporaryDir>
#include <QtTest>

#include <future>

namespace PictureFile = LinkageSnapAlarm::PictureFile;

class TestPictureFile : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void cropRectInPixels_data();
    void cropRectInPixels();
    void cropToJpeg_data();
    void cropToJpeg();
    void numberedNamesSkipWhateverExists();
    void concurrentWritersNeverShareAName();
    void failedWriteLeavesNothing_data();
    void failedWriteLeavesNothing();
    void failuresAreLoggedOncePerRunWithTheReason();
    void headerSizeLimit_data();
    void headerSizeLimit();

private:
    QTemporaryDir m_tmpDir;
};

void TestPictureFile::cleanup()
{
    QDir(m_tmpDir.path()).removeRecursively();
    QDir().mkpath(m_tmpDir.path());
}

void TestPictureFile::cropRectInPixels_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRectF>("fraction");
    QTest::addColumn<QRect>("pixels");
    const QSize size(400, 200);
    QTest::newRow("quarter inset") << size << QRectF(0.25, 0.25, 0.5, 0.5) << QRect(100, 50, 200, 100);
    QTest::newRow("products truncated") << QSize(100, 100) << QRectF(0.339, 0.101, 0.259, 0.509)
                                        << QRect(33, 10, 25, 50);
    QTest::newRow("reaching past right and bottom") << size << QRectF(0.75, 0.5, 0.5, 1.0) << QRect(300, 100, 100, 100);
    QTest::newRow("starting left of the picture") << size << QRectF(-0.25, 0, 0.5, 0.5) << QRect(0, 0, 100, 100);
    QTest::newRow("entirely outside") << size << QRectF(1.5, 0, 0.5, 0.5) << QRect();
    QTest::newRow("negative size") << size << QRectF(0.5, 0.5, -0.25, -0.25) << QRect();
    QTest::newRow("zero width") << size << QRectF(0.5, 0.5, 0, 0.25) << QRect();
    QTest::newRow("huge size clipped") << size << QRectF(0.5, 0.5, 1e300, 1e300) << QRect(200, 100, 200, 100);
    QTest::newRow("huge opposite values") << size << QRectF(-1e300, -1e300, 1e300, 1e300) << QRect();
    QTest::newRow("less than a pixel") << size << QRectF(0.5, 0.5, 0.001, 0.001) << QRect();
}

void TestPictureFile::cropRectInPixels()
{
    QFETCH(QSize, picture);
    QFETCH(QRectF, fraction);
    QFETCH(QRect, pixels);
    QCOMPARE(PictureFile::CropRectInPixels(picture, fraction), pixels);
}

void TestPictureFile::cropToJpeg_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QRectF>("fraction");
    QTest::addColumn<QSize>("size");    // empty: no result
    QTest::addColumn<QPoint>("centre"); // where the source's centre lands in the cut
    const QRectF rcHalf(0.25, 0.25, 0.5, 0.5);
    QTest::newRow("PNG, centre half") << Encode(QuadrantImage(400, 200), "PNG") << rcHalf << QSize(200, 100)
                                      << QPoint(100, 50);
    QTest::newRow("JPEG, clipped at the bottom right")
        << Encode(QuadrantImage(800, 400), "JPEG") << QRectF(0.25, 0.25, 1, 1) << QSize(600, 300) << QPoint(200, 100);
    QTest::newRow("truncated JPEG header")
        << Encode(QuadrantImage(400, 200), "JPEG").left(20) << rcHalf << QSize() << QPoint();
}

void TestPictureFile::cropToJpeg()
{
    QFETCH(QByteArray, picture);
    QFETCH(QRectF, fraction);
    QFETCH(QSize, size);
    QFETCH(QPoint, centre);
    const QByteArray baJpeg = PictureFile::CropToJpeg(picture, fraction);
    if (size.isEmpty())
        QVERIFY(baJpeg.isEmpty());
    else
        QCOMPARE(QuadrantCutMismatch(baJpeg, size, centre), QString());
}

// Numbers are added until a name is free; files, folders and dangling links all
// count as taken and nothing is replaced.
void TestPictureFile::numberedNamesSkipWhateverExists()
{
    const QString strBase = m_tmpDir.filePath(QStringLiteral("pic"));
    for (const char* szData : {"first", "second", "third"})
        QVERIFY(!PictureFile::WriteNewFile(strBase, szData, qint64(qstrlen(szData))).isEmpty());
    QVERIFY(QDir().mkdir(strBase + QStringLiteral("3.jpg")));
    QVERIFY(QFile::link(QStringLiteral("/nonexistent/target"), strBase + QStringLiteral("4.jpg")));
    QCOMPARE(PictureFile::WriteNewFile(strBase, "fourth", 6), strBase + QStringLiteral("5.jpg"));

    QCOMPARE(FilesUnder(m_tmpDir.path()), (QStringList{"pic.jpg", "pic1.jpg", "pic2.jpg", "pic4.jpg", "pic5.jpg"}));
    QCOMPARE(ReadAll(strBase + QStringLiteral(".jpg")), QByteArray("first"));
    QCOMPARE(ReadAll(strBase + QStringLiteral("1.jpg")), QByteArray("second"));
    QCOMPARE(ReadAll(strBase + QStringLiteral("2.jpg")), QByteArray("third"));
    QCOMPARE(ReadAll(strBase + QStringLiteral("5.jpg")), QByteArray("fourth"));
}

void TestPictureFile::concurrentWritersNeverShareAName()
{
    const QString strBase = m_tmpDir.filePath(QStringLiteral("race"));
    auto writer = [&strBase](char chTag) {
        for (int i = 0; i < 25; ++i) {
            const QByteArray baData = QByteArray(1000, chTag) + QByteArray::number(i);
            PictureFile::WriteNewFile(strBase, baData.constData(), baData.size());
        }
    };
    auto other = std::async(std::launch::async, writer, 'a');
    writer('b');
    other.wait();
    QSet<QByteArray> setWritten;
    QSet<QByteArray> setExpected;
    for (const QString& strFile : FilesUnder(m_tmpDir.path()))
        setWritten << ReadAll(m_tmpDir.filePath(strFile));
    for (int i = 0; i < 25; ++i)
        for (char chTag : {'a', 'b'})
            setExpected << QByteArray(1000, chTag) + QByteArray::number(i);
    QCOMPARE(FilesUnder(m_tmpDir.path()).size(), 50);
    QCOMPARE(setWritten, setExpected);
}

// The bytes go to a temporary file first; a failed write removes it.
void TestPictureFile::failedWriteLeavesNothing_data()
{
    QTest::addColumn<QString>("base"); // relative to the temporary folder
    QTest::newRow("folder missing") << "missing/pic";
    QTest::newRow("name too long") << QString(300, QLatin1Char('n'));
}

void TestPictureFile::failedWriteLeavesNothing()
{
    QFETCH(QString, base);
    QVERIFY(PictureFile::WriteNewFile(m_tmpDir.filePath(base), "data", 4).isEmpty());
    QCOMPARE(FilesUnder(m_tmpDir.path()), QStringList());
}

// A full disk fails every picture: the log tells the first with the system's
// reason, and the count once a picture is written again.
void TestPictureFile::failuresAreLoggedOncePerRunWithTheReason()
{
    QVERIFY(!PictureFile::WriteNewFile(m_tmpDir.filePath("ok"), "d", 1).isEmpty()); // ends an earlier run
    QTest::ignoreMessage(
        QtWarningMsg, QRegularExpression("^Picture not saved: no new file in .*/missing: No such file or directory$"));
    for (int i = 0; i < 5; ++i)
        QVERIFY(PictureFile::WriteNewFile(m_tmpDir.filePath("missing/p"), "d", 1).isEmpty());
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^5 pictures were not saved \\(first: no new file in "));
    QVERIFY(!PictureFile::WriteNewFile(m_tmpDir.filePath("ok"), "d", 1).isEmpty());
}

namespace {

// A small real JPEG whose frame header claims the given size instead.
QByteArray JpegClaiming(int nWidth, int nHeight, bool bProgressive = false)
{
    QByteArray baJpeg = Encode(QuadrantImage(16, 16), "JPEG", 95, bProgressive);
    const int nFrame = baJpeg.indexOf(QByteArray(bProgressive ? "\xFF\xC2" : "\xFF\xC0", 2));
    if (nFrame < 0)
        return QByteArray();
    const char arrSize[] = {char(nHeight >> 8), char(nHeight), char(nWidth >> 8), char(nWidth)};
    baJpeg.replace(nFrame + 5, 4, arrSize, 4);
    return baJpeg;
}

} // namespace

// Every decode path reads the header first: a small file claiming a huge picture
// is refused before anything is allocated for it, with one log line.
void TestPictureFile::headerSizeLimit_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<bool>("allowed");
    QTest::addColumn<bool>("decodes"); // the crop and the region decode succeed
    QTest::newRow("real 16x16") << Encode(QuadrantImage(16, 16), "JPEG") << true << true;
    QTest::newRow("claims two 8K frames") << JpegClaiming(7680, 8640) << true << false;
    QTest::newRow("claims 20000x20000") << JpegClaiming(20000, 20000) << false << false;
    QTest::newRow("claims 65535x1600") << JpegClaiming(65535, 1600) << false << false;
    QTest::newRow("no picture at all") << QByteArray("not a picture") << false << false;
    // Progressive decoding holds the whole picture's coefficients: 4K UHD at most.
    QTest::newRow("real progressive 16x16") << Encode(QuadrantImage(16, 16), "JPEG", 95, true) << true << true;
    QTest::newRow("progressive, claims 4K UHD") << JpegClaiming(3840, 2160, true) << true << false;
    QTest::newRow("progressive, claims 10000x10000") << JpegClaiming(10000, 10000, true) << false << false;
}

void TestPictureFile::headerSizeLimit()
{
    QFETCH(QByteArray, picture);
    QFETCH(bool, allowed);
    QFETCH(bool, decodes);
    const QRegularExpression reRefused(QStringLiteral("^Refused to decode a .* header claims"));
    if (!allowed)
        QTest::ignoreMessage(QtWarningMsg, reRefused);
    QCOMPARE(LinkageSnapAlarm::IsPictureSizeAllowed(picture, "test"), allowed);
    if (allowed && !decodes)
        return; // only the header is real: decoding would fail late, and slowly
    if (!allowed)
        QTest::ignoreMessage(QtWarningMsg, reRefused);
    QCOMPARE(!PictureFile::CropToJpeg(picture, QRectF(0.25, 0.25, 0.5, 0.5)).isEmpty(), decodes);
    QCOMPARE(!LinkageSnapAlarm::JpegRegion::Decode(picture, QRect(0, 0, 8, 8)).isNull(), decodes);
}

QTEST_GUILESS_MAIN(TestPictureFile)
#include "tst_picturefile.moc"
