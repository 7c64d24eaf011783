#include "tests/support/TestBroker.h"

#include "Fendra/Singleton.h"
#include "mqtt/AlarmIntake.h"
#include "mqtt/AlarmPublisher.h"
#include "quorra/AlarmTransfer.h"
#include "sim/AlarmPayload.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <thread>

class tst_BrokerAlarms : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void queueBounds_data();
    void queueBounds();
    void delivery_data();
    void delivery();
    void refusedPayloads_data();
    void refusedPayloads();
    void refusedConnection_data();
    void refusedConnection();
    void brokerDownAndRestarted();
    void floodKeepsTheQueueBounded();
    void module_data();
    void module();

private:
    CTestBroker m_plain;
    CTestBroker m_tls{true};
};

namespace {

using State = mqtt::CAlarmIntake::State;
// Generous: under a loaded parallel run the sanitizer build takes the 10,000
// alarms of the flood many times slower than alone.
constexpr int kWaitMs = 60000;
const QByteArray kBodyJpeg("\xff\xd8 body bytes \xff\xd9", 16);

QByteArray Payload(const QString& strId)
{
    quorra::IntelAlarmEventInfo info;
    info.AlarmID = strId.toStdString();
    info.AlarmType = quorra::AlarmTypeLinkageChannel;
    info.AlarmSourceID = "AS-TEST";
    info.IntelAlarmInfo.LinkageUid = "linkage-1";
    // Two persons in one picture.
    auto spBody = std::make_shared<protocol::PicBinary>();
    spBody->strData = kBodyJpeg.toStdString();
    info.IntelAlarmInfo.IntelAlarmHumanInfoList.resize(2);
    for (auto& human : info.IntelAlarmInfo.IntelAlarmHumanInfoList)
        human.bkPic.pPicBinary = spBody;
    return AlarmSim::EncodeAlarmPayload(info);
}

// Every alarm the host's alarm transfer carries, by id, with its body picture.
struct Received
{
    QStringList lstIds;
    QByteArray baLastBody;
    bool bLastShared = false; // its persons share one picture, as sent
    QMetaObject::Connection conn;

    Received()
    {
        conn = QObject::connect(&Fendra::CSingleton<quorra::AlarmTransfer>::Instance(),
                                &quorra::AlarmTransfer::signalAlarmEventInfo, [this](void* pAlarm) {
                                    const auto info =
                                        static_cast<quorra::IAlarmEvent*>(pAlarm)->GetIntelAlarmEventInfo();
                                    lstIds << QString::fromStdString(info.AlarmID);
                                    const auto& vecHumans = info.IntelAlarmInfo.IntelAlarmHumanInfoList;
                                    if (vecHumans.empty())
                                        return;
                                    baLastBody = QByteArray::fromStdString(vecHumans[0].bkPic.pPicBinary->strData);
                                    bLastShared = vecHumans.back().bkPic.pPicBinary == vecHumans[0].bkPic.pPicBinary;
                                });
    }
    ~Received() { QObject::disconnect(conn); }
};

mqtt::BrokerSettings Settings(const CTestBroker& broker, bool bTls, const QString& strPassword = CTestBroker::kPassword)
{
    mqtt::BrokerSettings settings;
    QString strError;
    settings.SetUrl(broker.Url(), strError);
    if (bTls) {
        settings.strUser = CTestBroker::kUser;
        settings.strPassword = strPassword;
        settings.strCaFile = broker.Path("ca.crt");
    }
    return settings;
}

std::unique_ptr<mqtt::CAlarmIntake> StartIntake(const mqtt::BrokerSettings& settings)
{
    auto upIntake = std::make_unique<mqtt::CAlarmIntake>(settings, &AlarmSim::DecodeAlarmPayload);
    upIntake->Start();
    return upIntake;
}

// Publishes and waits for the broker's acknowledgement of every message.
bool Publish(mqtt::BrokerSettings settings, const QList<QByteArray>& lstPayloads)
{
    settings.strTopic = "lsa/alarms/test-station";
    settings.strClientId.clear(); // a client id of its own
    mqtt::CAlarmPublisher publisher(settings);
    QString strError;
    if (!publisher.Start(strError))
        return false;
    for (const QByteArray& baPayload : lstPayloads) {
        if (!publisher.WaitUntilWaitingBelow(mqtt::CAlarmPublisher::kMaxWaiting, kWaitMs)
            || !publisher.Publish(baPayload))
            return false;
    }
    return publisher.WaitUntilWaitingBelow(1, kWaitMs);
}

QList<QByteArray> Payloads(const QString& strPrefix, int nFirst, int nCount)
{
    QList<QByteArray> lstPayloads;
    for (int i = nFirst; i < nFirst + nCount; ++i)
        lstPayloads << Payload(strPrefix + QString::number(i));
    return lstPayloads;
}

} // namespace

