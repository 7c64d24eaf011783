#include "playwindow/CameraVoiceTalkController.h"
#include "playwindow/PlayWindowContext.h"
#include "playwindow/PlayWindowLibrary.h"

#include "Kelmot/GroupManagerDeletage.h"
#include "TesselGUIToolkit/ObjectSingleton.h"

#include <QtTest>

#include <memory>
#include <vector>

class tst_PlayWindowLibrary : public QObject
{
    Q_OBJECT
private slots:
    void sharedObjectsLiveWithTheLastHandle_data();
    void sharedObjectsLiveWithTheLastHandle();
};

void tst_PlayWindowLibrary::sharedObjectsLiveWithTheLastHandle_data()
{
    QTest::addColumn<int>("nHandles");
    QTest::addColumn<int>("nDropped");
    QTest::addColumn<bool>("bAlive");
    QTest::newRow("one handle") << 1 << 0 << true;
    QTest::newRow("one handle dropped") << 1 << 1 << false;
    QTest::newRow("two handles, the first dropped") << 2 << 1 << true;
    QTest::newRow("two handles dropped") << 2 << 2 << false;
}

void tst_PlayWindowLibrary::sharedObjectsLiveWithTheLastHandle()
{
    QFETCH(int, nHandles);
    QFETCH(int, nDropped);
    QFETCH(bool, bAlive);
    auto spGroupManager = std::make_shared<Kelmot::CGroupManagerDeletage>();
    std::vector<std::unique_ptr<CPlayWindowLibrary>> vecHandles;
    for (int i = 0; i < nHandles; ++i)
        vecHandles.push_back(std::make_unique<CPlayWindowLibrary>(spGroupManager, nullptr));
    vecHandles.erase(vecHandles.begin(), vecHandles.begin() + nDropped);
    QCOMPARE(CPlayWindowLibrary::LiveHandles(), nHandles - nDropped);
    QCOMPARE(TesselGUIToolkit::CObjectSingleton<CCameraVoiceTalkController>::Instance() != nullptr, bAlive);
    QCOMPARE(TesselGUIToolkit::CObjectSingleton<TesselPlayWindow::CPublicSignalManager>::Instance() != nullptr, bAlive);
    // The owner's delegate is not kept past the last handle.
    QCOMPARE(TesselPlayWindow::CPlayWindowContext::Instance().GroupManager() == spGroupManager, bAlive);
}

QTEST_MAIN(tst_PlayWindowLibrary)
#include "tst_playwindowlibrary.moc"
