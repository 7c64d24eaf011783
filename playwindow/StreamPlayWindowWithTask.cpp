#include "playwindow/StreamPlayWindowWithTask.h"

#include "playwindow/LiveViewController.h"
#include "playwindow/PlayWindowActions.h"
#include "playwindow/PlayWindowLiveView.h"
#include "playwindow/PlayWindowPlayback.h"

#include "Vantrel/LiveViewControllerPlugin.h"
#include "Vantrel/PreviewICamera.h"
#include "tessel/ICamera.h"

#include <QPushButton>
#include <QStyle>
#include <QVariant>

namespace {
// The surface the host preview draws into. While the X server draws the
// video (paint on screen), Qt has no paint engine for it.
class CVideoSurface : public QWidget
{
public:
    using QWidget::QWidget;
    QPaintEngine* paintEngine() const override
    {
        return testAttribute(Qt::WA_PaintOnScreen) ? nullptr : QWidget::paintEngine();
    }
};

} // namespace

CStreamPlayWindowWithTask::CStreamPlayWindowWithTask(
    QList<CLiveViewMenuMgr::LiveViewActionType>& lstLiveActions,
    QList<TesselPlayWindow::PlaybackMenuParam::PlaybackActionType>& lstPlaybackActions,
    CLiveViewControllerPlugin* pLiveViewPlugin, CLiveViewPlaybackPlugin* pPlaybackPlugin, QWidget* parent,
    bool bInstantPlaybackSurface, int nWindowMode, bool bTaskMenu)
    : QFrame(parent)
{
    // The playback plug-in and the task menu are the host's; the linkage view uses neither.
    Q_UNUSED(lstPlaybackActions);
    Q_UNUSED(pPlaybackPlugin);
    Q_UNUSED(nWindowMode);
    Q_UNUSED(bTaskMenu);
    setObjectName("m_pStreamPlayWindow_NotSelected");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setAcceptDrops(true);
    setProperty("bSelected", false);

    m_pMenuMgr = new CLiveViewMenuMgr(lstLiveActions, this);
    m_pLiveViewController = new CLiveViewController(pLiveViewPlugin, this);
    m_pLiveViewController->SetMenuMgr(m_pMenuMgr);
    BuildVideoSurfaces(bInstantPlaybackSurface);
    m_pOverlays = new CPlayWindowOverlays(this, m_pMenuMgr, m_pLiveViewController);
    m_pPtzZoom = new CPlayWindowPtzZoom(this, m_pLiveViewWindow, m_pLiveViewController, m_pMenuMgr);
    m_pActions = new CPlayWindowActions(this, m_pMenuMgr, m_pLiveViewController, m_pPtzZoom);
    m_pLiveView =
        new CPlayWindowLiveView(this, m_pLiveViewWindow, m_pLiveViewController, m_pMenuMgr, m_pOverlays, m_pPtzZoom);
    if (m_pInstantPlaybackWindow) {
        m_pPlayback = new CPlayWindowPlayback(this, m_pLiveViewWindow, m_pInstantPlaybackWindow, m_pLiveViewController,
                                              m_pMenuMgr);
        m_pActions->SetPlayback(m_pPlayback);
        connect(m_pPlayback, &CPlayWindowPlayback::SignalActiveChanged, this,
                &CStreamPlayWindowWithTask::SignalPlayTypeChanged);
    }
    LayoutVideo();

    connect(GetCloseButton(), &QPushButton::clicked, this, &CStreamPlayWindowWithTask::OnCloseBtnClicked);
    connect(m_pLiveViewController, &CLiveViewController::SignalLiveViewEvent, this,
            &CStreamPlayWindowWithTask::OnLiveViewEvent);
    connect(m_pMenuMgr, &CLiveViewMenuMgr::SignalActionTriggered, this,
            &CStreamPlayWindowWithTask::TriggerLiveViewAction);
    connect(this, &QWidget::customContextMenuRequested, this, &CStreamPlayWindowWithTask::OnContextMenu);
    connect(m_pPtzZoom, &CPlayWindowPtzZoom::SignalSelectWindow, this,
            &CStreamPlayWindowWithTask::MarkSelectedAndFocus);
    connect(m_pLiveView, &CPlayWindowLiveView::SignalPictureSizeChanged, this, &CStreamPlayWindowWithTask::LayoutVideo);
}

