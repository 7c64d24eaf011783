#include "sim/AlarmReplay.h"

#include "Fendra/Singleton.h"
#include "quorra/AlarmTransfer.h"

#include <QBuffer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace AlarmSim;

class tst_AlarmReplay : public QObject
{
    Q_OBJECT
private slots:
    void parseLine_data();
    void parseLine();
    void malformedLinesAreReportedAndSkipped();
    void picturesAreReadOnceAndShared();
    void shippedSampleIsWhole();
    void schedule_data();
    void schedule();
    void playsToTheHost();
    void speedBounds_data();
    void speedBounds();
    void readsOneLineAtATime();
    void disorderWindowIsAllThatIsHeld();
    void streamsAFileToTheHost();
};

namespace {

// A device that counts the bytes taken from it.
class CCountingBuffer : public QBuffer
{
public:
    qint64 nTaken = 0;

protected:
    qint64 readData(char* pData, qint64 nMax) override
    {
        const qint64 n = QBuffer::readData(pData, nMax);
        nTaken += qMax<qint64>(n, 0);
        return n;
    }
};

} // namespace

void tst_AlarmReplay::parseLine_data()
{
    QTest::addColumn<QByteArray>("baLine");
    QTest::addColumn<QString>("strResult");
    const QByteArray baAlarm = R"("AlarmSourceID": "AS-1", "IntelAlarmInfo": {"LinkageUid": "L"})";
    QTest::newRow("panoramic") << QByteArray(R"({"at": 1.5, "AlarmType": 100009, )" + baAlarm + "}")
                               << "100009 AS-1 L at 1.5";
    QTest::newRow("keys in any case") << QByteArray(
        R"({"alarmtype": 100509, "alarmsourceid": "AS-1", "intelalarminfo": {"linkageuid": "L"}})")
                                      << "100509 AS-1 L at 0";
    QTest::newRow("not JSON") << QByteArray("hello") << "not a JSON object";
    QTest::newRow("an array") << QByteArray("[1]") << "not a JSON object";
    QTest::newRow("no type") << QByteArray("{" + baAlarm + "}") << "\"AlarmType\" is missing or not a whole number";
    QTest::newRow("fractional type") << QByteArray(R"({"AlarmType": 1.5, )" + baAlarm + "}")
                                     << "\"AlarmType\" is missing or not a whole number";
    QTest::newRow("type beyond 32 bits") << QByteArray(R"({"AlarmType": 4294967296, )" + baAlarm + "}")
                                         << "\"AlarmType\" is missing or not a whole number";
    QTest::newRow("no source") << QByteArray(R"({"AlarmType": 100009, "IntelAlarmInfo": {}})")
                               << "\"AlarmSourceID\" is missing or not a text";
    const QString strBadTime = "\"at\" is not a time from 0 to 1000000 seconds";
    QTest::newRow("negative time") << QByteArray(R"({"at": -1, "AlarmType": 100009, )" + baAlarm + "}") << strBadTime;
    QTest::newRow("time beyond the clock")
        << QByteArray(R"({"at": 1e10, "AlarmType": 100009, )" + baAlarm + "}") << strBadTime;
    QTest::newRow("no alarm record") << QByteArray(R"({"AlarmType": 100009, "AlarmSourceID": "AS-1"})")
                                     << "\"IntelAlarmInfo\" is missing or not an object";
    QTest::newRow("bad base64") << QByteArray(
        R"({"AlarmType": 100009, "AlarmSourceID": "A", "IntelAlarmInfo": {"VCASmart": {"bkPic": {"base64": "!!"}}}})")
                                << "VCASmart.bkPic: \"base64\" is not base64";
    QTest::newRow("file and base64") << QByteArray(
        R"({"AlarmType": 100509, "AlarmSourceID": "A", "IntelAlarmInfo": {"IntelAlarmHumanInfoList": [{}, {"SubPic": {"file": "a.jpg", "base64": "AA=="}}]}})")
                                     << "IntelAlarmHumanInfoList[1].SubPic: both \"file\" and \"base64\"";
    const QByteArray baRefAlarm = R"({"AlarmType": 100509, "AlarmSourceID": "A", "Pictures": {"0": "AA=="}, )"
                                  R"("IntelAlarmInfo": {"LinkageUid": "L", "IntelAlarmHumanInfoList": [{"bkPic": )";
    QTest::newRow("shared picture") << QByteArray(baRefAlarm + R"({"ref": "0"}}]}})") << "100509 A L at 0";
    QTest::newRow("unknown ref") << QByteArray(baRefAlarm + R"({"ref": "1"}}]}})")
                                 << "IntelAlarmHumanInfoList[0].bkPic: \"ref\" 1 names no picture of \"Pictures\"";
    QTest::newRow("ref and base64") << QByteArray(baRefAlarm + R"({"ref": "0", "base64": "AA=="}}]}})")
                                    << "IntelAlarmHumanInfoList[0].bkPic: both \"base64\" and \"ref\"";
    QTest::newRow("file and ref") << QByteArray(baRefAlarm + R"({"ref": "0", "file": "a.jpg"}}]}})")
                                  << "IntelAlarmHumanInfoList[0].bkPic: both \"file\" and \"ref\"";
    QTest::newRow("shared pictures not an object")
        << QByteArray(R"({"AlarmType": 100009, "AlarmSourceID": "A", "Pictures": [], "IntelAlarmInfo": {}})")
        << "\"Pictures\" is not an object";
    const QByteArray baFileAlarm = R"({"AlarmType": 100009, "AlarmSourceID": "A", "IntelAlarmInfo": {"VCASmart": )";
    QTest::newRow("file above the folder") << QByteArray(baFileAlarm + R"({"bkPic": {"file": "../../etc/hostname"}}}})")
                                           << "VCASmart.bkPic: picture file ../../etc/hostname is outside the "
                                              "replay file's folder";
    QTest::newRow("absolute file") << QByteArray(baFileAlarm + R"({"bkPic": {"file": "/etc/hostname"}}}})")
                                   << "VCASmart.bkPic: picture file /etc/hostname: an absolute path (only files in "
                                      "the replay file's folder are read)";
    QTest::newRow("link out of the folder") << QByteArray(baFileAlarm + R"({"bkPic": {"file": "out.jpg"}}}})")
                                            << "VCASmart.bkPic: picture file out.jpg is outside the replay file's "
                                               "folder";
    QTest::newRow("forged line in a file name, escaped")
        << QByteArray(baFileAlarm + R"({"bkPic": {"file": "a\nline 9: fake"}}}})")
        << "VCASmart.bkPic: picture file a\\nline 9: fake cannot be read";
    QTest::newRow("missing file") << QByteArray(
        R"({"AlarmType": 100509, "AlarmSourceID": "A", "IntelAlarmInfo": {"IntelAlarmFaceInfoList": [{"bkPic": {"file": "none.jpg"}}]}})")
                                  << "IntelAlarmFaceInfoList[0].bkPic: picture file none.jpg cannot be read";
}

