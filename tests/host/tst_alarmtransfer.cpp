#include "Fendra/Singleton.h"
#include "quorra/AlarmTransfer.h"
#include "quorra/IntelAlarmEventInfo.h"

#include <QAtomicInt>

#include <QSignalSpy>
#include <QTest>
#include <QThread>

class tst_AlarmTransfer : public QObject
{
    Q_OBJECT
private slots:
    void deliversInTheReceiversThread_data();
    void deliversInTheReceiversThread();
    void eventsLiveUntilQueuedSlotsRan_data();
    void eventsLiveUntilQueuedSlotsRan();
    void floodKeepsTheBacklogBounded_data();
    void floodKeepsTheBacklogBounded();
};

namespace {

QAtomicInt g_nLiveEvents;

// Counts the events alive; a slot reading a freed one trips AddressSanitizer.
class CCountedEvent : public quorra::IAlarmEvent
{
public:
    explicit CCountedEvent(int nSerial, std::int64_t nBytes = 0)
        : m_nBytes(nBytes)
    {
        m_info.AlarmType = nSerial;
        g_nLiveEvents.ref();
    }
    ~CCountedEvent() override { g_nLiveEvents.deref(); }
    quorra::IntelAlarmEventInfo GetIntelAlarmEventInfo() const override { return m_info; }
    std::int64_t GetPayloadBytes() const override { return m_nBytes; }

private:
    quorra::IntelAlarmEventInfo m_info;
    std::int64_t m_nBytes = 0;
};

} // namespace

void tst_AlarmTransfer::deliversInTheReceiversThread_data()
{
    QTest::addColumn<bool>("bFromWorker");
    QTest::newRow("emitted in the GUI thread") << false;
    QTest::newRow("emitted from a worker thread") << true;
}

void tst_AlarmTransfer::deliversInTheReceiversThread()
{
    QFETCH(bool, bFromWorker);
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    QObject receiver;
    QThread* pSlotThread = nullptr;
    void* pReceived = nullptr;
    connect(&transfer, &quorra::AlarmTransfer::signalAlarmEventInfo, &receiver, [&](void* pAlarm) {
        pSlotThread = QThread::currentThread();
        pReceived = pAlarm;
    });
    int nEvent = 42;
    if (bFromWorker) {
        QThread* pWorker = QThread::create([&] { emit transfer.signalAlarmEventInfo(&nEvent); });
        pWorker->start();
        QVERIFY(pWorker->wait(30000));
        delete pWorker;
        QCOMPARE(pReceived, nullptr); // queued until the GUI thread runs its events
        QTRY_VERIFY(pReceived);
    } else {
        emit transfer.signalAlarmEventInfo(&nEvent);
    }
    QCOMPARE(pReceived, static_cast<void*>(&nEvent));
    QCOMPARE(pSlotThread, QThread::currentThread());
}

void tst_AlarmTransfer::eventsLiveUntilQueuedSlotsRan_data()
{
    QTest::addColumn<int>("nEvents");
    QTest::addColumn<QString>("strLeave");
    QTest::addColumn<int>("nLeaveAfter");
    QTest::newRow("a few, receiver stays") << 10 << "stays" << 0;
    QTest::newRow("many, receiver disconnects midway") << 2000 << "disconnects" << 700;
    QTest::newRow("many, receiver destroyed before delivery") << 2000 << "destroyed" << 0;
}

void tst_AlarmTransfer::eventsLiveUntilQueuedSlotsRan()
{
    QFETCH(int, nEvents);
    QFETCH(QString, strLeave);
    QFETCH(int, nLeaveAfter);
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    auto upReceiver = std::make_unique<QObject>();
    int nReceived = 0;
    int nSerialSum = 0;
    QMetaObject::Connection connection;
    connection = connect(&transfer, &quorra::AlarmTransfer::signalAlarmEventInfo, upReceiver.get(), [&](void* pAlarm) {
        nSerialSum += static_cast<quorra::IAlarmEvent*>(pAlarm)->GetIntelAlarmEventInfo().AlarmType;
        if (++nReceived == nLeaveAfter && strLeave == "disconnects")
            QObject::disconnect(connection);
    });
    QThread* pWorker = QThread::create([&] {
        for (int i = 1; i <= nEvents; ++i)
            transfer.PostAlarmEvent(std::make_shared<CCountedEvent>(i));
    });
    pWorker->start();
    QVERIFY(pWorker->wait(60000));
    delete pWorker;
    if (strLeave == "destroyed")
        upReceiver.reset(); // its queued calls go with it; the events must not
    QTRY_COMPARE(transfer.PendingEvents(), 0);
    QCOMPARE(g_nLiveEvents.loadAcquire(), 0);
    // Events still waiting in the backlog when a receiver leaves never reach it;
    // those that did were whole.
    QCOMPARE(nReceived, strLeave == "destroyed" ? 0 : strLeave == "disconnects" ? nLeaveAfter : nEvents);
    QCOMPARE(nSerialSum, nReceived * (nReceived + 1) / 2);
}

