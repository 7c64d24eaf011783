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
};

namespace {

QAtomicInt g_nLiveEvents;

// Counts the events alive; a slot reading a freed one trips AddressSanitizer.
class CCountedEvent : public quorra::IAlarmEvent
{
public:
    explicit CCountedEvent(int nSerial)
    {
        m_info.AlarmType = nSerial;
        g_nLiveEvents.ref();
    }
    ~CCountedEvent() override { g_nLiveEvents.deref(); }
    quorra::IntelAlarmEventInfo GetIntelAlarmEventInfo() const override { return m_info; }

private:
    quorra::IntelAlarmEventInfo m_info;
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
    // Calls queued before a disconnect still run, and read whole events.
    QVERIFY(nReceived >= nLeaveAfter);
    QCOMPARE(nReceived, strLeave == "destroyed" ? 0 : nEvents);
    QCOMPARE(nSerialSum, nReceived * (nReceived + 1) / 2);
}

QTEST_GUILESS_MAIN(tst_AlarmTransfer)
#include "tst_alarmtransfer.moc"
