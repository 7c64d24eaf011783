#include "playwindow/PlayWindowsPtzMgr.h"

#include "playwindow/StreamPlayWindowWithTask.h"
#include "playwindow/ptz/PTZControlWnd.h"
#include "playwindow/ptz/PtzPanelWindow.h"

#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "tessel/GroupManager.h"
#include "tessel/ICamera.h"

#include <QWidget>

namespace {

constexpr int kPtzModule = 2;
constexpr int kPtzRight = 2;
// Kinds after which the panel looks at its window again.
constexpr int kPanelKinds[] = {0, 1, 7, 8};
constexpr int kPtzMouseMode = 1;

bool HasPtzRight(const std::string& strGuid, QWidget* pParent)
{
    auto* pPermissions = TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::Instance();
    // Without the host's permission manager nobody holds the right.
    return pPermissions
           && pPermissions->verityResPermission(kPtzModule, kPtzRight, strGuid, pParent, Miravel::NoPrivilegeSilent);
}

} // namespace

CPlayWindowsPtzMgr::CPlayWindowsPtzMgr(QWidget* pParent)
    : QObject(pParent)
    , m_pParent(pParent)
{
    connect(&tessel::CGroupManager::Instance(), &tessel::CGroupManager::signalElementChanged, this,
            &CPlayWindowsPtzMgr::OnElementChanged);
    // A camera leaving the site takes its object along: the panel lets go first.
    connect(&tessel::CGroupManager::Instance(), &tessel::CGroupManager::signalElementRemoved, this,
            [this](const QString& strGuid) {
                if (m_pPTZControlWnd && m_pPTZControlWnd->GetCameraGuid() == strGuid.toStdString())
                    ClearPanel();
            });
}

CPlayWindowsPtzMgr::~CPlayWindowsPtzMgr()
{
    SetPlayWindows(QList<IPtzPanelWindow*>());
}

void CPlayWindowsPtzMgr::SetPTZControlWnd(CPTZControlWnd* pPanel)
{
    m_pPTZControlWnd = pPanel;
    for (QObject* pClient : m_listPtzClients)
        QMetaObject::invokeMethod(pClient, "SetPTZControlWnd", Q_ARG(CPTZControlWnd*, pPanel));
}

void CPlayWindowsPtzMgr::Disconnect(IPtzPanelWindow* pWindow)
{
    QWidget* pWidget = pWindow->PtzWindowWidget();
    disconnect(pWidget, nullptr, this, nullptr);
    pWindow->SetPTZControlWnd(nullptr);
}

void CPlayWindowsPtzMgr::SetPlayWindows(const QList<IPtzPanelWindow*>& listWindows)
{
    for (int i = 0; i < m_listWindows.size(); ++i)
        if (m_listWindowGuards.at(i)) // a destroyed window is out of reach already
            Disconnect(m_listWindows.at(i));
    m_listWindows.clear();
    m_listWindowGuards.clear();
    for (IPtzPanelWindow* pWindow : listWindows) {
        if (!pWindow || !pWindow->PtzWindowWidget() || m_listWindows.contains(pWindow))
            continue;
        QWidget* pWidget = pWindow->PtzWindowWidget();
        m_listWindows.append(pWindow);
        m_listWindowGuards.append(pWidget);
        connect(pWidget, SIGNAL(SignalPlayWindowSelected()), this, SLOT(OnUpdateActiveState()));
        connect(pWidget, SIGNAL(SignalUpdateLiveViewState(const CLiveViewEvent&)), this,
                SLOT(OnUpdateLiveViewState(const CLiveViewEvent&)));
        connect(pWidget, &QObject::destroyed, this, &CPlayWindowsPtzMgr::OnWindowDestroyed);
        pWindow->SetPTZControlWnd(m_pPTZControlWnd);
    }
    if (!m_listWindows.contains(m_pActiveWindow)) {
        m_pActiveWindow = nullptr;
        ClearPanel();
    }
}

