#include "playwindow/PlayWindowsPtzMgr.h"
#include "playwindow/ptz/PTZControlWnd.h"
#include "playwindow/ptz/PtzPanelWindow.h"

#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "tessel/GroupManager.h"
#include "tessel/Site.h"

#include <QLabel>
#include <QtTest>

namespace {

const char* const kGroup = "group-1";

tessel::CameraInfo Camera(const char* pszGuid, bool bPTZ, uint32_t uRights)
{
    tessel::CameraInfo info;
    info.strGUID = pszGuid;
    info.strName = pszGuid;
    info.strGroupID = kGroup;
    info.bHasPTZ = bPTZ;
    info.uRights = uRights;
    return info;
}

tessel::SiteData Site(uint32_t uDomeRights = tessel::CameraRightAll)
{
    tessel::SiteData site;
    site.vecGroups.push_back({kGroup, "Group"});
    site.vecCameras.push_back(Camera("dome", true, uDomeRights));
    site.vecCameras.push_back(Camera("dome-no-ptz-right", true, tessel::CameraRightLiveView));
    site.vecCameras.push_back(Camera("fixed", false, tessel::CameraRightAll));
    return site;
}

tessel::ICamera* SiteCamera(const std::string& strGuid)
{
    return tessel::CGroupManager::Instance().FindCamera(strGuid);
}

} // namespace

// A play window as far as the PTZ manager sees it.
class FakePlayWindow : public QWidget, public IPtzPanelWindow
{
    Q_OBJECT
public:
    explicit FakePlayWindow(QWidget* pParent = nullptr)
        : QWidget(pParent)
    {
    }
    QWidget* PtzWindowWidget() override { return this; }
    tessel::ICamera* GetLiveViewCamera() const override { return m_pCamera; }
    std::string GetPtzCameraGuid() const override { return m_pCamera ? m_pCamera->GetElementID() : std::string(); }
    bool IsLiveViewRunning() const override { return m_bRunning; }
    bool IsFisheyeExpanded() const override { return false; }
    int GetMouseMode() const override { return m_nMouseMode; }
    void SetPTZControlWnd(CPTZControlWnd* pPanel) override { m_pPanel = pPanel; }

    void Play(tessel::ICamera* pCamera)
    {
        m_pCamera = pCamera;
        m_bRunning = pCamera != nullptr;
    }
    void Select() { emit SignalPlayWindowSelected(); }
    void Report(int nKind) { emit SignalUpdateLiveViewState(CLiveViewEvent(nKind, GetPtzCameraGuid())); }

    tessel::ICamera* m_pCamera = nullptr;
    bool m_bRunning = false;
    int m_nMouseMode = 0;
    CPTZControlWnd* m_pPanel = nullptr;

signals:
    void SignalPlayWindowSelected();
    void SignalUpdateLiveViewState(const CLiveViewEvent& eventLiveView);
};

class tst_PlayWindowsPtzMgr : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void panelFollowsSelectedCameraAndRight_data();
    void panelFollowsSelectedCameraAndRight();
    void onlyTheActiveWindowsStateChangesCount_data();
    void onlyTheActiveWindowsStateChangesCount();
    void revokedRightClosesTheOpenPanel();
    void destroyedWindowClearsThePanel();
    void newWindowListReleasesTheOldOnes();

private:
    QString PanelState() const;
    std::unique_ptr<QWidget> m_pDialog;
    CPTZControlWnd* m_pPanel = nullptr;
    CPlayWindowsPtzMgr* m_pMgr = nullptr;
    FakePlayWindow* m_pWindows[2] = {};
};

void tst_PlayWindowsPtzMgr::initTestCase()
{
    TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::CreateInstance();
}

void tst_PlayWindowsPtzMgr::cleanupTestCase()
{
    m_pDialog.reset();
    tessel::CGroupManager::Instance().ApplySite({});
    TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::DestroyInstance();
}

