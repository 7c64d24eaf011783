#include "tests/playwindow/PlayWindowTestUtil.h"

#include "playwindow/PlayWindowPlayback.h"

#include "Miravel/InformationMgr.h"
#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "Vantrel/InstantPlayback.h"
#include "Vantrel/PreviewICamera.h"
#include "Vantrel/Vantrel.h"

#include <QAction>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

namespace {
constexpr int kWaitMs = 10000;
constexpr int kInstantPlayback = CLiveViewMenuMgr::InstantPlayback;

Miravel::CInformationMgr& Notices()
{
    return TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance();
}

Miravel::CPermissionManager& Permissions()
{
    return *TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::CreateInstance();
}

bool Shown(const CStreamPlayWindowWithTask& window, const char* szName)
{
    auto* pWidget = window.findChild<QWidget*>(szName);
    return pWidget && pWidget->isVisible();
}
} // namespace

class tst_PlayWindowPlayback : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void playbackRight_data();
    void playbackRight();
    void enterAndLeaveKeepBuffering();

private:
    // Plays the camera live until its buffer holds a keyframe.
    std::unique_ptr<CStreamPlayWindowWithTask> LiveWindow(const std::string& strGuid, bool bWaitForBuffer);
    CTestLivePlugin m_plugin;
};

void tst_PlayWindowPlayback::initTestCase()
{
    Vantrel::InitVantrel(nullptr, nullptr);
    m_plugin.AddCamera("cam-1", "test:ball", "Gate");
    m_plugin.AddCamera("cam-no-right", "test:ball", "Yard", tessel::CameraRightAll & ~tessel::CameraRightPlayback);
    m_plugin.AddCamera("cam-no-buffer", "test:ball", "Hall", tessel::CameraRightAll, false, 0);
}

void tst_PlayWindowPlayback::init()
{
    Notices().ClearShownNotices();
    Permissions().GrantAll();
}

void tst_PlayWindowPlayback::cleanup()
{
    QVERIFY(Vantrel::WaitForTeardowns(kWaitMs));
}

std::unique_ptr<CStreamPlayWindowWithTask> tst_PlayWindowPlayback::LiveWindow(const std::string& strGuid,
                                                                              bool bWaitForBuffer)
{
    std::unique_ptr<CStreamPlayWindowWithTask> upWindow(NewPlayWindow(&m_plugin));
    upWindow->resize(402, 302);
    upWindow->show();
    if (!upWindow->StartLiveView(strGuid, 100, false))
        return nullptr;
    auto spBuffer = upWindow->GetPreview()->GetPreAlarmBuffer();
    const bool bReady = QTest::qWaitFor(
        [&] { return upWindow->GetPreview()->IsPlaying() && (!bWaitForBuffer || spBuffer->GetStats().nGops > 0); },
        kWaitMs);
    return bReady ? std::move(upWindow) : nullptr;
}

void tst_PlayWindowPlayback::playbackRight_data()
{
    QTest::addColumn<QString>("strGuid");
    QTest::addColumn<bool>("bDenied"); // by the host, before the start
    QTest::addColumn<bool>("bEnabled");
    QTest::addColumn<QString>("strNotice");

    QTest::newRow("right held") << "cam-1" << false << true << "";
    QTest::newRow("no playback right in the site") << "cam-no-right" << false << false << "NoPermission";
    QTest::newRow("right denied by the host") << "cam-1" << true << false << "NoPermission";
    QTest::newRow("buffer switched off") << "cam-no-buffer" << false << true << "NothingBufferedYet";
}

