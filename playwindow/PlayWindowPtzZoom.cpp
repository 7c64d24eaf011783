#include "playwindow/PlayWindowPtzZoom.h"

#include "playwindow/LiveViewController.h"
#include "playwindow/LiveViewMenuMgr.h"
#include "playwindow/PlayWindowTexts.h"
#include "playwindow/ptz/PTZControlWnd.h"

#include "common/LsaCheck.h"

#include "Miravel/InformationMgr.h"
#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "Vantrel/PreviewICamera.h"
#include "tessel/ICamera.h"

#include <QWheelEvent>
#include <QWidget>

namespace {
constexpr int kModuleCamera = 2;
constexpr int kRightPTZ = 2;

bool IsAreaMode(int nMode)
{
    using Mode = CPlayWindowPtzZoom::Mode;
    return nMode == Mode::ModeArea3 || nMode == Mode::ModeArea4 || nMode == Mode::ModeArea7 || nMode == Mode::ModeArea8;
}
} // namespace

CPlayWindowPtzZoom::CPlayWindowPtzZoom(QWidget* pWindow, QWidget* pVideoSurface, CLiveViewController* pController,
                                       CLiveViewMenuMgr* pMenuMgr)
    : QObject(pWindow)
    , m_pWindow(pWindow)
    , m_pVideoSurface(pVideoSurface)
    , m_pController(pController)
    , m_pMenuMgr(pMenuMgr)
{
}

bool CPlayWindowPtzZoom::IsPreviewing() const
{
    return m_pController->GetPreview()->IsPreview();
}

void CPlayWindowPtzZoom::SetMouseMode(int nMode)
{
    const int nOldMode = m_nMouseMode;
    m_nMouseMode = nMode;
    if (nOldMode != nMode)
        OnModeLeft(nOldMode);
    m_pMenuMgr->SetChecked(CLiveViewMenuMgr::OpenPTZControl, nMode == ModePtz);
    m_pMenuMgr->SetChecked(CLiveViewMenuMgr::OpenDigitalZoom, nMode == ModeDigitalZoom);
}

void CPlayWindowPtzZoom::LeaveForStop()
{
    if (m_nMouseMode != ModePlain && m_nMouseMode != Mode5) {
        m_nMouseModeAtStop = m_nMouseMode;
        SetMouseMode(ModePlain);
    }
}

void CPlayWindowPtzZoom::RestoreAfterStart()
{
    if (IsAreaMode(m_nMouseModeAtStop))
        SetMouseMode(m_nMouseModeAtStop);
}

void CPlayWindowPtzZoom::SetPanel(CPTZControlWnd* pPanel)
{
    if (m_pPanel)
        disconnect(m_pPanel, nullptr, this, nullptr);
    m_pPanel = pPanel;
    if (pPanel)
        connect(pPanel, &CPTZControlWnd::SignalPanelHidden, this, &CPlayWindowPtzZoom::OnPanelHidden);
}

void CPlayWindowPtzZoom::TogglePanel()
{
    if (m_nMouseMode == ModePtz) {
        SetMouseMode(ModePlain); // closes the panel
        return;
    }
    tessel::ICamera* pCamera = IsPreviewing() ? m_pController->GetPreview()->GetPreviewCamera() : nullptr;
    if (!pCamera)
        return;
    if (!pCamera->HasPTZ()) {
        TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance().ShowInformationAtScreenRightBottom(
            PlayWindowTexts::Text(PlayWindowTexts::PTZNotSupported), m_pWindow, false, false, false);
        return;
    }
    LSA_CHECK(m_pPanel) return;
    auto* pPermissions = TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::Instance();
    if (!pPermissions
        || !pPermissions->verityResPermission(kModuleCamera, kRightPTZ, pCamera->GetElementID(), m_pWindow,
                                              Miravel::NoPrivilegeNotice))
        return;
    SetMouseMode(ModePtz);
    // Selecting the window points the shared panel at this window's camera.
    emit SignalSelectWindow();
    m_pPanel->ShowBeside(m_pWindow);
    m_pPanel->setFocus(Qt::OtherFocusReason);
}

void CPlayWindowPtzZoom::ToggleDigitalZoom()
{
    if (m_nMouseMode == ModeDigitalZoom)
        SetMouseMode(ModePlain);
    else if (IsPreviewing())
        SetMouseMode(ModeDigitalZoom);
}

void CPlayWindowPtzZoom::OnModeLeft(int nOldMode)
{
    if (nOldMode == ModePtz && m_pPanel && m_pPanel->GetShownBeside() == m_pWindow)
        m_pPanel->hide();
    if (nOldMode == ModeDigitalZoom) {
        m_digitalZoom.Reset();
        m_pController->GetPreview()->SetDigitalZoomRect(m_digitalZoom.ShownRect());
    }
}

void CPlayWindowPtzZoom::OnPanelHidden()
{
    if (m_nMouseMode == ModePtz)
        SetMouseMode(ModePlain);
}

bool CPlayWindowPtzZoom::Wheel(QWheelEvent* pEvent)
{
    if (m_nMouseMode != ModeDigitalZoom || !IsPreviewing())
        return false;
    const QSize sizeVideo = m_pVideoSurface->size();
    if (sizeVideo.isEmpty())
        return false;
    const QPoint ptVideo = m_pVideoSurface->mapFrom(m_pWindow, pEvent->position().toPoint());
    const QPointF ptAnchor(double(ptVideo.x()) / sizeVideo.width(), double(ptVideo.y()) / sizeVideo.height());
    if (m_digitalZoom.Wheel(pEvent->angleDelta().y(), ptAnchor))
        m_pController->GetPreview()->SetDigitalZoomRect(m_digitalZoom.ShownRect());
    pEvent->accept();
    return true;
}
