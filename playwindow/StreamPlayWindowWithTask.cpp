#include "playwindow/StreamPlayWindowWithTask.h"

#include "playwindow/PlayWindowTexts.h"

#include "Vantrel/LiveViewControllerPlugin.h"
#include "playwindow/LiveViewController.h"
#include "playwindow/LiveViewPlaybackPlugin.h"
#include "playwindow/LiveViewWndTitle.h"

#include "Miravel/InformationMgr.h"
#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "Vantrel/PreviewICamera.h"
#include "tessel/ICamera.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

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

constexpr int kModuleLiveView = 2;
constexpr int kRightLiveView = 1;
constexpr int kCloseButtonSize = 20;
// A further kind after which the window keeps its look when the camera is gone.
constexpr int kKindKeepLook = 17;

bool IsAreaMode(int nMode)
{
    return nMode == 3 || nMode == 4 || nMode == 7 || nMode == 8;
}

bool NativeWindows()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}
} // namespace

CStreamPlayWindowWithTask::CStreamPlayWindowWithTask(
    QList<CLiveViewMenuMgr::LiveViewActionType>& lstLiveActions,
    QList<TesselPlayWindow::PlaybackMenuParam::PlaybackActionType>& lstPlaybackActions,
    CLiveViewControllerPlugin* pLiveViewPlugin, CLiveViewPlaybackPlugin* pPlaybackPlugin, QWidget* parent,
    bool bInstantPlaybackSurface, int nWindowMode, bool bTaskMenu)
    : QFrame(parent)
    , m_pLiveViewPlugin(pLiveViewPlugin)
    , m_pPlaybackPlugin(pPlaybackPlugin)
    , m_nWindowMode(nWindowMode)
    , m_lstLiveViewActions(lstLiveActions)
    , m_lstPlaybackActions(lstPlaybackActions)
{
    Q_UNUSED(bTaskMenu);
    setObjectName("m_pStreamPlayWindow_NotSelected");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setAcceptDrops(true);
    setProperty("bSelected", false);

    m_pMenuMgr = new CLiveViewMenuMgr(m_lstLiveViewActions, this);
    m_pLiveViewController = new CLiveViewController(m_pLiveViewPlugin, this);
    m_pLiveViewController->SetMenuMgr(m_pMenuMgr);
    m_pStreamInfoTimer = new QTimer(this);
    m_pStreamInfoTimer->setInterval(kStreamInfoIntervalMs);
    connect(m_pStreamInfoTimer, &QTimer::timeout, this, &CStreamPlayWindowWithTask::RefreshStreamInfo);
    BuildForm(bInstantPlaybackSurface);

    connect(m_pCloseBtn, &QPushButton::clicked, this, &CStreamPlayWindowWithTask::OnCloseBtnClicked);
    connect(m_pLiveViewController, &CLiveViewController::SignalLiveViewEvent, this,
            &CStreamPlayWindowWithTask::OnLiveViewEvent);
    connect(m_pMenuMgr, &CLiveViewMenuMgr::SignalActionTriggered, this,
            &CStreamPlayWindowWithTask::TriggerLiveViewAction);
    connect(this, &QWidget::customContextMenuRequested, this, &CStreamPlayWindowWithTask::OnContextMenu);
}

CStreamPlayWindowWithTask::~CStreamPlayWindowWithTask()
{
    // The shared PTZ panel outlives us: it must not call back into a window
    // that is half gone.
    SetPTZControlWnd(nullptr);
    // The owner normally stopped us; never leave a stream drawing into a
    // window that is going away.
    if (Vantrel::CPreviewICamera* pPreview = GetPreview())
        pPreview->StopPreview();
}

