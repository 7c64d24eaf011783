#include "savepic/LinkageSavePicMgr.h"
#include "savepic/PictureFile.h"
#include "tests/savepic/PictureSamples.h"

#include "Fendra/DiskDriveUtil.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <future>
#include <limits>

using LinkageSnapAlarm::CLinkageSavePicMgr;
using LinkageSnapAlarm::LinkageSavePicInfo;

namespace {

const QString kOneSaved = QStringLiteral("saved 1, no space 0, failed 0, off thread 0");

LinkageSavePicInfo Picture(const QString& strFolder, const QString& strFile, const QByteArray& baData,
                           const QRectF& rcCrop = QRectF())
{
    LinkageSavePicInfo info{strFolder, strFile, baData.toStdString(), {}, {}};
    info.struCropRect.x = rcCrop.x();
    info.struCropRect.y = rcCrop.y();
    info.struCropRect.width = rcCrop.width();
    info.struCropRect.height = rcCrop.height();
    return info;
}

// The manager with saving on, and what its three signals reported.
struct SaveRig
{
    std::atomic<int> nOffThread{0}; // signals emitted outside the manager's thread
    QObject parent;
    CLinkageSavePicMgr* pMgr = CLinkageSavePicMgr::GetSavePicMgr(&parent);
    QSignalSpy spySaved{pMgr, &CLinkageSavePicMgr::signalPictureSaved};
    QSignalSpy spySpace{pMgr, &CLinkageSavePicMgr::signalSpaceNotEnough};
    QSignalSpy spyFailed{pMgr, &CLinkageSavePicMgr::signalSaveFailed};

    explicit SaveRig(const QString& strSavePath)
    {
        pMgr->SetSavePicPath(strSavePath);
        pMgr->SetSavePicture(true);
        auto check = [this] { nOffThread += QThread::currentThread() != pMgr->thread(); };
        QObject::connect(pMgr, &CLinkageSavePicMgr::signalPictureSaved, check);
        QObject::connect(pMgr, &CLinkageSavePicMgr::signalSpaceNotEnough, check);
        QObject::connect(pMgr, &CLinkageSavePicMgr::signalSaveFailed, check);
    }
    // Waits for that many outcomes (a shortfall shows in the counts) and tells how they came.
    QString Await(int nOutcomes)
    {
        const auto arrived = [&] { return spySaved.count() + spySpace.count() + spyFailed.count() >= nOutcomes; };
        static_cast<void>(QTest::qWaitFor(arrived));
        return QStringLiteral("saved %1, no space %2, failed %3, off thread %4")
            .arg(spySaved.count())
            .arg(spySpace.count())
            .arg(spyFailed.count())
            .arg(nOffThread.load());
    }
    QString SavedPath(int i) const { return spySaved.at(i).at(0).toString(); }
};

} // namespace

class TestLinkageSavePicMgr : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void managerIsWeakSingletonOwnedByParent();
    void picturesWrittenInOrderUnderNumberedNames();
    void writtenFile_data();
    void writtenFile();
    void outcomeOfThreePictures_data();
    void outcomeOfThreePictures();
    void nothingToSaveIsSilent_data();
    void nothingToSaveIsSilent();
    void queuedPicturesWrittenBeforeManagerGoes();
    void startingToSaveSweepsStaleTemporaries();
    void folderRemovedAfterItsCheckIsMadeAgain();
    void slowDiskNeverHoldsTheCaller_data();
    void slowDiskNeverHoldsTheCaller();

private:
    QString SavePath() const { return m_tmpDir.filePath(QStringLiteral("save")); }

    QTemporaryDir m_tmpDir;
    QByteArray m_baJpeg = Encode(QuadrantImage(400, 200), "JPEG");
};

void TestLinkageSavePicMgr::init()
{
    QDir(m_tmpDir.path()).removeRecursively();
    QDir().mkpath(SavePath());
    Fendra::DiskDriveUtil::SetFreeSpaceOverride([](const std::string&, std::uint64_t& nFree) {
        nFree = std::uint64_t(1) << 40;
        return 0;
    });
}

void TestLinkageSavePicMgr::cleanup()
{
    Fendra::DiskDriveUtil::SetFreeSpaceOverride({});
    QCOMPARE(CLinkageSavePicMgr::GetLiveSavePicMgr(), nullptr);
}

void TestLinkageSavePicMgr::managerIsWeakSingletonOwnedByParent()
{
    auto* pFirstParent = new QObject;
    CLinkageSavePicMgr* pFirst = CLinkageSavePicMgr::GetSavePicMgr(pFirstParent);
    QCOMPARE(pFirst->parent(), pFirstParent);
    QObject otherParent;
    QCOMPARE(CLinkageSavePicMgr::GetSavePicMgr(&otherParent), pFirst);
    QCOMPARE(CLinkageSavePicMgr::GetLiveSavePicMgr(), pFirst);

    delete pFirstParent;
    QCOMPARE(CLinkageSavePicMgr::GetLiveSavePicMgr(), nullptr);
    CLinkageSavePicMgr* pSecond = CLinkageSavePicMgr::GetSavePicMgr(&otherParent);
    QCOMPARE(pSecond->parent(), &otherParent);
    delete pSecond;
}

