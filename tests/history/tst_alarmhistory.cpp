#include "history/AlarmHistory.h"
#include "history/HistoryModel.h"

#include <QAbstractItemModelTester>
#include <QTemporaryDir>
#include <QtTest>

#include <sqlite3.h>

#include <memory>

using namespace LinkageSnapAlarm;

namespace {

constexpr int kWaitMs = 20000;
const qint64 kNow = QDateTime::currentMSecsSinceEpoch();
constexpr qint64 kHourMs = 3600 * 1000;

std::shared_ptr<const protocol::PicBinary> Picture(const char* szBytes)
{
    auto spBinary = std::make_shared<protocol::PicBinary>();
    spBinary->strData = szBytes;
    return spBinary;
}

HistoryAlarmSource Alarm(bool bPanoramic, const QString& strUid, const QString& strCamera, qint64 nTimeMs,
                         int nCards = 0)
{
    HistoryAlarmSource alarm;
    alarm.bPanoramic = bPanoramic;
    alarm.nAlarmType = bPanoramic ? 100009 : 100509;
    alarm.strLinkageUid = strUid;
    alarm.strCameraId = "AS-" + strCamera;
    alarm.strCameraName = strCamera;
    alarm.nTimeMs = nTimeMs;
    if (bPanoramic)
        alarm.scene.spBytes = Picture("scene");
    for (int i = 0; i < nCards; ++i)
        alarm.vecCards.push_back({{Picture("face"), std::nullopt, {}},
                                  {Picture("body"), std::nullopt, {}},
                                  {QRectF(0.25, 0.5, 0.125, 0.25)}});
    return alarm;
}

// The thumbnailer stand-in: the picture's bytes tagged, so that what is kept
// can be told from what came.
QByteArray Thumb(const HistoryPictureSource& picture, const QSize&)
{
    return "thumb:" + QByteArray::fromStdString(picture.spBytes->strData);
}

// Each row as "cameras|uid|alarms|cards", the list's order kept.
QStringList Rows(const CHistoryModel& model)
{
    QStringList lstRows;
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList lstCells;
        for (int c = CHistoryModel::ColumnCameras; c < CHistoryModel::ColumnCount; ++c)
            lstCells << model.index(r, c).data().toString();
        lstRows << lstCells.join('|');
    }
    return lstRows;
}

} // namespace

class TestAlarmHistory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void writeSurvivesRestart();
    void prunes_data();
    void prunes();
    void damagedFileIsSetAsideWithOneNotice();
    void lockedDatabaseWaitsAndWritesLater();
    void diskFullStopsWritesWithOneNotice();
    void search_data();
    void search();

private:
    std::unique_ptr<CAlarmHistory> Open(const HistoryBounds& bounds = {});
    QStringList List(CAlarmHistory& history, const HistoryFilter& filter);

    std::unique_ptr<QTemporaryDir> m_upDir;
    QString m_strPath;
};

void TestAlarmHistory::init()
{
    m_upDir = std::make_unique<QTemporaryDir>();
    m_strPath = m_upDir->filePath("LinkageSnapAlarmHistory");
}

void TestAlarmHistory::cleanup()
{
    m_upDir.reset();
}

std::unique_ptr<CAlarmHistory> TestAlarmHistory::Open(const HistoryBounds& bounds)
{
    auto upHistory = std::make_unique<CAlarmHistory>(m_strPath, bounds);
    upHistory->SetThumbnailer(&Thumb);
    upHistory->SetSpaceCheck([](const QString&) { return true; });
    return upHistory;
}

QStringList TestAlarmHistory::List(CAlarmHistory& history, const HistoryFilter& filter)
{
    if (!history.WaitWritten(kWaitMs))
        return {"not written"};
    CHistoryModel model(&history);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy spyShown(&model, &CHistoryModel::signalFirstPageShown);
    model.SetFilter(filter);
    if (!spyShown.wait(kWaitMs))
        return {"no page"};
    // Every page, as a view scrolling to the end would fetch them.
    while (model.canFetchMore(QModelIndex())) {
        QSignalSpy spyRows(&model, &QAbstractItemModel::rowsInserted);
        model.fetchMore(QModelIndex());
        if (!spyRows.wait(kWaitMs))
            return {"no next page"};
    }
    return Rows(model);
}