void CStreamPlayWindowWithTask::BuildForm(bool bInstantPlaybackSurface)
{
    m_pLiveViewWindow = new CVideoSurface(this);
    m_pLiveViewWindow->setObjectName("m_pLiveViewWindow");
    m_pLiveViewWindow->setMouseTracking(true);
    m_pLiveViewWindow->setAutoFillBackground(true);
    QPalette palette = m_pLiveViewWindow->palette();
    palette.setColor(QPalette::Window, Qt::black);
    m_pLiveViewWindow->setPalette(palette);
    if (NativeWindows())
        m_pLiveViewWindow->setAttribute(Qt::WA_NativeWindow);

    if (bInstantPlaybackSurface) {
        m_pInstantPlaybackWindow = new QWidget(this);
        m_pInstantPlaybackWindow->setObjectName("m_pInstantPlaybackWindow");
        m_pInstantPlaybackWindow->hide();
    }

    auto* pTitleBar = new CLiveViewWndTitle(this);
    pTitleBar->setObjectName("m_pTitleWidget");
    pTitleBar->SetElideStreamInfo(true);
    pTitleBar->SetStreamInfoVisible(false);
    m_pTitleWidget = pTitleBar;
    m_pTitleLayout = qobject_cast<QHBoxLayout*>(pTitleBar->layout());
    m_pTitleLayout->setSpacing(4);
    m_pTitleLabel = pTitleBar->findChild<QLabel*>("m_pWndLabel");
    m_pCloseBtn = new QPushButton(m_pTitleWidget);
    m_pCloseBtn->setObjectName("m_pCloseBtn");
    m_pCloseBtn->setFixedSize(kCloseButtonSize, kCloseButtonSize);
    m_pCloseBtn->setFocusPolicy(Qt::NoFocus);
    m_pTitleLayout->addWidget(m_pCloseBtn);

    m_pStateBar = new QWidget(this);
    m_pStateBar->setObjectName("Windows_m_pStateBar");
    m_pStateBar->hide();

    m_pLiveViewEventTip = new QLabel(this);
    m_pLiveViewEventTip->setObjectName("m_pLiveViewEventTip");
    m_pLiveViewEventTip->setAlignment(Qt::AlignCenter);
    m_pLiveViewEventTip->setWordWrap(true);
    m_pLiveViewEventTip->hide();

    m_pToolBar = new QWidget(this);
    m_pToolBar->setObjectName("m_pToolBar");
    auto* pToolLayout = new QHBoxLayout(m_pToolBar);
    pToolLayout->setContentsMargins(4, 2, 4, 2);
    pToolLayout->addStretch(1);
    for (QAction* pAction : m_pMenuMgr->Actions()) {
        auto* pButton = new QToolButton(m_pToolBar);
        pButton->setObjectName(QStringLiteral("m_pToolBtn_") + pAction->objectName());
        pButton->setDefaultAction(pAction);
        BindToolBarIcon(pButton, pAction);
        pButton->setFocusPolicy(Qt::NoFocus);
        pToolLayout->addWidget(pButton);
    }
    m_pToolBar->hide();

    // Over a native video window only native windows stay visible.
    if (NativeWindows()) {
        for (QWidget* pOverlay :
             {static_cast<QWidget*>(m_pTitleWidget), static_cast<QWidget*>(m_pLiveViewEventTip), m_pToolBar})
            pOverlay->setAttribute(Qt::WA_NativeWindow);
    }
    LayoutVideo();
}

Vantrel::CPreviewICamera* CStreamPlayWindowWithTask::GetPreview() const
{
    return m_pLiveViewController ? m_pLiveViewController->GetPreview() : nullptr;
}

bool CStreamPlayWindowWithTask::IsPreviewing() const
{
    return GetPreview() && GetPreview()->IsPreview();
}

tessel::ICamera* CStreamPlayWindowWithTask::GetLiveViewCamera() const
{
    return IsPreviewing() ? GetPreview()->GetPreviewCamera() : nullptr;
}