// More pictures than the queue holds, all under one name: p.jpg, p1.jpg, p2.jpg ...
void TestLinkageSavePicMgr::picturesWrittenInOrderUnderNumberedNames()
{
    SaveRig rig(SavePath());
    for (int i = 0; i < 150; ++i)
        rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("p"), QByteArray::number(i)));
    QCOMPARE(rig.Await(150), QStringLiteral("saved 150, no space 0, failed 0, off thread 0"));
    for (int i = 0; i < 150; ++i) {
        const QString strPath = SavePath() + QStringLiteral("/cam/p%1.jpg").arg(i ? QString::number(i) : QString());
        QCOMPARE(rig.SavedPath(i), strPath);
        QCOMPARE(ReadAll(strPath), QByteArray::number(i));
    }
}

void TestLinkageSavePicMgr::writtenFile_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QRectF>("crop");
    QTest::addColumn<QString>("written"); // relative to the save folder
    const double dNaN = std::numeric_limits<double>::quiet_NaN();
    const double dInf = std::numeric_limits<double>::infinity();
    auto whole = [](const char* szName, const QByteArray& baData, const QRectF& rcCrop) {
        QTest::newRow(szName) << "cam"
                              << "pic" << baData << rcCrop << "cam/pic.jpg";
    };
    auto named = [this](const char* szName, const QString& strFolder, const QString& strFile, const QString& strTo) {
        QTest::newRow(szName) << strFolder << strFile << m_baJpeg << QRectF() << strTo;
    };
    QTest::newRow("400x200 crop: 200x100 cut from (100, 50)")
        << "cam"
        << "cut" << m_baJpeg << QRectF(0.25, 0.25, 0.5, 0.5) << "cam/cut.jpg";
    whole("all fractions zero: unchanged", m_baJpeg, QRectF());
    whole("NaN fraction: unchanged", m_baJpeg, QRectF(0.25, dNaN, 0.5, 0.5));
    whole("infinite x: unchanged", m_baJpeg, QRectF(dInf, 0.1, 0.5, 0.5));
    whole("PNG bytes, still .jpg", Encode(QuadrantImage(40, 20), "PNG"), QRectF());
    whole("bytes that are no picture", QByteArray("\x00\x01raw", 5), QRectF());
    named("folder .", ".", "pic", "_/pic.jpg");
    named("folder ..", "..", "pic", "__/pic.jpg");
    named("three dots kept", "...", "...", ".../....jpg");
    named("empty folder", "", "pic", "_/pic.jpg");
    named("folder climbing out", "../../out", "pic", ".._.._out/pic.jpg");
    named("file climbing out", "cam", "../../../pic", "cam/.._.._.._pic.jpg");
    named("forbidden characters", "Door:1 <East>", "a*b", "Door_1 _East_/a_b.jpg");
    const QString strWide = QString::fromUtf8("\xE5\xA4\xA7\xE9\x97\xA8 K\xC3\xBC");
    named("non-ASCII kept", strWide, strWide, strWide + "/" + strWide + ".jpg");
}

void TestLinkageSavePicMgr::writtenFile()
{
    QFETCH(QString, folder);
    QFETCH(QString, file);
    QFETCH(QByteArray, data);
    QFETCH(QRectF, crop);
    QFETCH(QString, written);
    SaveRig rig(SavePath());
    rig.pMgr->SavePicture(Picture(folder, file, data, crop));
    QCOMPARE(rig.Await(1), kOneSaved);
    QCOMPARE(FilesUnder(m_tmpDir.path()), QStringList{QStringLiteral("save/") + written});
    QCOMPARE(rig.SavedPath(0), SavePath() + QLatin1Char('/') + written);
    const QByteArray baWritten = ReadAll(rig.SavedPath(0));
    if (file == QLatin1String("cut"))
        QCOMPARE(QuadrantCutMismatch(baWritten, QSize(200, 100), QPoint(100, 50)), QString());
    else
        QCOMPARE(baWritten, data);
}