// Written, closed, opened again: the list and a chosen linkage still have
// everything, thumbnails where saving was off and the saved files' bytes where on.
void TestAlarmHistory::writeSurvivesRestart()
{
    const QString strSaved = m_upDir->filePath("face.jpg");
    QFile saved(strSaved);
    QVERIFY(saved.open(QIODevice::WriteOnly) && saved.write("face-file") == 9);
    saved.close();
    {
        auto upHistory = Open();
        upHistory->Record(Alarm(true, "uid-1", "Pano", kNow - 2 * kHourMs));
        HistoryAlarmSource linkage = Alarm(false, "uid-1", "Left", kNow - 2 * kHourMs + 10, 2);
        linkage.vecCards[1].face = {Picture("face"), std::nullopt, strSaved};
        upHistory->Record(linkage);
        upHistory->Record(Alarm(false, "uid-1", "Right", kNow - 2 * kHourMs + 20, 1));
        upHistory->Record(Alarm(true, "uid-2", "Pano", kNow - kHourMs));
    }
    auto upHistory = Open();
    QCOMPARE(List(*upHistory, {}), QStringList({"Pano|uid-2|1|0", "Pano, Left, Right|uid-1|3|3"}));

    CHistoryModel model(upHistory.get());
    QSignalSpy spyShown(&model, &CHistoryModel::signalFirstPageShown);
    model.SetFilter({});
    QVERIFY(spyShown.wait(kWaitMs));
    QSignalSpy spyChosen(upHistory.get(), &CAlarmHistory::signalLinkageChosen);
    upHistory->ChooseLinkage(model.LinkageId(model.index(1, 0)));
    QVERIFY(spyChosen.wait(kWaitMs));
    const auto record = spyChosen.first().first().value<HistoryLinkageRecord>();
    QCOMPARE(record.strLinkageUid, QStringLiteral("uid-1"));
    QCOMPARE(record.strCameraName, QStringLiteral("Pano"));
    QCOMPARE(record.time.toMSecsSinceEpoch(), kNow - 2 * kHourMs);
    QCOMPARE(record.baSceneJpeg, QByteArray("thumb:scene"));
    QCOMPARE(record.vecCards.size(), 3);
    QCOMPARE(record.vecCards[0].strCameraName, QStringLiteral("Left"));
    QCOMPARE(record.vecCards[0].baBodyJpeg, QByteArray("thumb:body"));
    QCOMPARE(record.vecCards[0].vecRects, QVector<QRectF>{QRectF(0.25, 0.5, 0.125, 0.25)});
    QCOMPARE(record.vecCards[1].strFacePath, strSaved);
    QCOMPARE(record.vecCards[1].baFaceJpeg, QByteArray("face-file"));
    QCOMPARE(record.vecCards[2].strCameraName, QStringLiteral("Right"));
}

void TestAlarmHistory::prunes_data()
{
    QTest::addColumn<int>("keepDays");
    QTest::addColumn<int>("maxAlarms");
    QTest::addColumn<QStringList>("kept");
    // 150 linkages u0..u149 (u0 oldest) of two alarms each, a minute apart, and
    // one of one alarm three days old; the count goes 1% below its bound.
    QTest::newRow("by age") << 1 << 1000 << QStringList{"u149", "u0"};
    QTest::newRow("by count") << 30 << 100 << QStringList{"u149", "u101"};
    QTest::newRow("within both") << 30 << 1000 << QStringList{"u149", "old"};
}

void TestAlarmHistory::prunes()
{
    QFETCH(int, keepDays);
    QFETCH(int, maxAlarms);
    QFETCH(QStringList, kept);
    {
        auto upHistory = Open();
        upHistory->Record(Alarm(true, "old", "Pano", kNow - 72 * kHourMs));
        for (int i = 0; i < 150; ++i) {
            const qint64 nTime = kNow - (150 - i) * 60 * 1000;
            upHistory->Record(Alarm(true, QStringLiteral("u%1").arg(i), "Pano", nTime));
            upHistory->Record(Alarm(false, QStringLiteral("u%1").arg(i), "Left", nTime + 1, 1));
        }
    }
    // Pruned in the background at the start, before the next alarms are written.
    auto upHistory = Open(HistoryBounds{keepDays, maxAlarms});
    upHistory->Record(Alarm(true, "marker", "Pano", kNow));
    const QStringList lstRows = List(*upHistory, {});
    QCOMPARE(lstRows.value(1).section('|', 1, 1), kept.first());
    QCOMPARE(lstRows.last().section('|', 1, 1), kept.last());
}

void TestAlarmHistory::damagedFileIsSetAsideWithOneNotice()
{
    QFile file(m_strPath);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(8192, 'x')) == 8192);
    file.close();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^History database .*: open failed: file is not a database"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^History database was damaged: kept as .*\\.damaged-"));
    auto upHistory = Open();
    QSignalSpy spyNotice(upHistory.get(), &CAlarmHistory::signalNotice);
    upHistory->Record(Alarm(true, "after", "Pano", kNow));
    QCOMPARE(List(*upHistory, {}), QStringList{"Pano|after|1|0"});
    QTRY_COMPARE_WITH_TIMEOUT(spyNotice.size(), 1, kWaitMs);
    const QStringList lstAside = QDir(m_upDir->path()).entryList({"LinkageSnapAlarmHistory.damaged-*"});
    QCOMPARE(lstAside.size(), 1);
    QCOMPARE(QFileInfo(m_upDir->filePath(lstAside.first())).size(), qint64(8192));
}

