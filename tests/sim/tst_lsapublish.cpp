#include "tests/support/TestBroker.h"

#include "Fendra/Singleton.h"
#include "mqtt/AlarmIntake.h"
#include "mqtt/AlarmPublisher.h"
#include "quorra/AlarmTransfer.h"
#include "sim/AlarmPayload.h"
#include "sim/AlarmReplay.h"

#include <QCoreApplication>
#include <QTest>

class tst_LsaPublish : public QObject
{
    Q_OBJECT
private slots:
    void sendsTheReplayFile_data();
    void sendsTheReplayFile();
    void stationPublishesWhatItRaisesOnly();
};

namespace {

constexpr int kWaitMs = 30000;

QByteArray Bytes(const protocol::AlarmPictureInfo& picture)
{
    return picture.pPicBinary ? QByteArray::fromStdString(picture.pPicBinary->strData) : QByteArray();
}

// What a station must show of an alarm: its source, linkage, pictures and rectangles.
QStringList Summary(const quorra::IntelAlarmEventInfo& info)
{
    const auto& alarm = info.IntelAlarmInfo;
    QStringList lst{QString::number(info.AlarmType), QString::fromStdString(info.AlarmSourceID),
                    QString::fromStdString(alarm.LinkageUid), QString::number(qHash(Bytes(alarm.VCASmart.bkPic)))};
    for (const auto& human : alarm.IntelAlarmHumanInfoList) {
        lst << QString::number(qHash(Bytes(human.bkPic))) << QString::number(qHash(Bytes(human.SubPic)));
        for (const auto& rect : human.SubPic.PictureRectList)
            lst << QString("%1,%2,%3,%4").arg(rect.x).arg(rect.y).arg(rect.width).arg(rect.height);
    }
    for (const auto& face : alarm.IntelAlarmFaceInfoList)
        lst << QString::number(qHash(Bytes(face.bkPic))) << QString::number(qHash(Bytes(face.SubPic)));
    return lst;
}

} // namespace

void tst_LsaPublish::sendsTheReplayFile_data()
{
    QTest::addColumn<QStringList>("lstOptions");
    QTest::newRow("at once") << QStringList{"--speed", "0"};
    QTest::newRow("in bursts, out of order") << QStringList{"--speed", "0", "--burst", "2", "--disorder", "3"};
}

// Every alarm of the file reaches a station as the file says, pictures inline.
void tst_LsaPublish::sendsTheReplayFile()
{
    QFETCH(QStringList, lstOptions);
    CTestBroker broker;
    QVERIFY(broker.Prepare() && broker.Start());
    mqtt::BrokerSettings settings;
    QString strError;
    QVERIFY(settings.SetUrl(broker.Url(), strError));
    QMap<QString, QStringList> mapReceived; // by alarm id
    QObject context;
    connect(&Fendra::CSingleton<quorra::AlarmTransfer>::Instance(), &quorra::AlarmTransfer::signalAlarmEventInfo,
            &context, [&](void* pAlarm) {
                const auto info = static_cast<quorra::IAlarmEvent*>(pAlarm)->GetIntelAlarmEventInfo();
                mapReceived.insert(QString::fromStdString(info.AlarmID), Summary(info));
            });
    mqtt::CAlarmIntake intake(settings, &AlarmSim::DecodeAlarmPayload);
    intake.Start();
    QTRY_COMPARE_WITH_TIMEOUT(intake.CurrentState(), mqtt::CAlarmIntake::State::Connected, kWaitMs);

    QProcess publish;
    publish.setProcessChannelMode(QProcess::ForwardedChannels);
    publish.start(QCoreApplication::applicationDirPath() + "/lsa-publish",
                  QStringList{"--broker", broker.Url()} + lstOptions + QStringList{LSA_DEMO_REPLAY});
    QVERIFY(publish.waitForFinished(kWaitMs));
    QCOMPARE(publish.exitCode(), 0);

    const AlarmSim::ReplayFile file = AlarmSim::LoadReplayFile(LSA_DEMO_REPLAY);
    QTRY_COMPARE_WITH_TIMEOUT(mapReceived.size(), int(file.vecEvents.size()), kWaitMs);
    for (size_t i = 0; i < file.vecEvents.size(); ++i)
        QCOMPARE(mapReceived.value(QString("replay-0-%1").arg(i)), Summary(file.vecEvents[i].info));
}

// An analytics station publishes the alarms it raises; alarms that came from
// the broker are not sent back, so two stations on one broker do not echo.
void tst_LsaPublish::stationPublishesWhatItRaisesOnly()
{
    CTestBroker broker;
    QVERIFY(broker.Prepare() && broker.Start());
    mqtt::BrokerSettings settings;
    QString strError;
    QVERIFY(settings.SetUrl(broker.Url(), strError));
    mqtt::CAlarmIntake intake(settings, &AlarmSim::DecodeAlarmPayload);
    intake.Start();
    settings.strTopic = "lsa/alarms/station-1";
    mqtt::CAlarmPublisher publisher(settings);
    QVERIFY(publisher.Start(strError));
    publisher.PublishRaisedAlarms(&AlarmSim::EncodeRaisedAlarm);
    QTRY_COMPARE_WITH_TIMEOUT(intake.CurrentState(), mqtt::CAlarmIntake::State::Connected, kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(publisher.IsConnected(), kWaitMs);

    quorra::IntelAlarmEventInfo info;
    info.AlarmType = quorra::AlarmTypePanoramicSmart;
    info.AlarmSourceID = "AS-RAISED";
    Fendra::CSingleton<quorra::AlarmTransfer>::Instance().PostAlarmEvent(
        std::make_shared<quorra::CIntelAlarmEvent>(info));
    QTRY_COMPARE_WITH_TIMEOUT(intake.GetCounters().nDelivered, quint64(1), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(Fendra::CSingleton<quorra::AlarmTransfer>::Instance().PendingEvents(), 0, kWaitMs);
    QVERIFY(publisher.WaitUntilWaitingBelow(1, kWaitMs));
    QCOMPARE(publisher.Published(), quint64(1));
    QCOMPARE(intake.GetCounters().nReceived, quint64(1));
}

QTEST_MAIN(tst_LsaPublish)
#include "tst_lsapublish.moc"