void tst_BrokerAlarms::initTestCase()
{
    QVERIFY(m_plain.Prepare() && m_plain.Start());
    QVERIFY(m_tls.Prepare() && m_tls.Start());
}

void tst_BrokerAlarms::queueBounds_data()
{
    QTest::addColumn<int>("nMaxAlarms");
    QTest::addColumn<qint64>("nMaxBytes");
    QTest::addColumn<QList<qint64>>("lstSizes");
    QTest::addColumn<int>("nKept");
    QTest::newRow("count bound") << 3 << qint64(1000) << QList<qint64>{10, 10, 10, 10, 10} << 3;
    QTest::newRow("byte bound") << 100 << qint64(100) << QList<qint64>{40, 40, 40, 40} << 2;
    QTest::newRow("one alarm over the byte bound goes alone") << 100 << qint64(100) << QList<qint64>{40, 500} << 1;
}

// The oldest go; one episode of drops is reported once and ends when the queue runs empty.
void tst_BrokerAlarms::queueBounds()
{
    QFETCH(int, nMaxAlarms);
    QFETCH(qint64, nMaxBytes);
    QFETCH(QList<qint64>, lstSizes);
    QFETCH(int, nKept);
    mqtt::CAlarmQueue queue(nMaxAlarms, nMaxBytes);
    int nEpisodes = 0, nWakes = 0;
    for (int i = 0; i < lstSizes.size(); ++i) {
        quorra::IntelAlarmEventInfo info;
        info.AlarmType = i;
        const auto result = queue.Push(std::make_shared<quorra::CIntelAlarmEvent>(info), lstSizes[i]);
        nEpisodes += result.bEpisodeStart;
        nWakes += result.bWake;
    }
    QCOMPARE(nWakes, 1);
    QCOMPARE(nEpisodes, 1);
    QCOMPARE(queue.Size(), nKept);
    QCOMPARE(queue.Dropped(), quint64(lstSizes.size() - nKept));
    for (int i = lstSizes.size() - nKept; i < lstSizes.size(); ++i) {
        const auto result = queue.Pop();
        QCOMPARE(result.spEvent->GetIntelAlarmEventInfo().AlarmType, i);
        QCOMPARE(result.nEpisodeDropped, result.bMore ? 0 : quint64(lstSizes.size() - nKept));
    }
    QCOMPARE(queue.Bytes(), qint64(0));
}

void tst_BrokerAlarms::delivery_data()
{
    QTest::addColumn<bool>("bTls");
    QTest::newRow("plain") << false;
    QTest::newRow("TLS with a password") << true;
}

