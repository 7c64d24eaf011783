// A play window with the shared PTZ panel, digital zoom and its title bar's
// stream line, on live test streams.
#include "tests/playwindow/PlayWindowTestUtil.h"

#include "playwindow/LiveViewWndTitle.h"
#include "playwindow/PlayWindowLibrary.h"
#include "playwindow/PlayWindowsPtzMgr.h"
#include "playwindow/ptz/PTZControlWnd.h"

#include "Miravel/InformationMgr.h"
#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "Vantrel/PreviewICamera.h"
#include "Vantrel/PtzControl.h"
#include "Vantrel/Vantrel.h"

#include <QAction>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {
constexpr int kWaitMs = 10000;

Miravel::CInformationMgr& Notices()
{
    return TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance();
}

Vantrel::CPtzControl& Ptz()
{
    return TesselGUIToolkit::CUiSingleton<Vantrel::CPtzControl>::Instance();
}

Vantrel::CropMargins PtzCrop(CStreamPlayWindowWithTask& window)
{
    Vantrel::CropMargins ptz, zoom;
    window.GetPreview()->GetViewCrops(ptz, zoom);
    return ptz;
}

Vantrel::CropMargins ZoomCrop(CStreamPlayWindowWithTask& window)
{
    Vantrel::CropMargins ptz, zoom;
    window.GetPreview()->GetViewCrops(ptz, zoom);
    return zoom;
}
} // namespace

class tst_PlayWindowPtz : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void streamLineFromTheRunningStream_data();
    void streamLineFromTheRunningStream();
    void ptzPanelMovesTheDemoCamerasView();
    void ptzOnCameraWithoutPtzOpensNothing();
    void revokedRightClosesThePanel();
    void windowDestroyedWhilePanelOpen();
    void digitalZoomByWheel();
    void stopResetsTheActionLooks();

private:
    // A dialog-like owner: two windows, the shared panel and its manager.
    void BuildOwner();
    bool Play(CStreamPlayWindowWithTask* pWindow, const char* pszGuid);

    const CPlayWindowLibrary m_library{nullptr, nullptr};
    CTestLivePlugin m_plugin;
    QTemporaryDir m_dirClip;
    std::unique_ptr<QWidget> m_upOwner;
    CStreamPlayWindowWithTask* m_pWindows[2] = {};
    CPTZControlWnd* m_pPanel = nullptr;
    CPlayWindowsPtzMgr* m_pMgr = nullptr;
};

void tst_PlayWindowPtz::initTestCase()
{
    Vantrel::InitVantrel(nullptr, nullptr);
    TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::CreateInstance();
    m_plugin.AddCamera("dome", "test:pinwheel", "Dome", tessel::CameraRightAll, true);
    m_plugin.AddCamera("fixed", "test:ball", "Gate");
    // A local Matroska file still playing when the line is read, and small
    // enough to be read from the disk at once.
    const QString strClip = m_dirClip.filePath("clip.mkv");
    QCOMPARE(QProcess::execute("gst-launch-1.0", {"-q", "videotestsrc", "pattern=ball", "num-buffers=500", "!",
                                                  "video/x-raw,width=320,height=240,framerate=25/1", "!", "x264enc",
                                                  "speed-preset=ultrafast", "bitrate=8", "!", "matroskamux", "!",
                                                  "filesink", "location=" + strClip}),
             0);
    m_plugin.AddCamera("clip", strClip.toStdString(), "Clip");
}

void tst_PlayWindowPtz::init()
{
    Notices().ClearShownNotices();
    m_plugin.AddCamera("dome", "test:pinwheel", "Dome", tessel::CameraRightAll, true); // rights back
    BuildOwner();
}

void tst_PlayWindowPtz::cleanup()
{
    m_upOwner.reset();
    QVERIFY(Vantrel::WaitForTeardowns(kWaitMs));
}