void tst_PlayWindowPlayback::playbackRight()
{
    QFETCH(QString, strGuid);
    QFETCH(bool, bDenied);
    QFETCH(bool, bEnabled);
    QFETCH(QString, strNotice);
    if (bDenied)
        Permissions().Deny(Miravel::PermissionModuleCamera, Miravel::RightCodePlayback, strGuid.toStdString());
    auto upWindow = LiveWindow(strGuid.toStdString(), strNotice.isEmpty());
    QVERIFY(upWindow);
    QAction* pAction = upWindow->GetMenuMgr()->Action(kInstantPlayback);
    QCOMPARE(pAction->isEnabled(), bEnabled);
    QSignalSpy spy(upWindow.get(), &CStreamPlayWindowWithTask::SignalPlayTypeChanged);
    Notices().ClearShownNotices();
    // The tool bar's button, the menu and a direct call all end here.
    upWindow->TriggerLiveViewAction(kInstantPlayback);
    QCOMPARE(upWindow->IsInstantPlayback(), strNotice.isEmpty());
    QCOMPARE(spy.count(), strNotice.isEmpty() ? 1 : 0);
    QCOMPARE(pAction->isChecked(), strNotice.isEmpty());
    QCOMPARE(Shown(*upWindow, "m_pInstantPlaybackWindow"), strNotice.isEmpty());
    QCOMPARE(Shown(*upWindow, "m_pInstantPlaybackBar"), strNotice.isEmpty());
    QCOMPARE(Shown(*upWindow, "m_pLiveViewWindow"), !strNotice.isEmpty());
    if (!strNotice.isEmpty()) {
        QCOMPARE(Notices().ShownNotices().size(), 1);
        QVERIFY2(Notices().ShownNotices().first().contains(strNotice), qPrintable(Notices().ShownNotices().first()));
    }
}

void tst_PlayWindowPlayback::enterAndLeaveKeepBuffering()
{
    auto upWindow = LiveWindow("cam-1", true);
    QVERIFY(upWindow);
    auto spBuffer = upWindow->GetPreview()->GetPreAlarmBuffer();
    CPlayWindowPlayback* pPlayback = upWindow->GetInstantPlayback();
    QSignalSpy spy(upWindow.get(), &CStreamPlayWindowWithTask::SignalPlayTypeChanged);
    // Three keyframes, a second apart: the playback lasts long enough to pause it.
    QTRY_VERIFY_WITH_TIMEOUT(spBuffer->GetStats().nGops >= 3, kWaitMs);
    QVERIFY(pPlayback->Enter());
    QTRY_VERIFY_WITH_TIMEOUT(pPlayback->Player()->IsPlaying(), kWaitMs);
    // Space pauses; live goes on into the same buffer meanwhile.
    QTest::keyClick(upWindow.get(), Qt::Key_Space);
    QVERIFY(pPlayback->IsPaused());
    const Vantrel::EncodedFrame first = spBuffer->Snapshot().front();
    const int nFrames = spBuffer->GetStats().nFrames;
    QTRY_VERIFY_WITH_TIMEOUT(spBuffer->GetStats().nFrames > nFrames + 5, kWaitMs);
    QVERIFY(upWindow->GetPreview()->IsPlaying());
    QVERIFY(upWindow->IsInstantPlayback());
    auto* pSlider = upWindow->findChild<QSlider*>("m_pPlaybackSlider");
    QVERIFY(pSlider);
    QCOMPARE(qint64(pSlider->maximum()), pPlayback->DurationMs());
    pPlayback->SeekTo(0);
    QCOMPARE(pPlayback->Player()->StartMs(), qint64(0)); // the first keyframe
    QVERIFY(pPlayback->IsPaused());

    QTest::keyClick(upWindow.get(), Qt::Key_Escape);
    QVERIFY(!upWindow->IsInstantPlayback());
    QVERIFY(Shown(*upWindow, "m_pLiveViewWindow"));
    QVERIFY(!upWindow->GetMenuMgr()->Action(kInstantPlayback)->isChecked());
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toBool(), false);
    // Leaving kept the buffer: the oldest frame is still the one before.
    QCOMPARE(spBuffer->Snapshot().front().nArrivalNs, first.nArrivalNs);

    // Stopping live view leaves a playback too.
    QVERIFY(pPlayback->Enter());
    upWindow->StopLiveView();
    QVERIFY(!upWindow->IsInstantPlayback());
    QVERIFY(!pPlayback->Player()->IsPreview());
}

QTEST_MAIN(tst_PlayWindowPlayback)
#include "tst_playwindowplayback.moc"