void tst_PlayWindowsPtzMgr::init()
{
    tessel::CGroupManager::Instance().ApplySite(Site());
    m_pDialog = std::make_unique<QWidget>();
    m_pDialog->resize(800, 400);
    m_pPanel = new CPTZControlWnd(m_pDialog.get(), false, false, true);
    m_pPanel->hide();
    m_pMgr = new CPlayWindowsPtzMgr(m_pDialog.get());
    for (auto*& pWindow : m_pWindows)
        pWindow = new FakePlayWindow(m_pDialog.get());
    m_pMgr->SetPTZControlWnd(m_pPanel);
    m_pMgr->SetPlayWindows(QList<IPtzPanelWindow*>{m_pWindows[0], m_pWindows[1]});
    m_pDialog->show();
}

// Camera, right and ready state of the panel in one short line.
QString tst_PlayWindowsPtzMgr::PanelState() const
{
    return QString("%1 %2 %3 %4")
        .arg(QString::fromStdString(m_pPanel->GetCameraGuid()).isEmpty()
                 ? "-"
                 : QString::fromStdString(m_pPanel->GetCameraGuid()))
        .arg(m_pPanel->IsControlsEnabled() ? "right" : "no-right")
        .arg(m_pPanel->findChild<QLabel*>("m_pLabelState")->property("ptzState").toString())
        .arg(m_pPanel->isVisible() ? "shown" : "hidden");
}

void tst_PlayWindowsPtzMgr::panelFollowsSelectedCameraAndRight_data()
{
    QTest::addColumn<QString>("camera");
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("mouseMode");
    QTest::addColumn<QString>("state");
    QTest::newRow("PTZ camera with the right") << "dome" << true << 1 << "dome right PTZReady shown";
    QTest::newRow("PTZ camera without the right")
        << "dome-no-ptz-right" << true << 1 << "dome-no-ptz-right no-right PTZNoPermission hidden";
    QTest::newRow("camera without PTZ") << "fixed" << true << 1 << "fixed right PTZNotSupported shown";
    QTest::newRow("camera still connecting") << "dome" << false << 1 << "dome no-right PTZNoPermission hidden";
    QTest::newRow("idle window") << "" << false << 0 << "- no-right PTZNoCamera hidden";
    QTest::newRow("window not in PTZ mode") << "dome" << true << 0 << "dome right PTZReady hidden";
}

void tst_PlayWindowsPtzMgr::panelFollowsSelectedCameraAndRight()
{
    QFETCH(QString, camera);
    QFETCH(bool, running);
    QFETCH(int, mouseMode);
    QFETCH(QString, state);
    QCOMPARE(m_pWindows[0]->m_pPanel, m_pPanel);
    m_pWindows[0]->m_nMouseMode = mouseMode;
    m_pWindows[0]->m_pCamera = camera.isEmpty() ? nullptr : SiteCamera(camera.toStdString());
    m_pWindows[0]->m_bRunning = running;
    m_pPanel->show(); // the window's PTZ action opened it
    m_pWindows[0]->Select();
    QCOMPARE(m_pMgr->GetActiveWindow(), m_pWindows[0]);
    QCOMPARE(PanelState(), state);
}

void tst_PlayWindowsPtzMgr::onlyTheActiveWindowsStateChangesCount_data()
{
    QTest::addColumn<int>("sender");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("state");
    // Window 0 (active) plays the dome, window 1 the fixed camera; then both stop.
    QTest::newRow("stop of the active window clears") << 0 << 1 << "- no-right PTZNoCamera hidden";
    QTest::newRow("stream lost on the active window") << 0 << 7 << "- no-right PTZNoCamera hidden";
    QTest::newRow("stop of another window is ignored") << 1 << 1 << "dome right PTZReady shown";
    QTest::newRow("recording notice is ignored") << 0 << 2 << "dome right PTZReady shown";
    QTest::newRow("unknown kind is ignored") << 0 << 4242 << "dome right PTZReady shown";
    QTest::newRow("sender that is no window is ignored") << -1 << 1 << "dome right PTZReady shown";
}

