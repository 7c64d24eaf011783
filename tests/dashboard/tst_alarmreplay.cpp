#include "sim/AlarmReplay.h"

#include "Fendra/Singleton.h"
#include "quorra/AlarmTransfer.h"

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
};

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
    QTest::newRow("negative time") << QByteArray(R"({"at": -1, "AlarmType": 100009, )" + baAlarm + "}")
                                   << "\"at\" is not a time in seconds";
    QTest::newRow("no alarm record") << QByteArray(R"({"AlarmType": 100009, "AlarmSourceID": "AS-1"})")
                                     << "\"IntelAlarmInfo\" is missing or not an object";
    QTest::newRow("bad base64") << QByteArray(
        R"({"AlarmType": 100009, "AlarmSourceID": "A", "IntelAlarmInfo": {"VCASmart": {"bkPic": {"base64": "!!"}}}})")
                                << "VCASmart.bkPic: \"base64\" is not base64";
    QTest::newRow("file and base64") << QByteArray(
        R"({"AlarmType": 100509, "AlarmSourceID": "A", "IntelAlarmInfo": {"IntelAlarmHumanInfoList": [{}, {"SubPic": {"file": "a.jpg", "base64": "AA=="}}]}})")
                                     << "IntelAlarmHumanInfoList[1].SubPic: both \"file\" and \"base64\"";
    QTest::newRow("missing file") << QByteArray(
        R"({"AlarmType": 100509, "AlarmSourceID": "A", "IntelAlarmInfo": {"IntelAlarmFaceInfoList": [{"bkPic": {"file": "none.jpg"}}]}})")
                                  << "IntelAlarmFaceInfoList[0].bkPic: picture file none.jpg cannot be read";
}

void tst_AlarmReplay::parseLine()
{
    QFETCH(QByteArray, baLine);
    QFETCH(QString, strResult);
    QTemporaryDir dir;
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
    QTest::newRow("lines out of time order") << "2,0,1" << 1.0 << 1 << 0 << "0:1,1:2,2:0";
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
    connect(&transfer, &quorra::AlarmTransfer::signalAlarmEventInfo, this, [&](void* pAlarm) {
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

QTEST_MAIN(tst_AlarmReplay)
#include "tst_alarmreplay.moc"
