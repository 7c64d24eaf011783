#include "LinkageSavePicMgr.h"
#include "PictureSamples.h"

#include "Fendra/DiskDriveUtil.h"

#include <QDir>
#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <future>
#include <limits>

using LinkageSnapAlarm::CLinkageSavePicMgr;
using LinkageSnapAlarm::LinkageSavePicInfo;

namespace {

LinkageSavePicInfo Picture(const QString& strFolder, const QString& strFile, const QByteArray& baData,
                           const QRectF& rcCrop = QRectF())
{
    LinkageSavePicInfo info;
    info.strFolderName = strFolder;
    info.strFileName = strFile;
    info.strPicData = baData.toStdString();
    info.struCropRect.x = rcCrop.x();
    info.struCropRect.y = rcCrop.y();
    info.struCropRect.width = rcCrop.width();
    info.struCropRect.height = rcCrop.height();
    return info;
}

void SetFreeMiB(qint64 nMiB)
{
    Fendra::DiskDriveUtil::SetFreeSpaceOverride([nMiB](const std::string&, std::uint64_t& nFree) {
        nFree = std::uint64_t(nMiB) << 20;
        return 0;
    });
}

// Every file under a folder, relative to it, hidden ones included.
QStringList FilesUnder(const QString& strFolder)
{
    QStringList lstFiles;
    QDirIterator it(strFolder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        lstFiles << QDir(strFolder).relativeFilePath(it.next());
    lstFiles.sort();
    return lstFiles;
}

QByteArray ReadAll(const QString& strPath)
{
    QFile file(strPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The manager and spies on its three signals, for one test.
struct SaveRig
{
    QObject parent;
    CLinkageSavePicMgr* pMgr = CLinkageSavePicMgr::GetSavePicMgr(&parent);
    QSignalSpy spySaved{pMgr, &CLinkageSavePicMgr::signalPictureSaved};
    QSignalSpy spySpace{pMgr, &CLinkageSavePicMgr::signalSpaceNotEnough};
    QSignalSpy spyFailed{pMgr, &CLinkageSavePicMgr::signalSaveFailed};

    explicit SaveRig(const QString& strSavePath)
    {
        pMgr->SetSavePicPath(strSavePath);
        pMgr->SetSavePicture(true);
    }
    int Outcomes() const { return spySaved.count() + spySpace.count() + spyFailed.count(); }
    QString SavedPath(int i) const { return spySaved.at(i).at(0).toString(); }
};

} // namespace

class TestLinkageSavePicMgr : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // The instance.
    void managerIsWeakSingletonOwnedByParent();
    void savePathIsKeptAndSavingSwitchesOff();

    // Writing pictures.
    void collidingNamesWrittenInOrder();
    void cropWritesCutJpegAtQualityFifty();
    void wholePictureWrittenUnchanged_data();
    void wholePictureWrittenUnchanged();
    void invalidFolderCharactersReplaced();
    void unsafeNamesStayInsideSaveFolder_data();
    void unsafeNamesStayInsideSaveFolder();
    void manyPicturesKeepTheirOrder();

    // Free space and failures.
    void freeSpaceDecides_data();
    void freeSpaceDecides();
    void failuresAreReportedAndLeaveNoFile_data();
    void failuresAreReportedAndLeaveNoFile();
    void nothingToSaveIsSilent_data();
    void nothingToSaveIsSilent();
    void signalsArriveInManagerThread();

    // Going away.
    void queuedPicturesWrittenBeforeManagerGoes();

private:
    QString SavePath() const { return m_tmpDir.filePath(QStringLiteral("save")); }

    QTemporaryDir m_tmpDir;
    QByteArray m_baJpeg = Encode(QuadrantImage(400, 200), "JPEG");
};

void TestLinkageSavePicMgr::init()
{
    QDir(m_tmpDir.path()).removeRecursively();
    QDir().mkpath(SavePath());
    SetFreeMiB(100000);
}

void TestLinkageSavePicMgr::cleanup()
{
    Fendra::DiskDriveUtil::SetFreeSpaceOverride({});
    QCOMPARE(CLinkageSavePicMgr::GetLiveSavePicMgr(), nullptr);
}

void TestLinkageSavePicMgr::managerIsWeakSingletonOwnedByParent()
{
    QCOMPARE(CLinkageSavePicMgr::GetLiveSavePicMgr(), nullptr);
    auto* pFirstParent = new QObject;
    CLinkageSavePicMgr* pFirst = CLinkageSavePicMgr::GetSavePicMgr(pFirstParent);
    QVERIFY(pFirst);
    QCOMPARE(pFirst->parent(), pFirstParent);
    QObject otherParent;
    QCOMPARE(CLinkageSavePicMgr::GetSavePicMgr(&otherParent), pFirst);
    QCOMPARE(CLinkageSavePicMgr::GetLiveSavePicMgr(), pFirst);

    delete pFirstParent;
    QCOMPARE(CLinkageSavePicMgr::GetLiveSavePicMgr(), nullptr);
    CLinkageSavePicMgr* pSecond = CLinkageSavePicMgr::GetSavePicMgr(&otherParent);
    QVERIFY(pSecond);
    QCOMPARE(pSecond->parent(), &otherParent);
    delete pSecond;
    QCOMPARE(CLinkageSavePicMgr::GetLiveSavePicMgr(), nullptr);
}

void TestLinkageSavePicMgr::savePathIsKeptAndSavingSwitchesOff()
{
    SaveRig rig(QStringLiteral("/first"));
    QCOMPARE(rig.pMgr->GetSavePicPath(), QStringLiteral("/first"));
    rig.pMgr->SetSavePicPath(SavePath());
    QCOMPARE(rig.pMgr->GetSavePicPath(), SavePath());

    rig.pMgr->SetSavePicture(false);
    rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("off"), m_baJpeg));
    rig.pMgr->SetSavePicture(true);
    rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("on"), m_baJpeg));
    QTRY_COMPARE(rig.Outcomes(), 1);
    QCOMPARE(FilesUnder(SavePath()), QStringList{QStringLiteral("cam/on.jpg")});
}