void tst_PlayWindowPtz::BuildOwner()
{
    m_upOwner = std::make_unique<QWidget>();
    m_upOwner->resize(1000, 400);
    for (int i = 0; i < 2; ++i) {
        m_pWindows[i] = NewPlayWindow(&m_plugin, m_upOwner.get());
        m_pWindows[i]->setGeometry(10 + i * 420, 10, 400, 300);
    }
    m_pPanel = new CPTZControlWnd(m_upOwner.get(), false, false, true);
    m_pPanel->hide();
    m_pMgr = new CPlayWindowsPtzMgr(m_upOwner.get());
    m_pMgr->SetPTZControlWnd(m_pPanel);
    m_pMgr->SetPlayWindows(QList<CStreamPlayWindowWithTask*>{m_pWindows[0], m_pWindows[1]});
    m_upOwner->show();
}

bool tst_PlayWindowPtz::Play(CStreamPlayWindowWithTask* pWindow, const char* pszGuid)
{
    if (!pWindow->StartLiveView(pszGuid, 100, false))
        return false;
    return QTest::qWaitFor([pWindow] { return pWindow->GetPreview()->IsPlaying(); }, kWaitMs);
}

// The bit rate is the stream's before decoding, from the network or a local file.
void tst_PlayWindowPtz::streamLineFromTheRunningStream_data()
{
    QTest::addColumn<QByteArray>("guid");
    QTest::addColumn<QString>("strName");
    QTest::addColumn<QString>("strSizeAndFps");
    // Raw test pictures arrive at some megabits; the size and rate are the stream's own.
    QTest::newRow("test pattern") << QByteArray("fixed") << QString("Gate") << QString("640\\*360, 25fps");
    QTest::newRow("local Matroska file") << QByteArray("clip") << QString("Clip") << QString("320\\*240, 25fps");
}

void tst_PlayWindowPtz::streamLineFromTheRunningStream()
{
    QFETCH(QByteArray, guid);
    QFETCH(QString, strName);
    QFETCH(QString, strSizeAndFps);
    QVERIFY(Play(m_pWindows[0], guid.constData()));
    auto* pLine = m_pWindows[0]->findChild<QLabel*>("m_pAnalyzeResultLabel");
    QVERIFY(pLine);
    const QRegularExpression rxLine(R"(^([1-9]\d*\.\d\dk|[1-9]\d*)bps, )" + strSizeAndFps + "$");
    QTRY_VERIFY_WITH_TIMEOUT(rxLine.match(pLine->toolTip()).hasMatch(), kWaitMs);
    QVERIFY(!pLine->isHidden());
    QCOMPARE(m_pWindows[0]->findChild<QLabel*>("m_pWndLabel")->text(), strName);
    m_pWindows[0]->StopLiveView();
    QVERIFY(pLine->isHidden());
    QVERIFY(pLine->text().isEmpty());
    QVERIFY(m_pWindows[0]->findChild<QLabel*>("m_pWndLabel")->text().isEmpty());
}

