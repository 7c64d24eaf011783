// The play window's PTZ panel, digital zoom and title-bar stream line.
#include "playwindow/StreamPlayWindowWithTask.h"

#include "playwindow/LiveViewController.h"
#include "playwindow/LiveViewWndTitle.h"
#include "playwindow/PlayWindowTexts.h"
#include "playwindow/ptz/PTZControlWnd.h"

#include "Miravel/InformationMgr.h"
#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "Vantrel/PreviewICamera.h"
#include "tessel/ICamera.h"

#include <QAction>
#include <QFile>
#include <QIcon>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

namespace {
constexpr int kModuleCamera = 2;
constexpr int kRightPTZ = 2;
} // namespace

void CStreamPlayWindowWithTask::BindToolBarIcon(QToolButton* pButton, QAction* pAction)
{
    auto fnApply = [pButton, pAction] {
        const QString strIcon = pAction->property(CLiveViewMenuMgr::kToolBarIconProperty).toString();
        if (!strIcon.isEmpty() && QFile::exists(strIcon))
            pButton->setIcon(QIcon(strIcon));
    };
    // The button takes the action's menu icon first; the tool-bar icon replaces it.
    connect(pAction, &QAction::changed, pButton, fnApply);
    fnApply();
}

CLiveViewWndTitle* CStreamPlayWindowWithTask::GetTitleBar() const
{
    return static_cast<CLiveViewWndTitle*>(m_pTitleWidget);
}

std::string CStreamPlayWindowWithTask::GetPtzCameraGuid() const
{
    tessel::ICamera* pCamera = GetPreview() ? GetPreview()->GetPreviewCamera() : nullptr;
    return pCamera ? pCamera->GetElementID() : std::string();
}

CPTZControlWnd* CStreamPlayWindowWithTask::GetPTZControlWnd() const
{
    return m_pPTZControlWnd;
}

void CStreamPlayWindowWithTask::SetPTZControlWnd(CPTZControlWnd* pPanel)
{
    if (m_pPTZControlWnd)
        disconnect(m_pPTZControlWnd, nullptr, this, nullptr);
    m_pPTZControlWnd = pPanel;
    if (pPanel)
        connect(pPanel, &CPTZControlWnd::SignalPanelHidden, this, &CStreamPlayWindowWithTask::OnPtzPanelHidden);
}

void CStreamPlayWindowWithTask::TogglePtzPanel()
{
    if (m_nMouseMode == MousePTZ) {
        SetMouseMode(MousePlain); // closes the panel
        return;
    }
    tessel::ICamera* pCamera = GetLiveViewCamera();
    if (!pCamera)
        return;
    if (!pCamera->HasPTZ()) {
        TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance().ShowInformationAtScreenRightBottom(
            PlayWindowTexts::Text(PlayWindowTexts::PTZNotSupported), this, false, false, false);
        return;
    }
    if (!m_pPTZControlWnd)
        return;
    auto* pPermissions = TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::Instance();
    if (!pPermissions
        || !pPermissions->verityResPermission(kModuleCamera, kRightPTZ, pCamera->GetElementID(), this,
                                              Miravel::NoPrivilegeNotice))
        return;
    SetMouseMode(MousePTZ);
    // Selecting the window points the shared panel at this window's camera.
    MarkSelectedAndFocus();
    m_pPTZControlWnd->ShowBeside(this);
    m_pPTZControlWnd->setFocus(Qt::OtherFocusReason);
}

void CStreamPlayWindowWithTask::ToggleDigitalZoom()
{
    if (m_nMouseMode == MouseDigitalZoom)
        SetMouseMode(MousePlain);
    else if (IsPreviewing())
        SetMouseMode(MouseDigitalZoom);
}

void CStreamPlayWindowWithTask::OnMouseModeLeft(int nOldMode)
{
    if (nOldMode == MousePTZ && m_pPTZControlWnd && m_pPTZControlWnd->GetShownBeside() == this)
        m_pPTZControlWnd->hide();
    if (nOldMode == MouseDigitalZoom) {
        m_digitalZoom.Reset();
        if (GetPreview())
            GetPreview()->SetDigitalZoomRect(m_digitalZoom.ShownRect());
    }
}

void CStreamPlayWindowWithTask::OnPtzPanelHidden()
{
    if (m_nMouseMode == MousePTZ)
        SetMouseMode(MousePlain);
}

bool CStreamPlayWindowWithTask::DigitalZoomWheel(QWheelEvent* pEvent)
{
    if (m_nMouseMode != MouseDigitalZoom || !IsPreviewing() || !m_pLiveViewWindow)
        return false;
    const QSize sizeVideo = m_pLiveViewWindow->size();
    if (sizeVideo.isEmpty())
        return false;
    const QPoint ptVideo = m_pLiveViewWindow->mapFrom(this, pEvent->position().toPoint());
    const QPointF ptAnchor(double(ptVideo.x()) / sizeVideo.width(), double(ptVideo.y()) / sizeVideo.height());
    if (m_digitalZoom.Wheel(pEvent->angleDelta().y(), ptAnchor))
        GetPreview()->SetDigitalZoomRect(m_digitalZoom.ShownRect());
    pEvent->accept();
    return true;
}

void CStreamPlayWindowWithTask::RefreshStreamInfo()
{
    if (!IsPreviewing()) {
        m_pStreamInfoTimer->stop();
        return;
    }
    const Vantrel::StreamInfo info = GetPreview()->GetStreamInfo();
    // Until the stream's caps are known there is nothing true to show.
    if (info.uWidth == 0 || info.uHeight == 0 || !m_pTitleWidget->isVisible())
        return;
    GetTitleBar()->SetStreamInfoVisible(true);
    GetTitleBar()->ShowStreamInfo(info, false, 0);
}
