// The linkage dialog's play windows and camera assignment: creating the
// windows, putting cameras into them from the tree (double click, play pixmap,
// drop), closing and removal, the tree's playing icons and selection, and the
// window cameras kept across runs.

#include "alarmview/LinkageSnapAlarmDlg.h"

#include "alarmview/AlarmViewTexts.h"

#include "cameratree/GroupTreeView.h"
#include "cameratree/GroupTreeWidget.h"
#include "cameratree/LinkageCameraModel.h"
#include "cameratree/LiveViewPlugin.h"
#include "playwindow/LiveViewController.h"
#include "playwindow/StreamPlayWindowWithTask.h"

#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ItemDataRole.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "TesselGUIToolkit/SecondarySortFilterModel.h"
#include "Vantrel/PreviewICamera.h"
#include "Vantrel/Vantrel.h"
#include "quorra/LocalDataManagerDelegate.h"
#include "tessel/ICamera.h"
#include "tessel/IVideoSystemConfig.h"

#include <QDropEvent>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPushButton>

namespace LinkageSnapAlarm {

namespace {
// The dialog asks for the host's default stream.
constexpr int kStreamType = 100;
const char* const kCloseButtonStyle =
    "QPushButton#m_pCloseBtn{ border-image:url(:/MixedTargetOperation/Images/MixedTargetDetectionAlarm/operation/"
    "CloseView.svg); }";
} // namespace

void CLinkageSnapAlarmDlg::InitPlayWindows()
{
    Vantrel::InitVantrel(nullptr, m_spLocalDataManager);
    TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::CreateInstance();

    QList<CLiveViewMenuMgr::LiveViewActionType> lstLiveActions{
        CLiveViewMenuMgr::StopLiveView,   CLiveViewMenuMgr::Screenshot,      CLiveViewMenuMgr::StartRecording,
        CLiveViewMenuMgr::OpenPTZControl, CLiveViewMenuMgr::OpenDigitalZoom, CLiveViewMenuMgr::AudioOn};
    QList<TesselPlayWindow::PlaybackMenuParam::PlaybackActionType> lstPlaybackActions{
        TesselPlayWindow::PlaybackMenuParam::PlaybackScreenshot};
    QWidget* arrHolders[] = {ui.m_pWidgetLive1, ui.m_pWidgetLive2, ui.m_pWidgetLive3};
    for (int i = 0; i < kPlayWindowCount; ++i) {
        auto* pHolderLayout = new QHBoxLayout(arrHolders[i]);
        pHolderLayout->setContentsMargins(1, 1, 1, 1);
        auto* pWindow = new CStreamPlayWindowWithTask(lstLiveActions, lstPlaybackActions, m_pLiveViewPlugin, nullptr,
                                                      this, true, 1, false);
        pHolderLayout->addWidget(pWindow);
        pWindow->GetCloseButton()->setStyleSheet(kCloseButtonStyle);
        pWindow->GetCloseButton()->setToolTip(AlarmViewTexts::Text(AlarmViewTexts::Close));
        connect(pWindow, SIGNAL(SignalPlayWindowSelected()), this, SLOT(onPlayWindowSelected()));
        connect(pWindow, SIGNAL(SignalPlayClosedByBtn()), this, SLOT(onPreviewClosedByBtn()));
        connect(pWindow, SIGNAL(SignalDropEvent(QDropEvent*)), this, SLOT(onPlayWindowDropEvent(QDropEvent*)));
        connect(pWindow, SIGNAL(SignalUpdateLiveViewState(const CLiveViewEvent&)), this,
                SLOT(onUpdateLiveViewState(const CLiveViewEvent&)));
        pWindow->SetDragEnabled(false);
        if (m_pGroupTreeWidget)
            pWindow->SetDragSourceWidgets({m_pGroupTreeWidget->TreeView()});
        pWindow->SetFollowPtzPanel(false);
        m_vecPlayWindows.append(pWindow);
        pWindow->SetPlayWindowIndex(i);
        pWindow->SetShowToolBarOnHover(true);
    }
    m_pSelectedPlayWindow = m_vecPlayWindows.value(0);
    m_pSecondPlayWindow = m_vecPlayWindows.value(1);
    SelectPlayWindow(0);
    ui.m_pWidgetLive1->setFocus();
}

void CLinkageSnapAlarmDlg::ConnectPlayWindows()
{
    if (m_pGroupTreeWidget) {
        connect(m_pGroupTreeWidget, SIGNAL(SignalCameraDClicked(void*)), this, SLOT(onCameraDClicked(void*)));
        connect(m_pGroupTreeWidget, SIGNAL(signalStartLiveView(const QModelIndex&)), this,
                SLOT(onGroupDoubleClicked(const QModelIndex&)));
        connect(m_pGroupTreeWidget, SIGNAL(SignalCameraRemoved(tessel::StrGUID)), this,
                SLOT(onCameraRemoved(tessel::StrGUID)));
    }
    connect(this, SIGNAL(signalUpdateGroupSelectState(std::string)), this,
            SLOT(onUpdateGroupTreeSelectedCamera(std::string)));
}

void CLinkageSnapAlarmDlg::ReleasePlayWindows()
{
    for (CStreamPlayWindowWithTask* pWindow : qAsConst(m_vecPlayWindows)) {
        if (!pWindow)
            continue;
        pWindow->StopLiveView();
        pWindow->DetachPlugins();
    }
}

bool CLinkageSnapAlarmDlg::IsPreviewing(const CStreamPlayWindowWithTask* pWindow)
{
    return pWindow && pWindow->GetLiveViewController() && pWindow->IsPreviewing();
}

std::string CLinkageSnapAlarmDlg::PlayingGUID(const CStreamPlayWindowWithTask* pWindow)
{
    tessel::ICamera* pCamera = pWindow ? pWindow->GetLiveViewCamera() : nullptr;
    return pCamera ? pCamera->GetElementID() : std::string();
}

tessel::ICamera* CLinkageSnapAlarmDlg::CameraOfGUID(const std::string& strGUID) const
{
    return m_pLiveViewPlugin ? tessel::AsCamera(m_pLiveViewPlugin->GetElementByGUID(strGUID)) : nullptr;
}

tessel::ICamera* CLinkageSnapAlarmDlg::WindowCamera(int nIndex) const
{
    switch (nIndex) {
    case 0:
        return m_pLiveCamera0;
    case 1:
        return m_pLiveCamera1;
    case 2:
        return m_pLiveCamera2;
    default:
        return nullptr;
    }
}

void CLinkageSnapAlarmDlg::ApplyVideoScaleMode(CStreamPlayWindowWithTask* pWindow)
{
    if (tessel::CVideoSystemConfig* pConfig = quorra::CLocalDataManagerDelegate().GetVideoSystemConfig())
        pWindow->SetVideoScaleMode(pConfig->GetVideoScaleMode());
}

void CLinkageSnapAlarmDlg::StopAllLiveViews()
{
    for (CStreamPlayWindowWithTask* pWindow : qAsConst(m_vecPlayWindows))
        if (pWindow)
            pWindow->StopLiveView();
    m_pLiveCamera0 = nullptr;
    m_pLiveCamera1 = nullptr;
    m_pLiveCamera2 = nullptr;
}

void CLinkageSnapAlarmDlg::onCameraDClicked(void* pCamera)
{
    // The panel hands over the tree's element; only a camera goes into a window.
    tessel::ICamera* pLiveCamera = tessel::AsCamera(static_cast<tessel::IElement*>(pCamera));
    if (!pLiveCamera || !m_pSelectedPlayWindow)
        return;
    const std::string strGUID = pLiveCamera->GetElementID();
    if (strGUID.empty() || PlayingGUID(m_pSelectedPlayWindow) == strGUID)
        return;
    const int nIndex = m_vecPlayWindows.indexOf(m_pSelectedPlayWindow);
    if (nIndex < 0)
        return;
    (nIndex == 0 ? m_pLiveCamera0 : nIndex == 1 ? m_pLiveCamera1 : m_pLiveCamera2) = pLiveCamera;
    m_pSelectedPlayWindow->StopLiveView();
    m_pSelectedPlayWindow->StartLiveView(strGUID, kStreamType, false);
    ApplyVideoScaleMode(m_pSelectedPlayWindow);
    // Successive double clicks fill the visible windows one after the other.
    for (int i = 0; i < m_vecPlayWindows.size(); ++i) {
        CStreamPlayWindowWithTask* pWindow = m_vecPlayWindows.at(i);
        if (i != nIndex && pWindow->isVisibleTo(this) && !IsPreviewing(pWindow)) {
            SelectPlayWindow(i);
            break;
        }
    }
}

void CLinkageSnapAlarmDlg::onGroupDoubleClicked(const QModelIndex& mIndex)
{
    if (!mIndex.isValid() || mIndex.data(TesselGUIToolkit::ItemTypeRole).toUInt() != 2)
        return;
    if (!m_pGroupTreeWidget || !m_pGroupTreeWidget->m_pModel)
        return;
    // The host model finds elements by its own indexes: a view's proxy index is
    // mapped to it first.
    QModelIndex miSource = mIndex;
    if (m_pGroupTreeWidget->m_pProxy && mIndex.model() == m_pGroupTreeWidget->m_pProxy)
        miSource = m_pGroupTreeWidget->m_pProxy->mapToSource(mIndex);
    tessel::ICamera* pCamera = tessel::AsCamera(m_pGroupTreeWidget->m_pModel->FindElementByElementIndex(miSource));
    if (!pCamera || pCamera->GetElementID().empty())
        return;
    onCameraDClicked(static_cast<tessel::IElement*>(pCamera));
}

void CLinkageSnapAlarmDlg::onPlayWindowDropEvent(QDropEvent* pEvent)
{
    auto* pWindow = qobject_cast<CStreamPlayWindowWithTask*>(sender());
    if (!pWindow || !pEvent || !pEvent->mimeData())
        return;
    const QVariant vGroup = pEvent->mimeData()->property("GroupGUID");
    const QVariant vCamera = pEvent->mimeData()->property("CameraGUID");
    if (!vGroup.isValid() || !vCamera.isValid())
        return;
    const std::string strGroupGUID = vGroup.toString().toStdString();
    const std::string strGUID = vCamera.toString().toStdString();
    if (strGroupGUID.empty() || strGUID.empty())
        return;
    if (PlayingGUID(pWindow) == strGUID || m_vecPlayWindows.isEmpty())
        return;
    if (m_pLiveViewPlugin) {
        tessel::ICamera* pCamera = CameraOfGUID(strGUID);
        const int nIndex = pWindow == m_vecPlayWindows.value(0) ? 0 : pWindow == m_vecPlayWindows.value(2) ? 2 : 1;
        (nIndex == 0 ? m_pLiveCamera0 : nIndex == 2 ? m_pLiveCamera2 : m_pLiveCamera1) = pCamera;
        SelectPlayWindow(nIndex);
    }
    pWindow->StopLiveView();
    pWindow->StartLiveView(strGUID, kStreamType, false);
}

void CLinkageSnapAlarmDlg::onCameraRemoved(tessel::StrGUID strGUID)
{
    for (CStreamPlayWindowWithTask* pWindow : qAsConst(m_vecPlayWindows)) {
        if (!pWindow || !IsPreviewing(pWindow) || PlayingGUID(pWindow) != strGUID)
            continue;
        pWindow->StopLiveView();
        pWindow->ForgetCamera(strGUID);
        for (tessel::ICamera** ppCamera : {&m_pLiveCamera0, &m_pLiveCamera2, &m_pLiveCamera1}) {
            if (*ppCamera && (*ppCamera)->GetElementID() == strGUID) {
                *ppCamera = nullptr;
                break;
            }
        }
    }
    // The host deletes the camera after this notice: a window camera whose
    // window does not play it (its start was refused, say) must not dangle.
    for (tessel::ICamera** ppCamera : {&m_pLiveCamera0, &m_pLiveCamera2, &m_pLiveCamera1}) {
        if (*ppCamera && (*ppCamera)->GetElementID() == strGUID)
            *ppCamera = nullptr;
    }
}

void CLinkageSnapAlarmDlg::onPlayWindowSelected()
{
    auto* pWindow = qobject_cast<CStreamPlayWindowWithTask*>(sender());
    if (!pWindow)
        return;
    m_pSelectedPlayWindow = pWindow;
    const int nIndex = m_vecPlayWindows.indexOf(pWindow);
    if (nIndex >= 0)
        SelectPlayWindow(nIndex);
}

void CLinkageSnapAlarmDlg::onPreviewClosedByBtn()
{
    auto* pWindow = qobject_cast<CStreamPlayWindowWithTask*>(sender());
    if (!pWindow)
        return;
    if (pWindow == m_vecPlayWindows.value(1))
        m_pLiveCamera1 = nullptr;
    else if (m_vecPlayWindows.size() >= kPlayWindowCount && pWindow == m_vecPlayWindows.value(2))
        m_pLiveCamera2 = nullptr;
    else
        m_pLiveCamera0 = nullptr;
}

void CLinkageSnapAlarmDlg::onUpdateLiveViewState(const CLiveViewEvent& eventLiveView)
{
    // A camera that still plays in another window keeps its playing icon.
    if (eventLiveView.m_nKind == TesselPlayWindow::CLiveViewEvent::kKindStopped) {
        for (CStreamPlayWindowWithTask* pWindow : qAsConst(m_vecPlayWindows)) {
            if (pWindow && pWindow != sender() && IsPreviewing(pWindow)
                && PlayingGUID(pWindow) == eventLiveView.m_strCameraGUID)
                return;
        }
    }
    if (m_pGroupTreeWidget)
        m_pGroupTreeWidget->UpdateCameraPlayState(eventLiveView);
}

void CLinkageSnapAlarmDlg::onUpdateGroupTreeSelectedCamera(std::string idCamera)
{
    if (!m_pGroupTreeWidget || !m_pGroupTreeWidget->m_pModel || !m_pGroupTreeWidget->m_pProxy)
        return;
    const QModelIndex miSource = m_pGroupTreeWidget->m_pModel->GetElementIndexByElementID(idCamera);
    const QModelIndex miProxy = m_pGroupTreeWidget->m_pProxy->mapFromSource(miSource);
    if (miProxy.isValid())
        m_pGroupTreeWidget->TreeView()->setCurrentIndex(miProxy);
}

void CLinkageSnapAlarmDlg::CollectLiveCameras(std::vector<std::string>& vecGuid)
{
    vecGuid.clear();
    vecGuid.resize(size_t(m_vecPlayWindows.size()));
    for (CStreamPlayWindowWithTask* pWindow : qAsConst(m_vecPlayWindows)) {
        const int nIndex = pWindow ? pWindow->GetPlayWindowIndex() : -1;
        if (IsPreviewing(pWindow) && nIndex >= 0 && size_t(nIndex) < vecGuid.size())
            vecGuid[size_t(nIndex)] = PlayingGUID(pWindow);
    }
    StopAllLiveViews();
}

void CLinkageSnapAlarmDlg::RestoreLiveCameras(const std::vector<std::string>& vecGuid)
{
    for (int i = 0; size_t(i) < vecGuid.size() && i < m_vecPlayWindows.size(); ++i) {
        const std::string& strGUID = vecGuid[size_t(i)];
        if (strGUID.empty())
            continue;
        m_vecPlayWindows.at(i)->StartLiveView(strGUID, kStreamType, false);
        if (m_pLiveViewPlugin) {
            (i == 0 ? m_pLiveCamera0 : i == 1 ? m_pLiveCamera1 : m_pLiveCamera2) = CameraOfGUID(strGUID);
            SelectPlayWindow(i);
        }
    }
}

} // namespace LinkageSnapAlarm