void tst_PlayWindowsPtzMgr::onlyTheActiveWindowsStateChangesCount()
{
    QFETCH(int, sender);
    QFETCH(int, kind);
    QFETCH(QString, state);
    m_pWindows[0]->Play(SiteCamera("dome"));
    m_pWindows[1]->Play(SiteCamera("fixed"));
    m_pWindows[0]->m_nMouseMode = 1;
    m_pPanel->show();
    m_pWindows[0]->Select();
    QCOMPARE(PanelState(), QString("dome right PTZReady shown"));
    m_pWindows[0]->Play(nullptr);
    m_pWindows[1]->Play(nullptr);
    QObject stranger;
    if (sender < 0)
        m_pMgr->OnUpdateLiveViewKind(&stranger, kind);
    else
        m_pWindows[sender]->Report(kind);
    QCOMPARE(PanelState(), state);
}

void tst_PlayWindowsPtzMgr::revokedRightClosesTheOpenPanel()
{
    m_pWindows[0]->Play(SiteCamera("dome"));
    m_pWindows[0]->m_nMouseMode = 1;
    m_pPanel->show();
    m_pWindows[0]->Select();
    QCOMPARE(PanelState(), QString("dome right PTZReady shown"));
    // The site file changes: the dome keeps live view but loses PTZ.
    tessel::CGroupManager::Instance().ApplySite(Site(tessel::CameraRightLiveView));
    QCOMPARE(PanelState(), QString("dome no-right PTZNoPermission hidden"));
    // A change of another camera leaves the panel alone.
    tessel::CGroupManager::Instance().ApplySite(Site());
    QCOMPARE(PanelState(), QString("dome right PTZReady hidden"));
    // The camera leaves the site: the panel forgets it before the object goes.
    tessel::SiteData site = Site();
    site.vecCameras.erase(site.vecCameras.begin());
    tessel::CGroupManager::Instance().ApplySite(site);
    QCOMPARE(PanelState(), QString("- no-right PTZNoCamera hidden"));
}

void tst_PlayWindowsPtzMgr::destroyedWindowClearsThePanel()
{
    m_pWindows[1]->Play(SiteCamera("dome"));
    m_pWindows[1]->m_nMouseMode = 1;
    m_pPanel->show();
    m_pWindows[1]->Select();
    delete m_pWindows[1];
    QCOMPARE(PanelState(), QString("- no-right PTZNoCamera hidden"));
    QVERIFY(!m_pMgr->GetActiveWindow());
    m_pMgr->UpdatePanel(m_pWindows[0]);
    m_pMgr->SetPlayWindows(QList<IPtzPanelWindow*>{m_pWindows[0]});
    m_pWindows[0]->Play(SiteCamera("dome"));
    m_pWindows[0]->Select();
    QCOMPARE(PanelState(), QString("dome right PTZReady hidden"));
}

void tst_PlayWindowsPtzMgr::newWindowListReleasesTheOldOnes()
{
    FakePlayWindow other;
    other.Play(SiteCamera("fixed"));
    m_pWindows[0]->Play(SiteCamera("dome"));
    m_pWindows[0]->Select();
    m_pMgr->SetPlayWindows(QList<IPtzPanelWindow*>{&other});
    QVERIFY(!m_pWindows[0]->m_pPanel);
    QCOMPARE(other.m_pPanel, m_pPanel);
    QVERIFY(!m_pMgr->GetActiveWindow());
    QCOMPARE(PanelState(), QString("- no-right PTZNoCamera hidden"));
    m_pWindows[0]->Select();
    QVERIFY(!m_pMgr->GetActiveWindow());
    other.Select();
    QCOMPARE(PanelState(), QString("fixed right PTZNotSupported hidden"));
    m_pMgr->SetPlayWindows(QList<IPtzPanelWindow*>());
}

QTEST_MAIN(tst_PlayWindowsPtzMgr)
#include "tst_playwindowsptzmgr.moc"
