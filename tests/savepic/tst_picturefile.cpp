#include "PictureFile.h"
#include "PictureSamples.h"

#include "Fendra/DiskDriveUtil.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <future>
#include <limits>
#include <set>

namespace PictureFile = LinkageSnapAlarm::PictureFile;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

QStringList Entries(const QString& strFolder)
{
    return QDir(strFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

QByteArray ReadAll(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestPictureFile : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    // Names and rectangles.
    void safeName_data();
    void safeName();
    void wholePicture_data();
    void wholePicture();
    void cropRectInPixels_data();
    void cropRectInPixels();

    // Cropping and encoding.
    void cropToJpegCutsTheRegion_data();
    void cropToJpegCutsTheRegion();
    void cropToJpegFailsWithoutPicture_data();
    void cropToJpegFailsWithoutPicture();

    // Writing files.
    void collidingNamesGetNumbers();
    void existingNamesOfAnyKindAreSkipped();
    void concurrentWritersNeverShareAName();
    void failedWriteLeavesNothing_data();
    void failedWriteLeavesNothing();

    // Free space.
    void freeSpaceThreshold_data();
    void freeSpaceThreshold();

private:
    QTemporaryDir m_tmpDir;
};

void TestPictureFile::cleanup()
{
    Fendra::DiskDriveUtil::SetFreeSpaceOverride({});
    QDir(m_tmpDir.path()).removeRecursively();
    QDir().mkpath(m_tmpDir.path());
}

void TestPictureFile::safeName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("safe");
    QTest::newRow("plain name kept") << "Gate 3 camera" << "Gate 3 camera";
    QTest::newRow("non-ASCII kept") << QString::fromUtf8("\xE5\xA4\xA7\xE9\x97\xA8 K\xC3\xBC") << QString::fromUtf8("\xE5\xA4\xA7\xE9\x97\xA8 K\xC3\xBC");
    QTest::newRow("forbidden characters replaced") << "a/b\\c:d*e?f\"g<h>i|j" << "a_b_c_d_e_f_g_h_i_j";
    QTest::newRow("control characters replaced") << "tab\there\nnew" << "tab_here_new";
    QTest::newRow("empty") << "" << "_";
    QTest::newRow("dot") << "." << "_";
    QTest::newRow("dot dot") << ".." << "__";
    QTest::newRow("parent path") << "../../etc" << ".._.._etc";
    QTest::newRow("absolute path") << "/etc/passwd" << "_etc_passwd";
    QTest::newRow("three dots kept") << "..." << "...";
}

void TestPictureFile::safeName()
{
    QFETCH(QString, name);
    QFETCH(QString, safe);
    QCOMPARE(PictureFile::SafeName(name), safe);
}

void TestPictureFile::wholePicture_data()
{
    QTest::addColumn<QRectF>("fraction");
    QTest::addColumn<bool>("whole");
    QTest::newRow("all zero") << QRectF(0, 0, 0, 0) << true;
    QTest::newRow("a real rectangle") << QRectF(0.25, 0.25, 0.5, 0.5) << false;
    QTest::newRow("only x set") << QRectF(0.5, 0, 0, 0) << false;
    QTest::newRow("NaN width") << QRectF(0.1, 0.1, kNaN, 0.5) << true;
    QTest::newRow("infinite x") << QRectF(kInf, 0.1, 0.5, 0.5) << true;
    QTest::newRow("minus infinite height") << QRectF(0.1, 0.1, 0.5, -kInf) << true;
}

void TestPictureFile::wholePicture()
{
    QFETCH(QRectF, fraction);
    QFETCH(bool, whole);
    QCOMPARE(PictureFile::IsWholePicture(fraction), whole);
}

void TestPictureFile::cropRectInPixels_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRectF>("fraction");
    QTest::addColumn<QRect>("pixels");
    QTest::newRow("quarter inset of 400x200") << QSize(400, 200) << QRectF(0.25, 0.25, 0.5, 0.5) << QRect(100, 50, 200, 100);
    QTest::newRow("products truncated") << QSize(100, 100) << QRectF(0.339, 0.101, 0.259, 0.509) << QRect(33, 10, 25, 50);
    QTest::newRow("reaching past right and bottom") << QSize(400, 200) << QRectF(0.75, 0.5, 0.5, 1.0) << QRect(300, 100, 100, 100);
    QTest::newRow("starting left of the picture") << QSize(400, 200) << QRectF(-0.25, 0, 0.5, 0.5) << QRect(0, 0, 100, 100);
    QTest::newRow("entirely outside") << QSize(400, 200) << QRectF(1.5, 0, 0.5, 0.5) << QRect();
    QTest::newRow("negative size") << QSize(400, 200) << QRectF(0.5, 0.5, -0.25, -0.25) << QRect();
    QTest::newRow("zero width") << QSize(400, 200) << QRectF(0.5, 0.5, 0, 0.25) << QRect();
    QTest::newRow("huge size clipped") << QSize(400, 200) << QRectF(0.5, 0.5, 1e300, 1e300) << QRect(200, 100, 200, 100);
    QTest::newRow("huge opposite values") << QSize(400, 200) << QRectF(-1e300, -1e300, 1e300, 1e300) << QRect();
    QTest::newRow("less than a pixel") << QSize(400, 200) << QRectF(0.5, 0.5, 0.001, 0.001) << QRect();
}

