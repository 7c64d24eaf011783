#include "Fendra/Singleton.h"
#include "quorra/AlarmTransfer.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

class tst_AlarmTransfer : public QObject
{
    Q_OBJECT
private slots:
    void deliversInTheReceiversThread_data();
    void deliversInTheReceiversThread();
};

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

QTEST_GUILESS_MAIN(tst_AlarmTransfer)
#include "tst_alarmtransfer.moc"