// Another program's lock holds the alarms back (told once); they are written
// once it is gone.
void TestAlarmHistory::lockedDatabaseWaitsAndWritesLater()
{
    auto upHistory = Open();
    QVERIFY(List(*upHistory, {}).isEmpty());
    sqlite3* pDb = nullptr;
    QCOMPARE(sqlite3_open(m_strPath.toUtf8().constData(), &pDb), SQLITE_OK);
    QCOMPARE(sqlite3_exec(pDb, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression("^History database .*: (open|write) waits: database is locked"));
    QSignalSpy spyNotice(upHistory.get(), &CAlarmHistory::signalNotice);
    for (int i = 0; i < 3; ++i)
        upHistory->Record(Alarm(true, QStringLiteral("locked-%1").arg(i), "Pano", kNow + i));
    QVERIFY(spyNotice.wait(kWaitMs));
    QCOMPARE(sqlite3_exec(pDb, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(pDb);
    QCOMPARE(List(*upHistory, {}), QStringList({"Pano|locked-2|1|0", "Pano|locked-1|1|0", "Pano|locked-0|1|0"}));
    QCOMPARE(spyNotice.size(), 1);
}

void TestAlarmHistory::diskFullStopsWritesWithOneNotice()
{
    auto upHistory = Open();
    bool bSpace = false;
    upHistory->SetSpaceCheck([&bSpace](const QString&) { return bSpace; });
    QSignalSpy spyNotice(upHistory.get(), &CAlarmHistory::signalNotice);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^History database .*: disk full"));
    for (int i = 0; i < 3; ++i) {
        upHistory->Record(Alarm(true, QStringLiteral("full-%1").arg(i), "Pano", kNow + i));
        QVERIFY(upHistory->WaitWritten(kWaitMs));
    }
    QCOMPARE(List(*upHistory, {}), QStringList());
    upHistory->SetSpaceCheck([](const QString&) { return true; });
    upHistory->Record(Alarm(true, "room", "Pano", kNow));
    QCOMPARE(List(*upHistory, {}), QStringList{"Pano|room|1|0"});
    QCOMPARE(spyNotice.size(), 1);
    QCOMPARE(spyNotice.first().first().toString(), QStringLiteral("HistoryDiskFull"));
}

void TestAlarmHistory::search_data()
{
    QTest::addColumn<QString>("camera");
    QTest::addColumn<QString>("linkage");
    QTest::addColumn<int>("fromHoursAgo"); // -1: no bound
    QTest::addColumn<int>("toHoursAgo");
    QTest::addColumn<QStringList>("uids");
    QTest::newRow("everything") << ""
                                << "" << -1 << -1 << QStringList{"gate-9", "dock-1_x", "gate-1"};
    QTest::newRow("panoramic camera, any case") << "DOCK"
                                                << "" << -1 << -1 << QStringList{"dock-1_x"};
    QTest::newRow("linked camera") << "lobby"
                                   << "" << -1 << -1 << QStringList{"gate-9", "gate-1"};
    QTest::newRow("linkage id part") << ""
                                     << "ate-" << -1 << -1 << QStringList{"gate-9", "gate-1"};
    QTest::newRow("LIKE characters are literal") << ""
                                                 << "1_" << -1 << -1 << QStringList{"dock-1_x"};
    QTest::newRow("percent matches nothing") << ""
                                             << "%" << -1 << -1 << QStringList{};
    QTest::newRow("time range") << ""
                                << "" << 5 << 2 << QStringList{"dock-1_x"};
    QTest::newRow("from only") << ""
                               << "" << 5 << -1 << QStringList{"gate-9", "dock-1_x"};
    QTest::newRow("camera and time") << "lobby"
                                     << "" << 5 << -1 << QStringList{"gate-9"};
}

void TestAlarmHistory::search()
{
    QFETCH(QString, camera);
    QFETCH(QString, linkage);
    QFETCH(int, fromHoursAgo);
    QFETCH(int, toHoursAgo);
    QFETCH(QStringList, uids);
    auto upHistory = Open();
    upHistory->Record(Alarm(true, "gate-1", "Gate Pano", kNow - 6 * kHourMs));
    upHistory->Record(Alarm(false, "gate-1", "Lobby Left", kNow - 6 * kHourMs + 1, 1));
    upHistory->Record(Alarm(true, "dock-1_x", "Dock Pano", kNow - 3 * kHourMs));
    upHistory->Record(Alarm(true, "gate-9", "Gate Pano", kNow - kHourMs));
    upHistory->Record(Alarm(false, "gate-9", "Lobby Left", kNow - kHourMs + 1, 2));
    HistoryFilter filter{camera, linkage};
    if (fromHoursAgo >= 0)
        filter.nFromMs = kNow - fromHoursAgo * kHourMs;
    if (toHoursAgo >= 0)
        filter.nToMs = kNow - toHoursAgo * kHourMs;
    QStringList lstUids;
    for (const QString& strRow : List(*upHistory, filter))
        lstUids << strRow.section('|', 1, 1);
    QCOMPARE(lstUids, uids);
}

QTEST_MAIN(TestAlarmHistory)
#include "tst_alarmhistory.moc"