void TestLinkageSavePicMgr::collidingNamesWrittenInOrder()
{
    SaveRig rig(SavePath());
    for (const char* szData : {"first", "second", "third"})
        rig.pMgr->SavePicture(Picture(QStringLiteral("Gate"), QStringLiteral("L1_Face_Sub"), QByteArray(szData)));
    QTRY_COMPARE(rig.spySaved.count(), 3);
    const QString strBase = SavePath() + QStringLiteral("/Gate/L1_Face_Sub");
    QCOMPARE(ReadAll(strBase + QStringLiteral(".jpg")), QByteArray("first"));
    QCOMPARE(ReadAll(strBase + QStringLiteral("1.jpg")), QByteArray("second"));
    QCOMPARE(ReadAll(strBase + QStringLiteral("2.jpg")), QByteArray("third"));
    QCOMPARE(FilesUnder(SavePath()).size(), 3);
}

void TestLinkageSavePicMgr::cropWritesCutJpegAtQualityFifty()
{
    SaveRig rig(SavePath());
    rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("cut"), m_baJpeg, QRectF(0.25, 0.25, 0.5, 0.5)));
    QTRY_COMPARE(rig.spySaved.count(), 1);
    const QByteArray baWritten = ReadAll(SavePath() + QStringLiteral("/cam/cut.jpg"));
    QCOMPARE(FormatOf(baWritten), QStringLiteral("jpeg"));
    QCOMPARE(FirstQuantValue(baWritten), 16);
    const QImage cut = QImage::fromData(baWritten);
    QCOMPARE(cut.size(), QSize(200, 100));
    // Cut from (100, 50): the source's centre (200, 100) is the cut's centre.
    QVERIFY(Near(cut.pixel(50, 25), Qt::red));
    QVERIFY(Near(cut.pixel(150, 25), Qt::green));
    QVERIFY(Near(cut.pixel(50, 75), Qt::blue));
    QVERIFY(Near(cut.pixel(150, 75), Qt::yellow));
}

void TestLinkageSavePicMgr::wholePictureWrittenUnchanged_data()
{
    const double dNaN = std::numeric_limits<double>::quiet_NaN();
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QRectF>("crop");
    QTest::newRow("all fractions zero") << m_baJpeg << QRectF();
    QTest::newRow("NaN fraction") << m_baJpeg << QRectF(0.25, dNaN, 0.5, 0.5);
    QTest::newRow("infinite fraction") << m_baJpeg << QRectF(0.25, 0.25, std::numeric_limits<double>::infinity(), 0.5);
    QTest::newRow("PNG bytes, still .jpg") << Encode(QuadrantImage(40, 20), "PNG") << QRectF();
    QTest::newRow("bytes that are no picture") << QByteArray("\x00\x01raw", 5) << QRectF();
}