void TestPictureFile::cropRectInPixels()
{
    QFETCH(QSize, picture);
    QFETCH(QRectF, fraction);
    QFETCH(QRect, pixels);
    QCOMPARE(PictureFile::CropRectInPixels(picture, fraction), pixels);
}

void TestPictureFile::cropToJpegCutsTheRegion_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QRectF>("fraction");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("centre"); // where the source picture's centre lands in the cut
    const QImage quadrants = QuadrantImage(400, 200);
    QTest::newRow("JPEG, centre half") << Encode(quadrants, "JPEG") << QRectF(0.25, 0.25, 0.5, 0.5) << QSize(200, 100) << QPoint(100, 50);
    QTest::newRow("PNG, centre half") << Encode(quadrants, "PNG") << QRectF(0.25, 0.25, 0.5, 0.5) << QSize(200, 100) << QPoint(100, 50);
    QTest::newRow("JPEG, clipped at the bottom right")
        << Encode(QuadrantImage(800, 400), "JPEG") << QRectF(0.25, 0.25, 1.0, 1.0) << QSize(600, 300) << QPoint(200, 100);
}

// Each quadrant colour must appear where the cut from the given origin puts it.
void TestPictureFile::cropToJpegCutsTheRegion()
{
    QFETCH(QByteArray, picture);
    QFETCH(QRectF, fraction);
    QFETCH(QSize, size);
    QFETCH(QPoint, centre);
    const QByteArray baJpeg = PictureFile::CropToJpeg(picture, fraction);
    QCOMPARE(FormatOf(baJpeg), QStringLiteral("jpeg"));
    QCOMPARE(FirstQuantValue(baJpeg), 16);
    const QImage cut = QImage::fromData(baJpeg);
    QCOMPARE(cut.size(), size);
    const int nMidX = centre.x();
    const int nMidY = centre.y();
    QVERIFY(Near(cut.pixel(nMidX / 2, nMidY / 2), Qt::red));
    QVERIFY(Near(cut.pixel(nMidX + 10, nMidY / 2), Qt::green));
    QVERIFY(Near(cut.pixel(nMidX / 2, nMidY + 10), Qt::blue));
    QVERIFY(Near(cut.pixel(size.width() - 5, size.height() - 5), Qt::yellow));
}

void TestPictureFile::cropToJpegFailsWithoutPicture_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QRectF>("fraction");
    const QByteArray baJpeg = Encode(QuadrantImage(400, 200), "JPEG");
    QTest::newRow("not a picture") << QByteArray("certainly not a picture") << QRectF(0.25, 0.25, 0.5, 0.5);
    QTest::newRow("truncated JPEG header") << baJpeg.left(20) << QRectF(0.25, 0.25, 0.5, 0.5);
    QTest::newRow("rectangle outside") << baJpeg << QRectF(2, 2, 0.5, 0.5);
}

void TestPictureFile::cropToJpegFailsWithoutPicture()
{
    QFETCH(QByteArray, picture);
    QFETCH(QRectF, fraction);
    QVERIFY(PictureFile::CropToJpeg(picture, fraction).isEmpty());
}

