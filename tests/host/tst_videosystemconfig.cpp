#include "quorra/LocalDataManagerDelegate.h"
#include "tessel/IVideoSystemConfig.h"
#include "tessel/IVideoSystemConfigObserver.h"

#include <QMutex>
#include <QTest>
#include <QThread>

#include <functional>
#include <future>

namespace {
struct CRecordingObserver : tessel::IVideoSystemConfigObserver
{
    QList<int> lstCodes;
    void OnVideoSystemConfigChanged(const int32_t* pnCode) override { lstCodes << *pnCode; }
};
// Runs a function from inside its notification.
struct CActingObserver : tessel::IVideoSystemConfigObserver
{
    std::function<void()> fnAct;
    void OnVideoSystemConfigChanged(const int32_t*) override { fnAct(); }
};
} // namespace

class tst_VideoSystemConfig : public QObject
{
    Q_OBJECT
private slots:
    void notifiesRegisteredObservers_data();
    void notifiesRegisteredObservers();
    void delegateCanReportNoConfig();
    void observerUnregisteredDuringNotificationIsSkipped();
    void unregisterWaitsForCallInProgress();
};

void tst_VideoSystemConfig::notifiesRegisteredObservers_data()
{
    QTest::addColumn<int>("nNewMode");
    QTest::addColumn<bool>("bRegistered");
    QTest::addColumn<int>("nExpectedNotices");
    QTest::newRow("mode changed") << 2 << true << 1;
    QTest::newRow("same mode again") << 0 << true << 0;
    QTest::newRow("unregistered observer") << 3 << false << 0;
}

void tst_VideoSystemConfig::notifiesRegisteredObservers()
{
    QFETCH(int, nNewMode);
    QFETCH(bool, bRegistered);
    QFETCH(int, nExpectedNotices);
    tessel::CVideoSystemConfig* pConfig = quorra::CLocalDataManagerDelegate().GetVideoSystemConfig();
    QVERIFY(pConfig);
    pConfig->SetVideoScaleMode(0);
    CRecordingObserver observer;
    pConfig->RegisterObserver(&observer);
    pConfig->RegisterObserver(&observer); // a second registration is not a second observer
    if (!bRegistered)
        pConfig->UnregisterObserver(&observer);
    pConfig->SetVideoScaleMode(nNewMode);
    pConfig->UnregisterObserver(&observer);
    QCOMPARE(observer.lstCodes.size(), nExpectedNotices);
    if (nExpectedNotices)
        QCOMPARE(observer.lstCodes.first(), 0);
    QCOMPARE(pConfig->GetVideoScaleMode(), nNewMode);
}

void tst_VideoSystemConfig::delegateCanReportNoConfig()
{
    quorra::CLocalDataManagerDelegate::SetVideoSystemConfigAvailable(false);
    QVERIFY(!quorra::CLocalDataManagerDelegate().GetVideoSystemConfig());
    quorra::CLocalDataManagerDelegate::SetVideoSystemConfigAvailable(true);
    QVERIFY(quorra::CLocalDataManagerDelegate().GetVideoSystemConfig());
}

// The first observer unregisters itself and the second from inside its call: the
// second, perhaps already destroyed, is not called, and nothing deadlocks.
void tst_VideoSystemConfig::observerUnregisteredDuringNotificationIsSkipped()
{
    tessel::CVideoSystemConfig* pConfig = quorra::CLocalDataManagerDelegate().GetVideoSystemConfig();
    pConfig->SetVideoScaleMode(0);
    CActingObserver first;
    CRecordingObserver second;
    first.fnAct = [&] {
        pConfig->UnregisterObserver(&first);
        pConfig->UnregisterObserver(&second);
    };
    pConfig->RegisterObserver(&first);
    pConfig->RegisterObserver(&second);
    pConfig->SetVideoScaleMode(1);
    QVERIFY(second.lstCodes.isEmpty());
    QCOMPARE(pConfig->ObserverCount(), 0);
}

// Unregistering from another thread returns only after a call in progress into
// that observer has ended, so the observer may then be destroyed.
void tst_VideoSystemConfig::unregisterWaitsForCallInProgress()
{
    tessel::CVideoSystemConfig* pConfig = quorra::CLocalDataManagerDelegate().GetVideoSystemConfig();
    pConfig->SetVideoScaleMode(0);
    QMutex mutex;
    QStringList lstEvents;
    const auto record = [&](const QString& strEvent) {
        QMutexLocker locker(&mutex);
        lstEvents << strEvent;
    };
    std::promise<void> entered;
    std::promise<void> gate;
    std::shared_future<void> gateOpen = gate.get_future().share();
    CActingObserver observer;
    observer.fnAct = [&] {
        entered.set_value();
        gateOpen.wait();
        record(QStringLiteral("call ends"));
    };
    pConfig->RegisterObserver(&observer);
    auto notifying = std::async(std::launch::async, [&] { pConfig->SetVideoScaleMode(1); });
    entered.get_future().wait();
    auto unregistering = std::async(std::launch::async, [&] {
        pConfig->UnregisterObserver(&observer);
        record(QStringLiteral("unregistered"));
    });
    QThread::msleep(50); // give a wrong early return the chance to show
    gate.set_value();
    notifying.get();
    unregistering.get();
    QCOMPARE(lstEvents, (QStringList{"call ends", "unregistered"}));
}

QTEST_GUILESS_MAIN(tst_VideoSystemConfig)
#include "tst_videosystemconfig.moc"
