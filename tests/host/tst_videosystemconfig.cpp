#include "quorra/LocalDataManagerDelegate.h"
#include "tessel/IVideoSystemConfig.h"
#include "tessel/IVideoSystemConfigObserver.h"

#include <QTest>

namespace {
struct CRecordingObserver : tessel::IVideoSystemConfigObserver
{
    QList<int> lstCodes;
    void OnVideoSystemConfigChanged(const int32_t* pnCode) override { lstCodes << *pnCode; }
};
} // namespace

class tst_VideoSystemConfig : public QObject
{
    Q_OBJECT
private slots:
    void notifiesRegisteredObservers_data();
    void notifiesRegisteredObservers();
    void delegateCanReportNoConfig();
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

QTEST_GUILESS_MAIN(tst_VideoSystemConfig)
#include "tst_videosystemconfig.moc"