void tst_PlayWindowPtz::ptzPanelMovesTheDemoCamerasView()
{
    QVERIFY(Play(m_pWindows[0], "dome"));
    // The camera sees the middle half of its scene (1280 x 720) at first.
    QCOMPARE(PtzCrop(*m_pWindows[0]).nLeft, 320);
    QCOMPARE(m_pWindows[0]->GetPreview()->GetStreamInfo().uWidth, 640u);
    m_pWindows[0]->TriggerLiveViewAction(CLiveViewMenuMgr::OpenPTZControl);
    QVERIFY(m_pPanel->isVisible());
    QCOMPARE(m_pWindows[0]->GetMouseMode(), 1);
    QCOMPARE(m_pMgr->GetActiveWindow(), m_pWindows[0]);
    QCOMPARE(m_pPanel->GetCameraGuid(), std::string("dome"));
    QVERIFY(m_pPanel->IsControlsEnabled());
    // Beside the window, not over it.
    QVERIFY(!m_pPanel->geometry().intersects(m_pWindows[0]->geometry()));
    QAction* pPtzAction = m_pWindows[0]->GetMenuMgr()->Action(CLiveViewMenuMgr::OpenPTZControl);
    QCOMPARE(pPtzAction->text(), QString("ClosePTZControl"));

    QTest::mousePress(m_pPanel->findChild<QToolButton*>("m_pBtnRight"), Qt::LeftButton);
    Ptz().Advance(2000);
    QTest::mouseRelease(m_pPanel->findChild<QToolButton*>("m_pBtnRight"), Qt::LeftButton);
    QVERIFY(PtzCrop(*m_pWindows[0]).nLeft > 320);
    QTest::mousePress(m_pPanel->findChild<QToolButton*>("m_pBtnZoomIn"), Qt::LeftButton);
    Ptz().Advance(1000);
    QTest::mouseRelease(m_pPanel->findChild<QToolButton*>("m_pBtnZoomIn"), Qt::LeftButton);
    const Vantrel::CropMargins zoomed = PtzCrop(*m_pWindows[0]);
    QVERIFY(1280 - zoomed.nLeft - zoomed.nRight < 640);

    // The same action closes the panel again.
    m_pWindows[0]->TriggerLiveViewAction(CLiveViewMenuMgr::OpenPTZControl);
    QVERIFY(!m_pPanel->isVisible());
    QCOMPARE(m_pWindows[0]->GetMouseMode(), 0);
    QCOMPARE(pPtzAction->text(), QString("OpenPTZControl"));
    QTest::mouseClick(m_pPanel->findChild<QToolButton*>("m_pBtnHome"), Qt::LeftButton);
}

void tst_PlayWindowPtz::ptzOnCameraWithoutPtzOpensNothing()
{
    QVERIFY(Play(m_pWindows[0], "fixed"));
    QVERIFY(!m_pWindows[0]->GetMenuMgr()->Action(CLiveViewMenuMgr::OpenPTZControl)->isEnabled());
    m_pWindows[0]->TriggerLiveViewAction(CLiveViewMenuMgr::OpenPTZControl);
    QVERIFY(!m_pPanel->isVisible());
    QCOMPARE(m_pWindows[0]->GetMouseMode(), 0);
    QCOMPARE(Notices().ShownNotices().size(), 1);
    QVERIFY(Notices().ShownNotices().first().contains("PTZNotSupported"));
    QCOMPARE(PtzCrop(*m_pWindows[0]).nLeft, 0); // a fixed camera shows its whole picture
}

void tst_PlayWindowPtz::revokedRightClosesThePanel()
{
    QVERIFY(Play(m_pWindows[1], "dome"));
    m_pWindows[1]->TriggerLiveViewAction(CLiveViewMenuMgr::OpenPTZControl);
    QVERIFY(m_pPanel->isVisible());
    // The site file changes: the dome keeps live view, loses PTZ.
    m_plugin.AddCamera("dome", "test:pinwheel", "Dome", tessel::CameraRightLiveView, true);
    QVERIFY(!m_pPanel->isVisible());
    QVERIFY(!m_pPanel->IsControlsEnabled());
    QCOMPARE(m_pWindows[1]->GetMouseMode(), 0);
    QVERIFY(m_pWindows[1]->IsPreviewing());
    // Opening it again is refused with a notice.
    Notices().ClearShownNotices();
    m_pWindows[1]->TriggerLiveViewAction(CLiveViewMenuMgr::OpenPTZControl);
    QVERIFY(!m_pPanel->isVisible());
    QCOMPARE(Notices().ShownNotices().size(), 1);
}

