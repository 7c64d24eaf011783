#include "playwindow/PlayWindowLiveView.h"

#include "playwindow/LiveViewController.h"
#include "playwindow/LiveViewMenuMgr.h"
#include "playwindow/PlayWindowOverlays.h"
#include "playwindow/PlayWindowPtzZoom.h"
#include "playwindow/PlayWindowTexts.h"

#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "Vantrel/PreviewICamera.h"
#include "tessel/ICamera.h"

#include <QWidget>

namespace {
constexpr int kModuleLiveView = 2;
constexpr int kRightLiveView = 1;
// A further kind after which the window keeps its look when the camera is gone.
constexpr int kKindKeepLook = 17;
} // namespace

CPlayWindowLiveView::CPlayWindowLiveView(QWidget* pWindow, QWidget* pVideoSurface, CLiveViewController* pController,
                                         CLiveViewMenuMgr* pMenuMgr, CPlayWindowOverlays* pOverlays,
                                         CPlayWindowPtzZoom* pPtzZoom)
    : QObject(pWindow)
    , m_pWindow(pWindow)
    , m_pVideoSurface(pVideoSurface)
    , m_pController(pController)
    , m_pMenuMgr(pMenuMgr)
    , m_pOverlays(pOverlays)
    , m_pPtzZoom(pPtzZoom)
{
}

bool CPlayWindowLiveView::IsPreviewing() const
{
    return m_pController->GetPreview()->IsPreview();
}

tessel::ICamera* CPlayWindowLiveView::Camera() const
{
    return IsPreviewing() ? m_pController->GetPreview()->GetPreviewCamera() : nullptr;
}

bool CPlayWindowLiveView::MayLiveView(const std::string& strCameraGuid)
{
    auto* pPermissions = TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::Instance();
    return !pPermissions
           || pPermissions->verityResPermission(kModuleLiveView, kRightLiveView, strCameraGuid, m_pWindow,
                                                Miravel::NoPrivilegeNotice);
}

bool CPlayWindowLiveView::Start(const std::string& strCameraGuid, int nStreamType)
{
    m_pMenuMgr->ResetCheckMarks();
    m_pPtzZoom->RestoreAfterStart();
    m_pOverlays->HideTip();
    if (IsPreviewing())
        Stop();

    // A GUID of no camera fails quietly; the host would call it a missing right.
    if (!m_pController->ResolveCamera(strCameraGuid))
        return m_pController->StartPreview(strCameraGuid, nStreamType, 0);
    if (!MayLiveView(strCameraGuid)) {
        m_pOverlays->ShowTip(PlayWindowTexts::Text(PlayWindowTexts::TheUserHasNoPermission));
        return false;
    }
    // The handle is read here, on the GUI thread; the preview hands only the
    // stored value to its streaming threads.
    const WId hWnd = m_pVideoSurface->winId();
    m_pOverlays->KeepAboveVideo();
    if (!m_pController->StartPreview(strCameraGuid, nStreamType, hWnd))
        return false;
    tessel::ICamera* pCamera = Camera();
    m_pOverlays->ShowCamera(pCamera);
    m_pMenuMgr->SetCamera(pCamera);
    m_pOverlays->ShowTip(PlayWindowTexts::Text(PlayWindowTexts::Connecting));
    m_pOverlays->UpdateToolBar();
    return true;
}

void CPlayWindowLiveView::Stop()
{
    m_pOverlays->HideTip();
    m_pPtzZoom->LeaveForStop();
    m_pMenuMgr->SetCamera(nullptr);
    m_pController->StopPreview();
    m_pOverlays->ClearCamera();
    m_pVideoSurface->update();
}

void CPlayWindowLiveView::Forget(const std::string& strCameraGuid)
{
    m_pController->ForgetCamera(strCameraGuid);
    m_pOverlays->HideTip();
}

void CPlayWindowLiveView::DetachPlugin()
{
    m_pController->SetPlugin(nullptr);
}

bool CPlayWindowLiveView::FollowEvent(const CLiveViewEvent& eventLiveView)
{
    if (!m_pController->GetPlugin())
        return false;
    if (!m_pController->ResolveCamera(eventLiveView.m_strCameraGUID)) {
        if (eventLiveView.m_nKind != kKindKeepLook)
            ShowIdleLook();
        return false;
    }
    switch (eventLiveView.m_nKind) {
    case Vantrel::NotifyStarted:
    case Vantrel::NotifyResumed:
        m_pOverlays->HideTip();
        m_pOverlays->UpdateToolBar();
        break;
    case Vantrel::NotifyStopped:
        ShowIdleLook();
        break;
    case Vantrel::NotifyRecordStarted:
    case Vantrel::NotifyRecordStopped:
        m_pMenuMgr->SetChecked(CLiveViewMenuMgr::StartRecording, m_pController->GetPreview()->IsRecord());
        m_pOverlays->SetRecording(m_pController->GetPreview()->IsRecord());
        break;
    case Vantrel::NotifyStreamLost:
        m_pOverlays->ShowTip(PlayWindowTexts::Text(PlayWindowTexts::StreamLostReconnecting));
        break;
    case Vantrel::NotifyPictureSize:
        emit SignalPictureSizeChanged();
        break;
    case Vantrel::NotifyReconnect:
        if (eventLiveView.m_nFlag != 0 && !IsPreviewing())
            Start(eventLiveView.m_strCameraGUID, CLiveViewController::kStreamTypeAsGiven);
        break;
    default:
        break; // errors are told by the controller, once per start
    }
    return true;
}

void CPlayWindowLiveView::ShowIdleLook()
{
    m_pOverlays->HideToolBar();
    m_pPtzZoom->SetMouseMode(CPlayWindowPtzZoom::ModePlain);
    if (!IsPreviewing() && m_pOverlays->TipText() == PlayWindowTexts::Text(PlayWindowTexts::Connecting))
        m_pOverlays->HideTip();
}