void tst_AlarmReplay::parseLine()
{
    QFETCH(QByteArray, baLine);
    QFETCH(QString, strResult);
    QTemporaryDir dir;
    QTemporaryDir outside;
    QFile secret(outside.filePath("secret.jpg"));
    QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("secret") == 6);
    secret.close();
    QVERIFY(QFile::link(secret.fileName(), dir.filePath("out.jpg")));
    CPictureStore pictures(dir.path());
    ReplayEvent event;
    QString strError;
    const bool bOk = ParseReplayLine(baLine, pictures, event, strError);
    const QString strActual = bOk ? QString("%1 %2 %3 at %4")
                                        .arg(event.info.AlarmType)
                                        .arg(QString::fromStdString(event.info.AlarmSourceID))
                                        .arg(QString::fromStdString(event.info.IntelAlarmInfo.LinkageUid))
                                        .arg(event.dAt)
                                  : strError;
    QCOMPARE(strActual, strResult);
}

void tst_AlarmReplay::malformedLinesAreReportedAndSkipped()
{
    QTemporaryDir dir;
    QFile file(dir.filePath("alarms.jsonl"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# a comment\n"
               "{\"AlarmType\": 100009, \"AlarmSourceID\": \"A\", \"IntelAlarmInfo\": {\"LinkageUid\": \"1\"}}\n"
               "\n"
               "{\"AlarmType\": 100509, \"AlarmSourceID\": \"A\"\n"
               "{\"AlarmType\": 100509, \"AlarmSourceID\": \"A\", \"IntelAlarmInfo\": {\"LinkageUid\": \"1\"}}\n"
               "garbage");
    file.close();
    const ReplayFile replay = LoadReplayFile(file.fileName());
    QCOMPARE(replay.vecEvents.size(), size_t(2));
    QCOMPARE(replay.lstErrors.join('|'), QString("line 4: not a JSON object|line 6: not a JSON object"));
    QCOMPARE(LoadReplayFile(dir.filePath("absent.jsonl")).lstErrors.size(), 1);
}

void tst_AlarmReplay::picturesAreReadOnceAndShared()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("pictures"));
    QFile picture(dir.filePath("pictures/p.jpg"));
    QVERIFY(picture.open(QIODevice::WriteOnly));
    picture.write("JPEG bytes");
    picture.close();
    CPictureStore pictures(dir.path());
    QString strError;
    auto spFirst = pictures.File("pictures/p.jpg", strError);
    auto spAgain = pictures.File("pictures/./p.jpg", strError);
    QVERIFY(spFirst);
    QCOMPARE(spFirst.get(), spAgain.get());
    QCOMPARE(QString::fromStdString(spFirst->strData), QString("JPEG bytes"));
    QVERIFY(!CPictureStore().File("pictures/p.jpg", strError)); // no folder: no files read
}