void tst_PlayWindowPtz::windowDestroyedWhilePanelOpen()
{
    QVERIFY(Play(m_pWindows[0], "dome"));
    m_pWindows[0]->TriggerLiveViewAction(CLiveViewMenuMgr::OpenPTZControl);
    QVERIFY(m_pPanel->isVisible());
    m_pWindows[0]->StopLiveView();
    delete m_pWindows[0];
    m_pWindows[0] = nullptr;
    QVERIFY(!m_pPanel->isVisible());
    QVERIFY(!m_pPanel->GetCamera());
    QVERIFY(!m_pMgr->GetActiveWindow());
    // The other window still drives the panel.
    QVERIFY(Play(m_pWindows[1], "dome"));
    m_pWindows[1]->TriggerLiveViewAction(CLiveViewMenuMgr::OpenPTZControl);
    QVERIFY(m_pPanel->isVisible());
    QCOMPARE(m_pMgr->GetActiveWindow(), m_pWindows[1]);
}

void tst_PlayWindowPtz::digitalZoomByWheel()
{
    CStreamPlayWindowWithTask& window = *m_pWindows[0];
    QVERIFY(Play(&window, "fixed"));
    QTRY_VERIFY_WITH_TIMEOUT(window.GetPreview()->GetStreamInfo().uWidth == 640u, kWaitMs);
    const QPoint ptCentre = window.rect().center();
    auto wheel = [&](int nDelta) {
        QWheelEvent event(ptCentre, window.mapToGlobal(ptCentre), QPoint(), QPoint(0, nDelta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&window, &event);
    };
    wheel(120); // without digital zoom the wheel does nothing
    QCOMPARE(window.GetDigitalZoomRect().width(), 1.0);
    window.TriggerLiveViewAction(CLiveViewMenuMgr::OpenDigitalZoom);
    QCOMPARE(window.GetMouseMode(), 2);
    wheel(240);
    QVERIFY(window.GetDigitalZoomRect().width() < 1.0);
    const Vantrel::CropMargins zoom = ZoomCrop(window);
    QVERIFY(zoom.nLeft > 0 && zoom.nRight > 0 && zoom.nTop > 0 && zoom.nBottom > 0);
    QCOMPARE(window.GetMenuMgr()->Action(CLiveViewMenuMgr::OpenDigitalZoom)->data().toInt(), 1);
    // Leaving digital zoom shows the whole picture again.
    window.TriggerLiveViewAction(CLiveViewMenuMgr::OpenDigitalZoom);
    QCOMPARE(window.GetMouseMode(), 0);
    QCOMPARE(ZoomCrop(window).nLeft, 0);
    QCOMPARE(window.GetMenuMgr()->Action(CLiveViewMenuMgr::OpenDigitalZoom)->data().toInt(), 0);
}

void tst_PlayWindowPtz::stopResetsTheActionLooks()
{
    CStreamPlayWindowWithTask& window = *m_pWindows[0];
    QVERIFY(Play(&window, "dome"));
    window.TriggerLiveViewAction(CLiveViewMenuMgr::OpenDigitalZoom);
    window.TriggerLiveViewAction(CLiveViewMenuMgr::StartRecording);
    CLiveViewMenuMgr* pMenu = window.GetMenuMgr();
    QTRY_COMPARE_WITH_TIMEOUT(pMenu->Action(CLiveViewMenuMgr::StartRecording)->text(), QString("StopRecording"),
                              kWaitMs);
    window.StopLiveView();
    // The stop notification arrives queued; afterwards every action is off and disabled.
    QTRY_VERIFY_WITH_TIMEOUT(!pMenu->Action(CLiveViewMenuMgr::StopLiveView)->isEnabled(), kWaitMs);
    for (QAction* pAction : pMenu->Actions())
        QVERIFY2(!pAction->isEnabled() && !pAction->isChecked(), qPrintable(pAction->text()));
    QCOMPARE(pMenu->Action(CLiveViewMenuMgr::StartRecording)->text(), QString("StartRecording"));
    QCOMPARE(pMenu->Action(CLiveViewMenuMgr::OpenDigitalZoom)->data().toInt(), 0);
    QCOMPARE(pMenu->Action(CLiveViewMenuMgr::OpenPTZControl)->data().toInt(), 0);
}

QTEST_MAIN(tst_PlayWindowPtz)
#include "tst_playwindowptz.moc"