bool CStreamPlayWindowWithTask::StartLiveView(const std::string& strCameraGuid, int nStreamType, bool bFlag)
{
    Q_UNUSED(bFlag);
    m_pMenuMgr->ResetCheckMarks();
    if (IsAreaMode(m_nMouseModeAtStop))
        SetMouseMode(m_nMouseModeAtStop);
    HideEventTip();
    if (IsPreviewing())
        StopLiveView();

    // A GUID of no camera fails quietly; the host would call it a missing right.
    if (!m_pLiveViewController->ResolveCamera(strCameraGuid))
        return m_pLiveViewController->StartPreview(strCameraGuid, nStreamType, 0);
    auto* pPermissions = TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::Instance();
    if (pPermissions
        && !pPermissions->verityResPermission(kModuleLiveView, kRightLiveView, strCameraGuid, this,
                                              Miravel::NoPrivilegeNotice)) {
        ShowEventTip(PlayWindowTexts::Text(PlayWindowTexts::TheUserHasNoPermission));
        return false;
    }
    // The handle is read here, on the GUI thread; the preview hands only the
    // stored value to its streaming threads.
    const WId hWnd = m_pLiveViewWindow->winId();
    if (!m_pLiveViewController->StartPreview(strCameraGuid, nStreamType, hWnd))
        return false;
    tessel::ICamera* pCamera = GetLiveViewCamera();
    GetTitleBar()->SetTitleText(pCamera ? QString::fromStdString(pCamera->GetElementName()) : QString());
    m_pStreamInfoTimer->start();
    m_pMenuMgr->SetCamera(pCamera);
    ShowEventTip(PlayWindowTexts::Text(PlayWindowTexts::Connecting));
    UpdateToolBarVisibility();
    return true;
}

void CStreamPlayWindowWithTask::StopLiveView()
{
    HideEventTip();
    if (m_nMouseMode != MousePlain && m_nMouseMode != MouseMode5) {
        m_nMouseModeAtStop = m_nMouseMode;
        SetMouseMode(MousePlain);
    }
    m_pMenuMgr->SetCamera(nullptr);
    m_pLiveViewController->StopPreview();
    m_pStreamInfoTimer->stop();
    GetTitleBar()->ClearTitle();
    GetTitleBar()->SetStreamInfoVisible(false);
    m_pToolBar->hide();
    m_pLiveViewWindow->update();
}

void CStreamPlayWindowWithTask::ForgetCamera(const std::string& strCameraGuid)
{
    m_pLiveViewController->ForgetCamera(strCameraGuid);
    HideEventTip();
}

void CStreamPlayWindowWithTask::DetachPlugins()
{
    m_pLiveViewPlugin = nullptr;
    m_pPlaybackPlugin = nullptr;
    m_pLiveViewController->SetPlugin(nullptr);
    m_bPluginsDetached = true;
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
    const int nOldMode = m_nMouseMode;
    m_nMouseMode = nMode;
    if (nOldMode != nMode)
        OnMouseModeLeft(nOldMode);
    m_pMenuMgr->SetChecked(CLiveViewMenuMgr::OpenPTZControl, nMode == MousePTZ);
    m_pMenuMgr->SetChecked(CLiveViewMenuMgr::OpenDigitalZoom, nMode == MouseDigitalZoom);
}

void CStreamPlayWindowWithTask::TriggerLiveViewAction(int nType)
{
    Vantrel::CPreviewICamera* pPreview = GetPreview();
    // The actions are disabled while nothing plays; a direct call does nothing either.
    if (nType != CLiveViewMenuMgr::StopLiveView && !GetLiveViewCamera())
        return;
    switch (nType) {
    case CLiveViewMenuMgr::StopLiveView:
        StopLiveView();
        emit SignalPlayClosedByBtn();
        break;
    case CLiveViewMenuMgr::Screenshot:
        m_pLiveViewController->Capture();
        break;
    case CLiveViewMenuMgr::StartRecording:
        if (pPreview->IsRecord())
            m_pLiveViewController->StopRecord();
        else
            m_pLiveViewController->StartRecord();
        m_pMenuMgr->SetChecked(CLiveViewMenuMgr::StartRecording, pPreview->IsRecord());
        break;
    case CLiveViewMenuMgr::OpenPTZControl:
        TogglePtzPanel();
        break;
    case CLiveViewMenuMgr::OpenDigitalZoom:
        ToggleDigitalZoom();
        break;
    case CLiveViewMenuMgr::AudioOn:
        if (!pPreview->IsOpenSound())
            m_pLiveViewController->OpenSound();
        else
            m_pLiveViewController->CloseSound();
        m_pMenuMgr->SetChecked(CLiveViewMenuMgr::AudioOn, pPreview->IsOpenSound());
        break;
    default:
        break;
    }
}