void TestLinkageSavePicMgr::wholePictureWrittenUnchanged()
{
    QFETCH(QByteArray, data);
    QFETCH(QRectF, crop);
    SaveRig rig(SavePath());
    rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("whole"), data, crop));
    QTRY_COMPARE(rig.spySaved.count(), 1);
    QCOMPARE(rig.SavedPath(0), SavePath() + QStringLiteral("/cam/whole.jpg"));
    QCOMPARE(ReadAll(rig.SavedPath(0)), data);
}

void TestLinkageSavePicMgr::invalidFolderCharactersReplaced()
{
    SaveRig rig(SavePath());
    rig.pMgr->SavePicture(Picture(QStringLiteral("Door:1 <East>"), QStringLiteral("a*b"), m_baJpeg));
    QTRY_COMPARE(rig.spySaved.count(), 1);
    QCOMPARE(FilesUnder(SavePath()), QStringList{QStringLiteral("Door_1 _East_/a_b.jpg")});
}

void TestLinkageSavePicMgr::unsafeNamesStayInsideSaveFolder_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("written"); // relative to the save folder
    QTest::newRow("folder ..") << ".." << "pic" << "__/pic.jpg";
    QTest::newRow("folder .") << "." << "pic" << "_/pic.jpg";
    QTest::newRow("empty folder") << "" << "pic" << "_/pic.jpg";
    QTest::newRow("folder climbing out") << "../../outside" << "pic" << ".._.._outside/pic.jpg";
    QTest::newRow("absolute folder") << "/tmp" << "pic" << "_tmp/pic.jpg";
    QTest::newRow("file ..") << "cam" << ".." << "cam/__.jpg";
    QTest::newRow("file climbing out") << "cam" << "../../../pic" << "cam/.._.._.._pic.jpg";
}

void TestLinkageSavePicMgr::unsafeNamesStayInsideSaveFolder()
{
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QFETCH(QString, written);
    SaveRig rig(SavePath());
    rig.pMgr->SavePicture(Picture(folder, file, m_baJpeg));
    QTRY_COMPARE(rig.spySaved.count(), 1);
    QCOMPARE(FilesUnder(m_tmpDir.path()), QStringList{QStringLiteral("save/") + written});
}

void TestLinkageSavePicMgr::manyPicturesKeepTheirOrder()
{
    SaveRig rig(SavePath());
    const int nPictures = 150; // more than the queue holds
    for (int i = 0; i < nPictures; ++i)
        rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("p"), QByteArray::number(i)));
    QTRY_COMPARE(rig.spySaved.count(), nPictures);
    for (int i = 0; i < nPictures; ++i) {
        const QString strName = QStringLiteral("/cam/p") + (i ? QString::number(i) : QString()) + QStringLiteral(".jpg");
        QCOMPARE(rig.SavedPath(i), SavePath() + strName);
        QCOMPARE(ReadAll(SavePath() + strName), QByteArray::number(i));
    }
}

void TestLinkageSavePicMgr::freeSpaceDecides_data()
{
    QTest::addColumn<qint64>("freeMiB"); // -1: the query fails
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("spaceSignals");
    QTest::newRow("2047 MiB free") << qint64(2047) << 0 << 3;
    QTest::newRow("2048 MiB free") << qint64(2048) << 3 << 0;
    QTest::newRow("free-space query fails") << qint64(-1) << 3 << 0;
}

void TestLinkageSavePicMgr::freeSpaceDecides()
{
    QFETCH(qint64, freeMiB);
    QFETCH(int, written);
    QFETCH(int, spaceSignals);
    QStringList lstAsked;
    std::mutex mutex;
    Fendra::DiskDriveUtil::SetFreeSpaceOverride([&](const std::string& strLocation, std::uint64_t& nFree) {
        std::lock_guard<std::mutex> lock(mutex);
        lstAsked << QString::fromStdString(strLocation);
        nFree = std::uint64_t(std::max<qint64>(freeMiB, 0)) << 20;
        return freeMiB < 0 ? 1 : 0;
    });
    SaveRig rig(SavePath());
    for (int i = 0; i < 3; ++i)
        rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("pic"), m_baJpeg));
    QTRY_COMPARE(rig.Outcomes(), 3);
    QCOMPARE(rig.spySaved.count(), written);
    QCOMPARE(rig.spySpace.count(), spaceSignals);
    QCOMPARE(rig.spyFailed.count(), 0);
    QCOMPARE(FilesUnder(SavePath()).size(), written);
    std::lock_guard<std::mutex> lock(mutex);
    const QString strFolder = SavePath() + QStringLiteral("/cam"); // where the files go
    QCOMPARE(lstAsked, (QStringList{strFolder, strFolder, strFolder}));
}