// Each picture gives one signal. The free space is asked for the folder the file
// goes to; too little skips the picture, an unknown answer does not. A good answer
// is reused for the next pictures (within a second), too little space never is.
void TestLinkageSavePicMgr::outcomeOfThreePictures_data()
{
    QTest::addColumn<qint64>("freeBytes"); // negative: the query fails
    QTest::addColumn<QString>("savePath"); // "<tmp>" is the temporary folder
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QRectF>("crop");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<int>("asked"); // free-space queries for the three pictures
    const qint64 n2048MiB = qint64(2048) << 20;
    const QString strSave = QStringLiteral("<tmp>/save");
    const QRectF rcWhole;
    const char* szSaved = "saved 3, no space 0, failed 0, off thread 0";
    const char* szNoSpace = "saved 0, no space 3, failed 0, off thread 0";
    const char* szFailed = "saved 0, no space 0, failed 3, off thread 0";
    QTest::newRow("one byte short of 2048 MiB") << n2048MiB - 1 << strSave << m_baJpeg << rcWhole << szNoSpace << 3;
    QTest::newRow("2048 MiB free") << n2048MiB << strSave << m_baJpeg << rcWhole << szSaved << 1;
    QTest::newRow("free-space query fails") << qint64(-1) << strSave << m_baJpeg << rcWhole << szSaved << 1;
    QTest::newRow("undecodable picture to crop")
        << n2048MiB << strSave << QByteArray("no picture") << QRectF(0.25, 0.25, 0.5, 0.5) << szFailed << 1;
    QTest::newRow("crop rectangle outside")
        << n2048MiB << strSave << m_baJpeg << QRectF(1.5, 0, 0.5, 0.5) << szFailed << 1;
    QTest::newRow("only x set: an empty crop")
        << n2048MiB << strSave << m_baJpeg << QRectF(0.5, 0, 0, 0) << szFailed << 1;
    QTest::newRow("folder blocked by a file") << n2048MiB << "<tmp>/blocker" << m_baJpeg << rcWhole << szFailed << 3;
    QTest::newRow("no save path") << n2048MiB << "" << m_baJpeg << rcWhole << szFailed << 0;
}

void TestLinkageSavePicMgr::outcomeOfThreePictures()
{
    QFETCH(qint64, freeBytes);
    QFETCH(QString, savePath);
    QFETCH(QByteArray, data);
    QFETCH(QRectF, crop);
    QFETCH(QString, outcome);
    QFETCH(int, asked);
    savePath.replace(QLatin1String("<tmp>"), m_tmpDir.path());
    QStringList lstAsked;
    std::mutex mutex;
    Fendra::DiskDriveUtil::SetFreeSpaceOverride([&](const std::string& strLocation, std::uint64_t& nFree) {
        std::lock_guard<std::mutex> lock(mutex);
        lstAsked << QString::fromStdString(strLocation);
        nFree = std::uint64_t(std::max<qint64>(freeBytes, 0));
        return freeBytes < 0 ? 1 : 0;
    });
    QFile(m_tmpDir.filePath(QStringLiteral("blocker"))).open(QIODevice::WriteOnly);
    SaveRig rig(savePath);
    for (int i = 0; i < 3; ++i)
        rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("pic"), data, crop));
    QCOMPARE(rig.Await(3), outcome);
    QCOMPARE(FilesUnder(m_tmpDir.path()).size(), 1 + rig.spySaved.count()); // the blocker and the saved ones
    std::lock_guard<std::mutex> lock(mutex);
    QCOMPARE(lstAsked, QVector<QString>(asked, savePath + QStringLiteral("/cam")).toList());
}

void TestLinkageSavePicMgr::nothingToSaveIsSilent_data()
{
    QTest::addColumn<bool>("savingOn");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("saving switched off") << false << "pic" << m_baJpeg;
    QTest::newRow("no bytes") << true << "pic" << QByteArray();
    QTest::newRow("no file name") << true << "" << m_baJpeg;
}

void TestLinkageSavePicMgr::nothingToSaveIsSilent()
{
    QFETCH(bool, savingOn);
    QFETCH(QString, file);
    QFETCH(QByteArray, data);
    SaveRig rig(SavePath());
    rig.pMgr->SetSavePicture(savingOn);
    rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), file, data));
    rig.pMgr->SetSavePicture(true);
    rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("marker"), m_baJpeg));
    // Jobs run in order: once the marker is written the first one has ended.
    QCOMPARE(rig.Await(1), kOneSaved);
    QCOMPARE(FilesUnder(SavePath()), QStringList{QStringLiteral("cam/marker.jpg")});
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
    for (int i = 0; i < 5; ++i)
        pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("p"), QByteArray::number(i)));

    // A few small pictures take far less than the exit budget.
    delete pParent;
    QCOMPARE(FilesUnder(SavePath()).size(), 5);
    QCOMPARE(ReadAll(SavePath() + QStringLiteral("/cam/p4.jpg")), QByteArray("4"));
}