// Two stations on one broker both receive every alarm, pictures intact.
void tst_BrokerAlarms::delivery()
{
    QFETCH(bool, bTls);
    const auto settings = Settings(bTls ? m_tls : m_plain, bTls);
    Received received;
    auto upFirst = StartIntake(settings);
    auto upSecond = StartIntake(settings);
    QTRY_COMPARE_WITH_TIMEOUT(upFirst->CurrentState(), State::Connected, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(upSecond->CurrentState(), State::Connected, kWaitMs);
    constexpr int kAlarms = 20;
    QVERIFY(Publish(settings, Payloads("delivery-", 0, kAlarms)));
    QTRY_COMPARE_WITH_TIMEOUT(received.lstIds.size(), 2 * kAlarms, kWaitMs);
    for (int i = 0; i < kAlarms; ++i)
        QCOMPARE(received.lstIds.count(QString("delivery-%1").arg(i)), 2);
    QCOMPARE(received.baLastBody, kBodyJpeg);
    QVERIFY(received.bLastShared);                            // the view decodes it once for both
    QCOMPARE(Payload("once").count(kBodyJpeg.toBase64()), 1); // and it travelled once
    QCOMPARE(upFirst->GetCounters().nDelivered, quint64(kAlarms));
}

void tst_BrokerAlarms::refusedPayloads_data()
{
    QTest::addColumn<QByteArray>("baPayload");
    QTest::addColumn<bool>("bOversize");
    QTest::newRow("not JSON") << QByteArray("{\"AlarmType\": 100509,") << false;
    QTest::newRow("not the alarm format") << QByteArray(R"({"AlarmType": "x", "AlarmSourceID": "AS"})") << false;
    QTest::newRow("picture file named over the network")
        << QByteArray(R"({"AlarmType": 100009, "AlarmSourceID": "AS", "IntelAlarmInfo": )"
                      R"({"VCASmart": {"bkPic": {"file": "/etc/passwd"}}}})")
        << false;
    QTest::newRow("over the size limit") << Payload("big").leftJustified(8192, ' ') << true;
}

// A refused message is skipped, and the next one arrives.
void tst_BrokerAlarms::refusedPayloads()
{
    QFETCH(QByteArray, baPayload);
    QFETCH(bool, bOversize);
    auto settings = Settings(m_plain, false);
    settings.nMaxPayloadBytes = 4096;
    Received received;
    auto upIntake = StartIntake(settings);
    QTRY_COMPARE_WITH_TIMEOUT(upIntake->CurrentState(), State::Connected, kWaitMs);
    QVERIFY(Publish(settings, {baPayload, Payload(QTest::currentDataTag())}));
    QTRY_COMPARE_WITH_TIMEOUT(received.lstIds, QStringList{QTest::currentDataTag()}, kWaitMs);
    const auto counters = upIntake->GetCounters();
    QCOMPARE(counters.nReceived, quint64(2));
    QCOMPARE(counters.nOversize, quint64(bOversize ? 1 : 0));
    QCOMPARE(counters.nMalformed, quint64(bOversize ? 0 : 1));
}

void tst_BrokerAlarms::refusedConnection_data()
{
    QTest::addColumn<QString>("strPassword");
    QTest::addColumn<bool>("bOtherAuthority");
    QTest::addColumn<QString>("strReason");
    QTest::newRow("wrong password") << "wrong" << false << "password";
    QTest::newRow("untrusted certificate") << CTestBroker::kPassword << true << "TLS";
}

// Failures that retrying cannot mend are reported once and not retried.
void tst_BrokerAlarms::refusedConnection()
{
    QFETCH(QString, strPassword);
    QFETCH(bool, bOtherAuthority);
    QFETCH(QString, strReason);
    auto settings = Settings(m_tls, true, strPassword);
    if (bOtherAuthority) {
        QVERIFY(m_tls.MakeOtherAuthority());
        settings.strCaFile = m_tls.Path("other-ca.crt");
    }
    auto upIntake = StartIntake(settings);
    QSignalSpy spyState(upIntake.get(), &mqtt::CAlarmIntake::signalStateChanged);
    QTRY_COMPARE_WITH_TIMEOUT(upIntake->CurrentState(), State::Failed, kWaitMs);
    QVERIFY2(upIntake->StateDetail().contains(strReason), qPrintable(upIntake->StateDetail()));
    upIntake->Stop();
    QCOMPARE(upIntake->GetCounters().nConnects, quint64(1));
}

// Down at the start, then killed mid-stream and restarted: the intake retries,
// subscribes again, receives every alarm sent after the restart and drops repeats.
void tst_BrokerAlarms::brokerDownAndRestarted()
{
    CTestBroker broker(false, true);
    QVERIFY(broker.Prepare());
    auto settings = Settings(broker, false);
    settings.strClientId = "lsa-restart-test";
    Received received;
    auto upIntake = StartIntake(settings);
    QTRY_COMPARE_WITH_TIMEOUT(upIntake->CurrentState(), State::Retrying, kWaitMs);
    QVERIFY(broker.Start());
    QTRY_COMPARE_WITH_TIMEOUT(upIntake->CurrentState(), State::Connected, kWaitMs);
    QVERIFY(Publish(settings, Payloads("restart-", 0, 5)));
    QTRY_COMPARE_WITH_TIMEOUT(received.lstIds.size(), 5, kWaitMs);

    broker.Kill();
    QTRY_COMPARE_WITH_TIMEOUT(upIntake->CurrentState(), State::Retrying, kWaitMs);
    QVERIFY(broker.Start());
    QTRY_COMPARE_WITH_TIMEOUT(upIntake->CurrentState(), State::Connected, kWaitMs);
    QVERIFY(Publish(settings, Payloads("restart-", 3, 7))); // 3 and 4 again, then 5 to 9
    QTRY_COMPARE_WITH_TIMEOUT(upIntake->GetCounters().nReceived, quint64(12), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(received.lstIds.size(), 10, kWaitMs);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(received.lstIds.count(QString("restart-%1").arg(i)), 1);
    QCOMPARE(upIntake->GetCounters().nDuplicates, quint64(2));
}

// 10,000 alarms while the GUI thread is busy: the queue stays within its bound,
// the oldest are dropped and counted, and the user is told once.
void tst_BrokerAlarms::floodKeepsTheQueueBounded()
{
    constexpr int kAlarms = 10000;
    constexpr int kQueue = 100;
    auto settings = Settings(m_plain, false);
    settings.nQueueAlarms = kQueue;
    Received received;
    auto upIntake = StartIntake(settings);
    QSignalSpy spyDropped(upIntake.get(), &mqtt::CAlarmIntake::signalAlarmsDropped);
    QSignalSpy spyEnded(upIntake.get(), &mqtt::CAlarmIntake::signalDropEpisodeEnded);
    QTRY_COMPARE_WITH_TIMEOUT(upIntake->CurrentState(), State::Connected, kWaitMs);
    // This thread handles no events meanwhile, as under a long alarm.
    QVERIFY(Publish(settings, Payloads("flood-", 0, kAlarms)));
    // At least once: under load the broker may hand an alarm over twice, and
    // the repeat is counted, not shown.
    const auto fnUnique = [&] {
        const auto counters = upIntake->GetCounters();
        return counters.nReceived - counters.nDuplicates;
    };
    for (QDeadlineTimer deadline(kWaitMs); fnUnique() < quint64(kAlarms) && !deadline.hasExpired();)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    QCOMPARE(fnUnique(), quint64(kAlarms));
    QCOMPARE(upIntake->Queue().PeakSize(), kQueue);
    QTRY_COMPARE_WITH_TIMEOUT(spyEnded.count(), 1, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(upIntake->Queue().Size(), 0, kWaitMs);
    // Every alarm is shown, dropped or a counted repeat; the network may run a
    // little ahead of this thread, so the split is not fixed to the last alarm.
    const auto counters = upIntake->GetCounters();
    QCOMPARE(counters.nDelivered + counters.nDropped + counters.nDuplicates, counters.nReceived);
    QVERIFY(counters.nDropped >= quint64(kAlarms - 2 * kQueue));
    QCOMPARE(spyEnded.first().first().toULongLong(), counters.nDropped);
    QCOMPARE(spyDropped.count(), 1);
    QCOMPARE(quint64(received.lstIds.size()), counters.nDelivered);
    QCOMPARE(received.lstIds.last(), QString("flood-%1").arg(kAlarms - 1)); // the newest were kept
}

void tst_BrokerAlarms::module_data()
{
    QTest::addColumn<QString>("strPath");
    QTest::addColumn<bool>("bLoads");
    const QDir dirHost = QFileInfo(mqtt::DefaultMqttModulePath()).dir();
    QTest::newRow("built beside the host") << mqtt::DefaultMqttModulePath() << true;
    QTest::newRow("missing") << dirHost.filePath("no-such-module.so") << false;
    QTest::newRow("no entry point") << dirHost.filePath("libLinkageHost.so") << false;
}

// The dashboard reaches the broker clients only through the module.
void tst_BrokerAlarms::module()
{
    QFETCH(QString, strPath);
    QFETCH(bool, bLoads);
    QString strError;
    mqtt::IMqttModule* pModule = mqtt::LoadMqttModule(strPath, strError);
    QCOMPARE(pModule != nullptr, bLoads);
    QCOMPARE(strError.isEmpty(), bLoads);
    if (!pModule)
        return;
    mqtt::BrokerSettings settings;
    settings.strHost = "127.0.0.1";
    const std::unique_ptr<mqtt::IAlarmIntake> upIntake = pModule->NewIntake(settings, &AlarmSim::DecodeAlarmPayload);
    QCOMPARE(upIntake->CurrentState(), State::Stopped);
    QVERIFY(pModule->NewPublisher(settings));
}

QTEST_MAIN(tst_BrokerAlarms)
#include "tst_brokeralarms.moc"