void tst_AlarmTransfer::floodKeepsTheBacklogBounded_data()
{
    QTest::addColumn<int>("nEvents");
    QTest::addColumn<int>("nMaxEvents");
    QTest::addColumn<int>("nEventBytes");
    QTest::addColumn<int>("nMaxBytes");
    QTest::newRow("within both bounds") << 50 << 100 << 10 << 1000;
    QTest::newRow("count bound") << 500 << 20 << 0 << 1000;
    QTest::newRow("byte bound") << 500 << 1000 << 100 << 1000;
    QTest::newRow("an event larger than the byte bound") << 5 << 1000 << 5000 << 1000;
}

void tst_AlarmTransfer::floodKeepsTheBacklogBounded()
{
    QFETCH(int, nEvents);
    QFETCH(int, nMaxEvents);
    QFETCH(int, nEventBytes);
    QFETCH(int, nMaxBytes);
    auto& transfer = Fendra::CSingleton<quorra::AlarmTransfer>::Instance();
    transfer.SetBacklogLimits(nMaxEvents, nMaxBytes);
    const std::int64_t nDroppedBefore = transfer.DroppedEvents();
    QSignalSpy spyDropped(&transfer, &quorra::AlarmTransfer::signalAlarmsDropped);
    QObject receiver;
    int nReceived = 0;
    int nLastSerial = 0;
    int nMostWaiting = 0;
    connect(&transfer, &quorra::AlarmTransfer::signalAlarmEventInfo, &receiver, [&](void* pAlarm) {
        ++nReceived;
        nLastSerial = static_cast<quorra::IAlarmEvent*>(pAlarm)->GetIntelAlarmEventInfo().AlarmType;
        nMostWaiting = qMax(nMostWaiting, transfer.UndeliveredEvents());
    });
    // Everything is posted before this thread delivers anything: a flood.
    QThread* pWorker = QThread::create([&] {
        for (int i = 1; i <= nEvents; ++i)
            transfer.PostAlarmEvent(std::make_shared<CCountedEvent>(i, nEventBytes));
    });
    pWorker->start();
    QVERIFY(pWorker->wait(60000));
    delete pWorker;
    QVERIFY(transfer.UndeliveredEvents() <= nMaxEvents);
    QVERIFY(std::int64_t(transfer.UndeliveredEvents() - 1) * nEventBytes <= nMaxBytes);
    QTRY_COMPARE(transfer.PendingEvents(), 0);
    transfer.SetBacklogLimits(quorra::AlarmTransfer::kDefaultMaxBacklogEvents,
                              quorra::AlarmTransfer::kDefaultMaxBacklogBytes);
    QCOMPARE(g_nLiveEvents.loadAcquire(), 0);
    const int nDropped = int(transfer.DroppedEvents() - nDroppedBefore);
    QCOMPARE(nReceived + nDropped, nEvents); // every event accounted for
    QCOMPARE(nLastSerial, nEvents);          // the newest is never the one dropped
    QVERIFY(nMostWaiting < nMaxEvents);
    // One report for the episode, with its count, once no drop followed for a while.
    QTRY_COMPARE_WITH_TIMEOUT(spyDropped.count(), nDropped > 0 ? 1 : 0, 10000);
    if (nDropped > 0)
        QCOMPARE(spyDropped.at(0).at(0).toInt(), nDropped);
}

QTEST_GUILESS_MAIN(tst_AlarmTransfer)
#include "tst_alarmtransfer.moc"