// A killed save leaves its hidden temporary file behind; starting to save removes
// the old ones of our own naming, in the save folder and its camera folders only.
void TestLinkageSavePicMgr::startingToSaveSweepsStaleTemporaries()
{
    const QStringList lstFiles{".picture-1a2b.part",        "cam/.picture-zz9.part", "cam/.picture-fresh.part",
                               "cam/.picture-UPPER.part",   "cam/holiday.part",      "cam/.picture-1.part.jpg",
                               "cam/deeper/.picture-x.part"};
    const QDateTime dtOld = QDateTime::currentDateTime().addSecs(-3600);
    for (const QString& strFile : lstFiles) {
        const QString strPath = SavePath() + QLatin1Char('/') + strFile;
        QDir().mkpath(QFileInfo(strPath).path());
        QFile file(strPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (!strFile.contains(QLatin1String("fresh")))
            QVERIFY(file.setFileTime(dtOld, QFileDevice::FileModificationTime));
    }
    SaveRig rig(SavePath());
    rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("p"), QByteArray("x")));
    QCOMPARE(rig.Await(1), kOneSaved); // the sweep ran before this picture
    QStringList lstLeft = FilesUnder(SavePath());
    lstLeft.sort();
    QCOMPARE(lstLeft.join(QLatin1Char(' ')),
             QStringLiteral("cam/.picture-1.part.jpg cam/.picture-UPPER.part cam/.picture-fresh.part "
                            "cam/deeper/.picture-x.part cam/holiday.part cam/p.jpg"));
}

// The folder check is reused for a second: a folder removed meanwhile must not
// cost the next picture.
void TestLinkageSavePicMgr::folderRemovedAfterItsCheckIsMadeAgain()
{
    SaveRig rig(SavePath());
    rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("a"), QByteArray("1")));
    QCOMPARE(rig.Await(1), kOneSaved);
    QVERIFY(QDir(SavePath() + QStringLiteral("/cam")).removeRecursively());
    rig.pMgr->SavePicture(Picture(QStringLiteral("cam"), QStringLiteral("b"), QByteArray("2")));
    QCOMPARE(rig.Await(2), QStringLiteral("saved 2, no space 0, failed 0, off thread 0"));
    QCOMPARE(FilesUnder(SavePath()), QStringList{QStringLiteral("cam/b.jpg")});
}

void TestLinkageSavePicMgr::slowDiskNeverHoldsTheCaller_data()
{
    QTest::addColumn<int>("nPictures");
    QTest::addColumn<int>("nBacklogKiB");
    QTest::addColumn<bool>("bAllSaved");
    QTest::newRow("a burst the backlog holds") << 20 << 1024 << true;
    QTest::newRow("a flood beyond the backlog") << 60 << 64 << false;
}

void TestLinkageSavePicMgr::slowDiskNeverHoldsTheCaller()
{
    QFETCH(int, nPictures);
    QFETCH(int, nBacklogKiB);
    QFETCH(bool, bAllSaved);
    LinkageSnapAlarm::PictureFile::SetExtraWriteTimeForTesting(std::chrono::milliseconds(20));
    SaveRig rig(SavePath());
    rig.pMgr->SetBacklogLimit(std::int64_t(nBacklogKiB) << 10);
    QSignalSpy spyNotSaved(rig.pMgr, &CLinkageSavePicMgr::signalPicturesNotSaved);
    auto spBytes = std::make_shared<protocol::PicBinary>();
    spBytes->strData.assign(16 << 10, 'x'); // shared by every request, never copied
    for (int i = 0; i < nPictures; ++i) {
        LinkageSavePicInfo info = Picture(QStringLiteral("cam"), QStringLiteral("p"), QByteArray());
        info.spPicBytes = spBytes;
        rig.pMgr->SavePicture(info);
    }
    // The calls returned long before a slow disk could have written them all.
    QVERIFY(rig.pMgr->Counts().nWritten < nPictures);
    const auto counts = [&] { return rig.pMgr->Counts(); };
    QTRY_COMPARE_WITH_TIMEOUT(counts().nWritten + counts().nNotSaved, std::int64_t(nPictures), 30000);
    LinkageSnapAlarm::PictureFile::SetExtraWriteTimeForTesting(std::chrono::milliseconds(0));
    QCOMPARE(counts().nAsked, std::int64_t(nPictures));
    QCOMPARE(counts().nNotSaved == 0, bAllSaved);
    QCOMPARE(FilesUnder(SavePath()).size(), int(counts().nWritten));
    // One report for the episode, with its count.
    QTRY_COMPARE_WITH_TIMEOUT(spyNotSaved.count(), bAllSaved ? 0 : 1, 10000);
    if (!bAllSaved)
        QCOMPARE(spyNotSaved.at(0).at(0).toInt(), int(counts().nNotSaved));
}

QTEST_GUILESS_MAIN(TestLinkageSavePicMgr)
#include "tst_linkagesavepicmgr.moc"