void CPlayWindowsPtzMgr::SetPlayWindows(const QList<CStreamPlayWindowWithTask*>& listWindows)
{
    QList<IPtzPanelWindow*> listPanelWindows;
    for (CStreamPlayWindowWithTask* pWindow : listWindows)
        listPanelWindows.append(pWindow);
    SetPlayWindows(listPanelWindows);
}

IPtzPanelWindow* CPlayWindowsPtzMgr::GetActiveWindow() const
{
    return m_pActiveWindow;
}

IPtzPanelWindow* CPlayWindowsPtzMgr::FindWindow(const QObject* pSender) const
{
    for (int i = 0; i < m_listWindows.size(); ++i)
        if (m_listWindowGuards.at(i) && m_listWindowGuards.at(i) == pSender)
            return m_listWindows.at(i);
    return nullptr;
}

void CPlayWindowsPtzMgr::OnUpdateActiveState()
{
    IPtzPanelWindow* pWindow = FindWindow(sender());
    if (!pWindow)
        return;
    m_pActiveWindow = pWindow;
    UpdatePanel(pWindow);
}

void CPlayWindowsPtzMgr::OnUpdateLiveViewState(const CLiveViewEvent& eventLiveView)
{
    OnUpdateLiveViewKind(sender(), eventLiveView.m_nKind);
}

void CPlayWindowsPtzMgr::OnUpdateLiveViewKind(QObject* pSender, int nKind)
{
    IPtzPanelWindow* pWindow = FindWindow(pSender);
    if (!pWindow || pWindow != m_pActiveWindow)
        return;
    for (int nPanelKind : kPanelKinds)
        if (nKind == nPanelKind) {
            UpdatePanel(pWindow);
            return;
        }
}

void CPlayWindowsPtzMgr::ClearPanel()
{
    if (!m_pPTZControlWnd)
        return;
    m_pPTZControlWnd->SetCamera(nullptr, std::string());
    m_pPTZControlWnd->SetControlsEnabled(false);
    m_pPTZControlWnd->hide();
}

void CPlayWindowsPtzMgr::UpdatePanel(IPtzPanelWindow* pWindow)
{
    if (!m_pPTZControlWnd || !pWindow || !m_listWindows.contains(pWindow))
        return;
    tessel::ICamera* pCamera = pWindow->GetLiveViewCamera();
    if (!pCamera) {
        ClearPanel();
        return;
    }
    const std::string strGuid = pWindow->GetPtzCameraGuid();
    m_pPTZControlWnd->SetFisheyeMode(pWindow->IsFisheyeExpanded());
    m_pPTZControlWnd->SetPtzPartEnabled(pCamera->HasPTZ());
    m_pPTZControlWnd->SetCamera(pCamera, strGuid);
    const bool bRight = pWindow->IsLiveViewRunning() && HasPtzRight(strGuid, m_pParent);
    m_pPTZControlWnd->SetControlsEnabled(bRight);
    m_pPTZControlWnd->SetMouseModeState(bRight ? pWindow->GetMouseMode() : 0);
    // A panel open on a camera whose right was taken away closes, and so does
    // one left open for a window that is no longer in PTZ mode.
    if (m_pPTZControlWnd->isVisible() && (!bRight || pWindow->GetMouseMode() != kPtzMouseMode))
        m_pPTZControlWnd->hide();
}

void CPlayWindowsPtzMgr::OnElementChanged(const QString& strGuid)
{
    if (m_pActiveWindow && m_pPTZControlWnd && m_pPTZControlWnd->GetCameraGuid() == strGuid.toStdString())
        UpdatePanel(m_pActiveWindow);
}

void CPlayWindowsPtzMgr::OnWindowDestroyed(QObject* pWindow)
{
    for (int i = m_listWindows.size() - 1; i >= 0; --i) {
        if (m_listWindowGuards.at(i) && m_listWindowGuards.at(i) != pWindow)
            continue;
        if (m_listWindows.at(i) == m_pActiveWindow) {
            m_pActiveWindow = nullptr;
            ClearPanel();
        }
        m_listWindows.removeAt(i);
        m_listWindowGuards.removeAt(i);
    }
}