void TestPictureFile::collidingNamesGetNumbers()
{
    const QString strBase = m_tmpDir.filePath(QStringLiteral("Linkage_Face"));
    for (const char* szData : {"first", "second", "third"})
        QVERIFY(!PictureFile::WriteNewFile(strBase, szData, qint64(qstrlen(szData))).isEmpty());
    QCOMPARE(Entries(m_tmpDir.path()),
             (QStringList{QStringLiteral("Linkage_Face.jpg"), QStringLiteral("Linkage_Face1.jpg"),
                          QStringLiteral("Linkage_Face2.jpg")}));
    QCOMPARE(ReadAll(strBase + QStringLiteral(".jpg")), QByteArray("first"));
    QCOMPARE(ReadAll(strBase + QStringLiteral("1.jpg")), QByteArray("second"));
    QCOMPARE(ReadAll(strBase + QStringLiteral("2.jpg")), QByteArray("third"));
}

void TestPictureFile::existingNamesOfAnyKindAreSkipped()
{
    const QString strBase = m_tmpDir.filePath(QStringLiteral("pic"));
    QFile existing(strBase + QStringLiteral(".jpg"));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("keep me");
    existing.close();
    QVERIFY(QDir().mkdir(strBase + QStringLiteral("1.jpg")));
    QVERIFY(QFile::link(QStringLiteral("/nonexistent/target"), strBase + QStringLiteral("2.jpg")));

    QCOMPARE(PictureFile::WriteNewFile(strBase, "new", 3), strBase + QStringLiteral("3.jpg"));
    QCOMPARE(ReadAll(strBase + QStringLiteral(".jpg")), QByteArray("keep me"));
    QCOMPARE(ReadAll(strBase + QStringLiteral("3.jpg")), QByteArray("new"));
}

void TestPictureFile::concurrentWritersNeverShareAName()
{
    const QString strBase = m_tmpDir.filePath(QStringLiteral("race"));
    auto writer = [&strBase](char chTag) {
        QStringList lstWritten;
        for (int i = 0; i < 25; ++i) {
            const QByteArray baData = QByteArray(1000, chTag) + QByteArray::number(i);
            lstWritten << PictureFile::WriteNewFile(strBase, baData.constData(), baData.size());
        }
        return lstWritten;
    };
    auto first = std::async(std::launch::async, writer, 'a');
    auto second = std::async(std::launch::async, writer, 'b');
    const QStringList lstAll = first.get() + second.get();
    QCOMPARE(std::set<QString>(lstAll.begin(), lstAll.end()).size(), std::size_t(50));
    QCOMPARE(Entries(m_tmpDir.path()).size(), 50);
    std::set<QByteArray> setExpected;
    std::set<QByteArray> setWritten;
    for (int i = 0; i < 25; ++i)
        for (char chTag : {'a', 'b'})
            setExpected.insert(QByteArray(1000, chTag) + QByteArray::number(i));
    for (const QString& strPath : lstAll)
        setWritten.insert(ReadAll(strPath));
    QVERIFY(setWritten == setExpected);
}

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
    QCOMPARE(Entries(m_tmpDir.path()), QStringList());
}

void TestPictureFile::freeSpaceThreshold_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<qint64>("freeBytes");
    QTest::addColumn<int>("check");
    QTest::newRow("2047 MiB free") << 0 << (qint64(2047) << 20) << int(PictureFile::SpaceCheck::NotEnough);
    QTest::newRow("one byte short of 2048 MiB") << 0 << ((qint64(2048) << 20) - 1) << int(PictureFile::SpaceCheck::NotEnough);
    QTest::newRow("2048 MiB free") << 0 << (qint64(2048) << 20) << int(PictureFile::SpaceCheck::Enough);
    QTest::newRow("5 TiB free") << 0 << (qint64(5) << 40) << int(PictureFile::SpaceCheck::Enough);
    QTest::newRow("query fails") << 5 << qint64(0) << int(PictureFile::SpaceCheck::Unknown);
}

void TestPictureFile::freeSpaceThreshold()
{
    QFETCH(int, result);
    QFETCH(qint64, freeBytes);
    QFETCH(int, check);
    std::string strAsked;
    Fendra::DiskDriveUtil::SetFreeSpaceOverride([&](const std::string& strLocation, std::uint64_t& nFree) {
        strAsked = strLocation;
        nFree = std::uint64_t(freeBytes);
        return result;
    });
    const QString strFolder = m_tmpDir.filePath(QStringLiteral("cam"));
    QCOMPARE(int(PictureFile::CheckFreeSpace(strFolder)), check);
    QCOMPARE(QString::fromStdString(strAsked), strFolder);
}

QTEST_GUILESS_MAIN(TestPictureFile)
#include "tst_picturefile.moc"