void tst_AlarmReplay::shippedSampleIsWhole()
{
    const ReplayFile replay = LoadReplayFile(LSA_DEMO_REPLAY);
    QCOMPARE(replay.lstErrors, QStringList());
    QCOMPARE(replay.vecEvents.size(), size_t(4));
    const auto& panoramic = replay.vecEvents.front().info;
    QCOMPARE(panoramic.AlarmType, 100009);
    QVERIFY(panoramic.IntelAlarmInfo.VCASmart.bkPic.pPicBinary->strData.size() > 1000);
    // The same picture file, named by several alarms, is read once.
    const auto& linkage = replay.vecEvents[2].info.IntelAlarmInfo.IntelAlarmHumanInfoList;
    QCOMPARE(linkage.size(), size_t(2));
    QCOMPARE(linkage[0].bkPic.pPicBinary.get(), linkage[1].bkPic.pPicBinary.get());
    QVERIFY(!replay.vecEvents[3].info.IntelAlarmInfo.IntelAlarmFaceInfoList.front().SubPic.pPicBinary->strData.empty());
}

void tst_AlarmReplay::schedule_data()
{
    QTest::addColumn<QString>("strTimes");
    QTest::addColumn<double>("dSpeed");
    QTest::addColumn<int>("nBurst");
    QTest::addColumn<int>("nDisorder");
    QTest::addColumn<QString>("strSchedule");
    QTest::newRow("in time") << "0,1,2" << 1.0 << 1 << 0 << "0:0,1:1,2:2";
    QTest::newRow("twice as fast") << "0,1,2" << 2.0 << 1 << 0 << "0:0,0.5:1,1:2";
    QTest::newRow("at once") << "0,1,2" << 0.0 << 1 << 0 << "0:0,0:1,0:2";
    QTest::newRow("lines out of time order wait for nothing") << "2,0,1,3" << 1.0 << 1 << 0 << "2:0,2:1,2:2,3:3";
    QTest::newRow("bursts of two") << "0,1,2,3,4" << 1.0 << 2 << 0 << "0:0,0:1,2:2,2:3,4:4";
    QTest::newRow("out of order, times kept")
        << "0,1,2,3,4,5,6,7" << 1.0 << 1 << 3 << "0:0,1:1,2:2,3:3,4:5,5:4,6:7,7:6";
}

void tst_AlarmReplay::schedule()
{
    QFETCH(QString, strTimes);
    QFETCH(double, dSpeed);
    QFETCH(int, nBurst);
    QFETCH(int, nDisorder);
    QFETCH(QString, strSchedule);
    std::vector<ReplayEvent> vecEvents;
    for (const QString& strTime : strTimes.split(',')) {
        vecEvents.emplace_back();
        vecEvents.back().dAt = strTime.toDouble();
    }
    ReplayOptions options;
    options.dSpeed = dSpeed;
    options.nBurst = nBurst;
    options.nDisorder = nDisorder;
    QStringList lst;
    for (const auto& [dAt, nIndex] : ScheduleReplay(vecEvents, options))
        lst << QString("%1:%2").arg(dAt).arg(nIndex);
    QCOMPARE(lst.join(','), strSchedule);
}