void TestLinkageSavePicMgr::failuresAreReportedAndLeaveNoFile_data()
{
    QTest::addColumn<QString>("savePath"); // "<tmp>" is the temporary folder
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QRectF>("crop");
    const QRectF rcHalf(0.25, 0.25, 0.5, 0.5);
    QTest::newRow("undecodable picture to crop") << "<tmp>/save" << QByteArray("not a picture") << rcHalf;
    QTest::newRow("crop rectangle outside the picture") << "<tmp>/save" << m_baJpeg << QRectF(1.5, 0, 0.5, 0.5);
    QTest::newRow("folder blocked by a file") << "<tmp>/blocker" << m_baJpeg << QRectF();
    QTest::newRow("no save path") << "" << m_baJpeg << QRectF();
}

void TestLinkageSavePicMgr::failuresAreReportedAndLeaveNoFile()
{
    QFETCH(QString, savePath);
    QFETCH(QByteArray, data);
    QFETCH(QRectF, crop);
    QFile(m_tmpDir.filePath(QStringLiteral("blocker"))).open(QIODevice::WriteOnly);
    SaveRig rig(savePath.replace(QLatin1String("<tmp>"), m_tmpDir.path()));
    rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("pic"), data, crop));
    QTRY_COMPARE(rig.Outcomes(), 1);
    QCOMPARE(rig.spyFailed.count(), 1);
    QCOMPARE(FilesUnder(m_tmpDir.path()), QStringList{QStringLiteral("blocker")});
}

void TestLinkageSavePicMgr::nothingToSaveIsSilent_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("no bytes") << "pic" << QByteArray();
    QTest::newRow("no file name") << "" << m_baJpeg;
}

void TestLinkageSavePicMgr::nothingToSaveIsSilent()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, data);
    SaveRig rig(SavePath());
    rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), file, data));
    rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("marker"), m_baJpeg));
    QTRY_COMPARE(rig.spySaved.count(), 1); // jobs run in order: the first one has ended
    QCOMPARE(rig.Outcomes(), 1);
    QCOMPARE(FilesUnder(SavePath()), QStringList{QStringLiteral("cam/marker.jpg")});
}

void TestLinkageSavePicMgr::signalsArriveInManagerThread()
{
    SaveRig rig(SavePath());
    QList<QThread*> lstThreads;
    connect(rig.pMgr, &CLinkageSavePicMgr::signalSpaceNotEnough, this,
            [&lstThreads] { lstThreads << QThread::currentThread(); });
    connect(rig.pMgr, &CLinkageSavePicMgr::signalPictureSaved, this,
            [&lstThreads] { lstThreads << QThread::currentThread(); });
    rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("pic"), m_baJpeg));
    QTRY_COMPARE(rig.Outcomes(), 1);
    SetFreeMiB(10);
    rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("pic"), m_baJpeg));
    QTRY_COMPARE(rig.Outcomes(), 2);
    QCOMPARE(lstThreads, (QList<QThread*>{thread(), thread()}));
}

void TestLinkageSavePicMgr::queuedPicturesWrittenBeforeManagerGoes()
{
    // The worker waits in its first free-space query until the parent starts to go.
    std::promise<void> gate;
    std::shared_future<void> gateOpen = gate.get_future().share();
    Fendra::DiskDriveUtil::SetFreeSpaceOverride([gateOpen](const std::string&, std::uint64_t& nFree) {
        gateOpen.wait();
        nFree = std::uint64_t(1) << 40;
        return 0;
    });
    auto* pParent = new QObject;
    connect(pParent, &QObject::destroyed, [&gate] { gate.set_value(); });
    CLinkageSavePicMgr* pMgr = CLinkageSavePicMgr::GetSavePicMgr(pParent);
    pMgr->SetSavePicPath(SavePath());
    pMgr->SetSavePicture(true);
    for (int i = 0; i < 20; ++i)
        pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("p"), QByteArray::number(i)));

    delete pParent;
    QCOMPARE(FilesUnder(SavePath()).size(), 20);
    QCOMPARE(ReadAll(SavePath() + QStringLiteral("/cam/p19.jpg")), QByteArray("19"));
}

QTEST_GUILESS_MAIN(TestLinkageSavePicMgr)
#include "tst_linkagesavepicmgr.moc"