void CStreamPlayWindowWithTask::OnContextMenu(const QPoint& ptPos)
{
    QMenu menu(this);
    menu.setObjectName("m_pLiveViewMenu");
    m_pMenuMgr->FillMenu(menu);
    if (!menu.isEmpty())
        menu.exec(mapToGlobal(ptPos));
}

void CStreamPlayWindowWithTask::OnLiveViewEvent(const CLiveViewEvent& eventLiveView)
{
    if (m_bPluginsDetached || !m_pLiveViewPlugin)
        return;
    tessel::ICamera* pCamera = m_pLiveViewController->ResolveCamera(eventLiveView.m_strCameraGUID);
    if (!pCamera) {
        if (eventLiveView.m_nKind != kKindKeepLook)
            ShowIdleLook();
        return;
    }
    switch (eventLiveView.m_nKind) {
    case Vantrel::NotifyStarted:
    case Vantrel::NotifyResumed:
        HideEventTip();
        UpdateToolBarVisibility();
        break;
    case Vantrel::NotifyStopped:
        ShowIdleLook();
        break;
    case Vantrel::NotifyRecordStarted:
    case Vantrel::NotifyRecordStopped:
        m_pMenuMgr->SetChecked(CLiveViewMenuMgr::StartRecording, GetPreview()->IsRecord());
        m_pStateBar->setVisible(GetPreview()->IsRecord());
        break;
    case Vantrel::NotifyError:
        break; // told by the controller, once per start
    case Vantrel::NotifyStreamLost:
        ShowEventTip(PlayWindowTexts::Text(PlayWindowTexts::StreamLostReconnecting));
        break;
    case Vantrel::NotifyPictureSize:
        LayoutVideo();
        break;
    case Vantrel::NotifyReconnect:
        if (eventLiveView.m_nFlag != 0 && !IsPreviewing())
            StartLiveView(eventLiveView.m_strCameraGUID, CLiveViewController::kStreamTypeAsGiven, false);
        break;
    default:
        break;
    }
    emit SignalUpdateLiveViewState(eventLiveView);
}

void CStreamPlayWindowWithTask::ShowIdleLook()
{
    m_pToolBar->hide();
    SetMouseMode(MousePlain);
    if (!IsPreviewing() && m_pLiveViewEventTip->text() == PlayWindowTexts::Text(PlayWindowTexts::Connecting))
        HideEventTip();
}

void CStreamPlayWindowWithTask::ShowEventTip(const QString& strText)
{
    m_pLiveViewEventTip->setText(strText);
    m_pLiveViewEventTip->show();
    m_pLiveViewEventTip->raise();
    UpdateToolBarVisibility();
}

void CStreamPlayWindowWithTask::HideEventTip()
{
    m_pLiveViewEventTip->clear();
    m_pLiveViewEventTip->hide();
}

QString CStreamPlayWindowWithTask::GetEventTip() const
{
    return m_pLiveViewEventTip->isVisible() ? m_pLiveViewEventTip->text() : QString();
}

void CStreamPlayWindowWithTask::UpdateToolBarVisibility()
{
    const bool bShow = m_bShowToolBarOnHover && m_bHovered && IsPreviewing() && !m_pLiveViewEventTip->isVisible();
    m_pToolBar->setVisible(bShow);
    if (bShow)
        m_pToolBar->raise();
}