CStreamPlayWindowWithTask::~CStreamPlayWindowWithTask()
{
    // The shared PTZ panel outlives us: it must not call back into a window
    // that is half gone.
    SetPTZControlWnd(nullptr);
    // The owner normally stopped us; never leave a stream drawing into a
    // window that is going away.
    GetPreview()->StopPreview();
}

void CStreamPlayWindowWithTask::BuildVideoSurfaces(bool bInstantPlaybackSurface)
{
    auto fnNewSurface = [this](const char* szName) {
        QWidget* pSurface = new CVideoSurface(this);
        pSurface->setObjectName(szName);
        pSurface->setMouseTracking(true);
        pSurface->setAutoFillBackground(true);
        QPalette palette = pSurface->palette();
        palette.setColor(QPalette::Window, Qt::black);
        pSurface->setPalette(palette);
        // Made native when its video starts (winId()), not for the first paint.
        return pSurface;
    };
    m_pLiveViewWindow = fnNewSurface("m_pLiveViewWindow");
    if (bInstantPlaybackSurface) {
        m_pInstantPlaybackWindow = fnNewSurface("m_pInstantPlaybackWindow");
        m_pInstantPlaybackWindow->hide();
    }
}

Vantrel::CPreviewICamera* CStreamPlayWindowWithTask::GetPreview() const
{
    return m_pLiveViewController->GetPreview();
}

bool CStreamPlayWindowWithTask::IsPreviewing() const
{
    return m_pLiveView->IsPreviewing();
}

tessel::ICamera* CStreamPlayWindowWithTask::GetLiveViewCamera() const
{
    return m_pLiveView->Camera();
}

bool CStreamPlayWindowWithTask::StartLiveView(const std::string& strCameraGuid, int nStreamType, bool bFlag)
{
    Q_UNUSED(bFlag);
    return m_pLiveView->Start(strCameraGuid, nStreamType);
}

void CStreamPlayWindowWithTask::StopLiveView()
{
    if (m_pPlayback)
        m_pPlayback->Leave();
    m_pLiveView->Stop();
}

void CStreamPlayWindowWithTask::ForgetCamera(const std::string& strCameraGuid)
{
    if (m_pPlayback)
        m_pPlayback->Leave();
    m_pLiveView->Forget(strCameraGuid);
}

bool CStreamPlayWindowWithTask::IsInstantPlayback() const
{
    return m_pPlayback && m_pPlayback->IsActive();
}

void CStreamPlayWindowWithTask::DetachPlugins()
{
    m_pLiveView->DetachPlugin();
}

void CStreamPlayWindowWithTask::SetSelected(bool bSelected)
{
    m_bSelected = bSelected;
    setProperty("bSelected", bSelected);
    style()->unpolish(this);
    style()->polish(this);
}

void CStreamPlayWindowWithTask::MarkSelectedAndFocus()
{
    SetSelected(true);
    emit SignalPlayWindowSelected();
    emit SignalRefreshPtzFisheyeState();
    setFocus(Qt::OtherFocusReason);
}

void CStreamPlayWindowWithTask::OnCloseBtnClicked()
{
    if (IsPreviewing())
        StopLiveView();
    MarkSelectedAndFocus();
    emit SignalPlayClosedByBtn();
}

void CStreamPlayWindowWithTask::SetMouseMode(int nMode)
{
    m_pPtzZoom->SetMouseMode(nMode);
}

void CStreamPlayWindowWithTask::SetPTZControlWnd(CPTZControlWnd* pPanel)
{
    m_pPtzZoom->SetPanel(pPanel);
}

std::string CStreamPlayWindowWithTask::GetPtzCameraGuid() const
{
    tessel::ICamera* pCamera = GetPreview()->GetPreviewCamera();
    return pCamera ? pCamera->GetElementID() : std::string();
}

void CStreamPlayWindowWithTask::TriggerLiveViewAction(int nType)
{
    if (nType != CLiveViewMenuMgr::StopLiveView) {
        m_pActions->Run(nType);
        return;
    }
    StopLiveView();
    emit SignalPlayClosedByBtn();
}

void CStreamPlayWindowWithTask::OnContextMenu(const QPoint& ptPos)
{
    m_pActions->ShowContextMenu(ptPos);
}

void CStreamPlayWindowWithTask::OnLiveViewEvent(const CLiveViewEvent& eventLiveView)
{
    if (m_pLiveView->FollowEvent(eventLiveView))
        emit SignalUpdateLiveViewState(eventLiveView);
}

QString CStreamPlayWindowWithTask::GetEventTip() const
{
    return m_pOverlays->Tip();
}