void tst_AlarmReplay::playsToTheHost()
{
    std::vector<ReplayEvent> vecEvents(20);
    for (size_t i = 0; i < vecEvents.size(); ++i)
        vecEvents[i].info.AlarmType = int(i);
    ReplayOptions options;
    options.dSpeed = 0;
    options.nDisorder = 3;
    QList<int> lstTypes;
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    QObject context; // the connection ends with the test
    connect(&transfer, &quorra::AlarmTransfer::signalAlarmEventInfo, &context, [&](void* pAlarm) {
        lstTypes << static_cast<quorra::IAlarmEvent*>(pAlarm)->GetIntelAlarmEventInfo().AlarmType;
    });
    CAlarmReplay replay;
    QSignalSpy spyFinished(&replay, &CAlarmReplay::signalFinished);
    replay.Start(vecEvents, options);
    QTRY_COMPARE(lstTypes.size(), 20);
    QTRY_COMPARE(spyFinished.count(), 1);
    // Out of order, yet every event exactly once and none later than allowed.
    for (int i = 0; i < 20; ++i)
        QVERIFY(lstTypes.indexOf(i) <= i + options.nDisorder);
    QList<int> lstSorted = lstTypes;
    std::sort(lstSorted.begin(), lstSorted.end());
    for (int i = 0; i < 20; ++i)
        QCOMPARE(lstSorted[i], i);
    QVERIFY(lstTypes != lstSorted);
    QTRY_COMPARE(transfer.PendingEvents(), 0);
}

void tst_AlarmReplay::speedBounds_data()
{
    QTest::addColumn<double>("dSpeed");
    QTest::addColumn<bool>("bAllowed");
    QTest::newRow("at once") << 0.0 << true;
    QTest::newRow("slowest") << kMinReplaySpeed << true;
    QTest::newRow("fastest") << kMaxReplaySpeed << true;
    QTest::newRow("so slow the clock overflows") << 1e-300 << false;
    QTest::newRow("beyond the fastest") << 1e7 << false;
    QTest::newRow("negative") << -1.0 << false;
    QTest::newRow("not a number") << qQNaN() << false;
}

void tst_AlarmReplay::speedBounds()
{
    QFETCH(double, dSpeed);
    QFETCH(bool, bAllowed);
    QCOMPARE(IsReplaySpeedAllowed(dSpeed), bAllowed);
}

void tst_AlarmReplay::readsOneLineAtATime()
{
    constexpr int kLines = 4000;
    QByteArray baFile = "# many alarms\n";
    for (int i = 0; i < kLines; ++i)
        baFile += QStringLiteral(R"({"at": %1, "AlarmType": 100009, "AlarmSourceID": "AS-1", "IntelAlarmInfo": {}})"
                                 "\n")
                      .arg(i)
                      .toUtf8();
    CCountingBuffer device;
    device.setData(baFile);
    QVERIFY(device.open(QIODevice::ReadOnly));
    QTemporaryDir dir;
    CReplayReader reader(&device, dir.path());
    ReplayEvent event;
    QVERIFY(reader.Next(event));
    QVERIFY2(device.nTaken < baFile.size() / 10, qPrintable(QString::number(device.nTaken)));
    int nEvents = 1;
    while (reader.Next(event))
        ++nEvents;
    QCOMPARE(nEvents, kLines);
    QCOMPARE(event.dAt, double(kLines - 1));
}

void tst_AlarmReplay::disorderWindowIsAllThatIsHeld()
{
    ReplayOptions options;
    options.nDisorder = 5;
    CReplaySchedule schedule(options);
    size_t nOut = 0;
    double dDue = 0;
    ReplayEvent event;
    for (int i = 0; i < 200; ++i) {
        schedule.Push(ReplayEvent());
        while (schedule.Pop(dDue, event))
            ++nOut;
        QVERIFY(schedule.Held() <= size_t(options.nDisorder) + 1);
    }
    schedule.Finish();
    while (schedule.Pop(dDue, event))
        ++nOut;
    QCOMPARE(nOut, size_t(200));
}

void tst_AlarmReplay::streamsAFileToTheHost()
{
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    QTRY_COMPARE(transfer.PendingEvents(), 0);
    ReplayOptions options;
    options.dSpeed = 0;
    QStringList lstErrors;
    CAlarmReplay replay;
    QSignalSpy spyFinished(&replay, &CAlarmReplay::signalFinished);
    QVERIFY(!replay.Start(QDir::temp().filePath("no-such-replay.jsonl"), options,
                          [&](const QString& strError) { lstErrors << strError; }));
    QCOMPARE(lstErrors.size(), 1);
    QVERIFY(replay.Start(LSA_DEMO_REPLAY, options, [&](const QString& strError) { lstErrors << strError; }));
    QTRY_COMPARE(spyFinished.count(), 1);
    QCOMPARE(replay.AlarmsSent(), quint64(4));
    QCOMPARE(lstErrors.size(), 1);
    QTRY_COMPARE(transfer.PendingEvents(), 0);
}

QTEST_MAIN(tst_AlarmReplay)
#include "tst_alarmreplay.moc"
