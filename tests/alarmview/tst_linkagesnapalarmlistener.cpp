#include "alarmview/LinkageSnapAlarmListener.h"

#include "Fendra/Singleton.h"
#include "quorra/AlarmTransfer.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

using LinkageSnapAlarm::CLinkageSnapAlarmListener;

class tst_LinkageSnapAlarmListener : public QObject
{
    Q_OBJECT
private slots:
    void passesTheLinkageTypes_data();
    void passesTheLinkageTypes();
    void connectionStates_data();
    void connectionStates();
    void queuedEventAfterStopIsDropped();
    void copiesTheEventOut();
};

namespace {

quorra::AlarmTransfer& Transfer()
{
    return Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
}

std::shared_ptr<quorra::CIntelAlarmEvent> Event(int nType, const std::string& strUid = "L1")
{
    quorra::IntelAlarmEventInfo info;
    info.AlarmType = nType;
    info.AlarmSourceID = "src-1";
    info.IntelAlarmInfo.LinkageUid = strUid;
    return std::make_shared<quorra::CIntelAlarmEvent>(info);
}

} // namespace

void tst_LinkageSnapAlarmListener::passesTheLinkageTypes_data()
{
    QTest::addColumn<int>("nType");
    QTest::addColumn<bool>("bPassed");
    QTest::newRow("panoramic 100009") << 100009 << true;
    QTest::newRow("panoramic 100010") << 100010 << true;
    QTest::newRow("linkage 100509") << 100509 << true;
    QTest::newRow("neighbour 100508") << 100508 << false;
    QTest::newRow("neighbour 100011") << 100011 << false;
    QTest::newRow("zero") << 0 << false;
    QTest::newRow("negative") << -100009 << false;
}

void tst_LinkageSnapAlarmListener::passesTheLinkageTypes()
{
    QFETCH(int, nType);
    QFETCH(bool, bPassed);
    CLinkageSnapAlarmListener listener;
    listener.SetAlarmListening(true);
    QSignalSpy spy(&listener, &CLinkageSnapAlarmListener::signalNewAlarmComing);
    Transfer().PostAlarmEvent(Event(nType));
    QCOMPARE(spy.count(), bPassed ? 1 : 0);
    listener.OnClientAlarmEvent(nullptr); // ignored
    QCOMPARE(spy.count(), bPassed ? 1 : 0);
}

void tst_LinkageSnapAlarmListener::connectionStates_data()
{
    QTest::addColumn<QString>("strSteps");
    QTest::addColumn<int>("nDelivered");
    QTest::newRow("idle") << "" << 0;
    QTest::newRow("listening") << "on" << 1;
    QTest::newRow("stopped") << "on,off" << 0;
    QTest::newRow("stop while idle") << "off" << 0;
    QTest::newRow("on twice: one delivery, not two") << "on,on" << 1;
    QTest::newRow("on twice then off") << "on,on,off" << 0;
    QTest::newRow("restarted") << "on,off,on" << 1;
}

void tst_LinkageSnapAlarmListener::connectionStates()
{
    QFETCH(QString, strSteps);
    QFETCH(int, nDelivered);
    CLinkageSnapAlarmListener listener;
    for (const QString& strStep : strSteps.split(',', Qt::SkipEmptyParts))
        listener.SetAlarmListening(strStep == "on");
    QSignalSpy spy(&listener, &CLinkageSnapAlarmListener::signalNewAlarmComing);
    Transfer().PostAlarmEvent(Event(100509));
    QCOMPARE(spy.count(), nDelivered);
    QCOMPARE(listener.IsListening(), nDelivered > 0);
}

void tst_LinkageSnapAlarmListener::queuedEventAfterStopIsDropped()
{
    CLinkageSnapAlarmListener listener;
    listener.SetAlarmListening(true);
    QSignalSpy spy(&listener, &CLinkageSnapAlarmListener::signalNewAlarmComing);
    QThread* pWorker = QThread::create([] { Transfer().PostAlarmEvent(Event(100009)); });
    pWorker->start();
    QVERIFY(pWorker->wait(30000));
    delete pWorker;
    listener.SetAlarmListening(false); // the event waits in the queue meanwhile
    QTRY_COMPARE(Transfer().PendingEvents(), 0);
    QCOMPARE(spy.count(), 0);
}

void tst_LinkageSnapAlarmListener::copiesTheEventOut()
{
    CLinkageSnapAlarmListener listener;
    listener.SetAlarmListening(true);
    quorra::IntelAlarmEventInfo received;
    connect(&listener, &CLinkageSnapAlarmListener::signalNewAlarmComing,
            [&](const quorra::IntelAlarmEventInfo& info) { received = info; });
    auto spEvent = Event(100010, "uid-7");
    Transfer().PostAlarmEvent(spEvent);
    QCOMPARE(received.AlarmType, 100010);
    QCOMPARE(QString::fromStdString(received.AlarmSourceID), QString("src-1"));
    QCOMPARE(QString::fromStdString(received.IntelAlarmInfo.LinkageUid), QString("uid-7"));
}

QTEST_MAIN(tst_LinkageSnapAlarmListener)
#include "tst_linkagesnapalarmlistener.moc"
