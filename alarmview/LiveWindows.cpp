// Where a camera becomes a window's camera: the tree's double click and play
// pixmap, a drop on a window, and the cameras restored from the last run all
// end in m_arrCameras, which closing, removal and stopping clear again.

#include "alarmview/LiveWindows.h"

#include "alarmview/AlarmViewTexts.h"
#include "alarmview/IncidentExport.h"

#include "cameratree/GroupTreeView.h"
#include "cameratree/GroupTreeWidget.h"
#include "cameratree/LinkageCameraModel.h"
#include "cameratree/LiveViewPlugin.h"
#include "common/LsaCheck.h"
#include "playwindow/LiveViewController.h"
#include "playwindow/PlayWindowsPtzMgr.h"
#include "playwindow/StreamPlayWindowWithTask.h"
#include "playwindow/ptz/PTZControlWnd.h"

#include "Miravel/PermissionManager.h"
#include "TesselGUIToolkit/ItemDataRole.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "TesselGUIToolkit/SecondarySortFilterModel.h"
#include "Vantrel/PreviewICamera.h"
#include "quorra/LocalDataManagerDelegate.h"
#include "tessel/ICamera.h"
#include "tessel/IVideoSystemConfig.h"

#include <QDropEvent>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>

namespace LinkageSnapAlarm {

namespace {
// The view asks for the host's default stream.
constexpr int kStreamType = 100;
// The tree's item type of a camera row.
constexpr unsigned kCameraItemType = 2;
const char* const kCloseButtonStyle =
    "QPushButton#m_pCloseBtn{ border-image:url(:/MixedTargetOperation/Images/MixedTargetDetectionAlarm/operation/"
    "CloseView.svg); }";

bool IsPreviewing(const CStreamPlayWindowWithTask* pWindow)
{
    return pWindow && pWindow->GetLiveViewController() && pWindow->IsPreviewing();
}

std::string PlayingGUID(const CStreamPlayWindowWithTask* pWindow)
{
    tessel::ICamera* pCamera = pWindow ? pWindow->GetLiveViewCamera() : nullptr;
    return pCamera ? pCamera->GetElementID() : std::string();
}

bool IsCameraOfGUID(const tessel::ICamera* pCamera, const std::string& strGUID)
{
    return pCamera && pCamera->GetElementID() == strGUID;
}
} // namespace

CLiveWindows::CLiveWindows(QWidget* pDialog, const Holders& holders)
    : m_pDialog(pDialog)
    , m_holders(holders)
{
}

CLiveWindows::~CLiveWindows()
{
    Release();
}

void CLiveWindows::Release()
{
    if (m_vecWindows.isEmpty())
        return;
    for (CStreamPlayWindowWithTask* pWindow : qAsConst(m_vecWindows)) {
        LSA_CHECK(pWindow) continue;
        pWindow->StopLiveView();
        pWindow->DetachPlugins();
    }
    // The widgets stay with their holders until the dialog goes; they are no longer ours.
    m_vecWindows.clear();
    m_pSelected = nullptr;
}

void CLiveWindows::CreateWindows(CGroupTreeWidget* pGroupTree, CLiveViewPlugin* pLiveViewPlugin)
{
    m_pGroupTree = pGroupTree;
    m_pLiveViewPlugin = pLiveViewPlugin;
    TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::CreateInstance();
    for (int i = 0; i < kWindowCount; ++i)
        AddWindow(i);
    m_pSelected = m_vecWindows.value(0);
    Select(0);
    // The first holder's keyboard focus is its window's: the window takes the keys.
    m_vecWindows.at(0)->setFocus();
}

void CLiveWindows::AddWindow(int nIndex)
{
    QList<CLiveViewMenuMgr::LiveViewActionType> lstLiveActions{
        CLiveViewMenuMgr::StopLiveView,   CLiveViewMenuMgr::Screenshot,      CLiveViewMenuMgr::StartRecording,
        CLiveViewMenuMgr::OpenPTZControl, CLiveViewMenuMgr::OpenDigitalZoom, CLiveViewMenuMgr::AudioOn,
        CLiveViewMenuMgr::InstantPlayback};
    QList<TesselPlayWindow::PlaybackMenuParam::PlaybackActionType> lstPlaybackActions{
        TesselPlayWindow::PlaybackMenuParam::PlaybackScreenshot};
    auto* pHolderLayout = new QHBoxLayout(m_holders[size_t(nIndex)]);
    pHolderLayout->setContentsMargins(1, 1, 1, 1);
    auto* pWindow = new CStreamPlayWindowWithTask(lstLiveActions, lstPlaybackActions, m_pLiveViewPlugin, nullptr,
                                                  m_pDialog, true, 1, false);
    pHolderLayout->addWidget(pWindow);
    pWindow->GetCloseButton()->setStyleSheet(kCloseButtonStyle);
    pWindow->GetCloseButton()->setToolTip(AlarmViewTexts::Text(AlarmViewTexts::Close));
    pWindow->GetCloseButton()->setAccessibleName(AlarmViewTexts::Text(AlarmViewTexts::Close));
    pWindow->setAccessibleName(AlarmViewTexts::Counted(AlarmViewTexts::LiveWindowNumber, nIndex + 1));
    pWindow->setAccessibleDescription(AlarmViewTexts::Text(AlarmViewTexts::LiveWindowHelp));
    pWindow->SetDragEnabled(false);
    if (m_pGroupTree)
        pWindow->SetDragSourceWidgets({m_pGroupTree->TreeView()});
    pWindow->SetFollowPtzPanel(false);
    m_vecWindows.append(pWindow);
    pWindow->SetPlayWindowIndex(nIndex);
    pWindow->SetShowToolBarOnHover(true);
}

void CLiveWindows::InitPtzPanel()
{
    // One panel for all windows, kept on the selected window's camera by its manager.
    if (!m_pPTZControlWnd) {
        // Its controls wait until it is first shown: the first picture does not show it.
        m_pPTZControlWnd = new CPTZControlWnd(m_pDialog, false, false, true, CPTZControlWnd::Form::OnFirstShow);
        m_pPTZControlWnd->hide();
    }
    if (!m_pPlayWindowsPtzMgr)
        m_pPlayWindowsPtzMgr = new CPlayWindowsPtzMgr(m_pDialog);
    m_pPlayWindowsPtzMgr->SetPTZControlWnd(m_pPTZControlWnd);
    m_pPlayWindowsPtzMgr->SetPlayWindows(QList<CStreamPlayWindowWithTask*>::fromVector(m_vecWindows));
}

tessel::ICamera* CLiveWindows::Camera(int nIndex) const
{
    return nIndex >= 0 && nIndex < kWindowCount ? m_arrCameras[size_t(nIndex)] : nullptr;
}

void CLiveWindows::SetCamera(int nIndex, tessel::ICamera* pCamera)
{
    if (nIndex >= 0 && nIndex < kWindowCount)
        m_arrCameras[size_t(nIndex)] = pCamera;
}

bool CLiveWindows::IsAlarmSourceOutsideWindows(const std::string& strSourceID) const
{
    for (tessel::ICamera* pCamera : m_arrCameras) {
        if ((pCamera ? pCamera->GetAlarmSourceID() : std::string()) == strSourceID)
            return false;
    }
    return true;
}

std::vector<IncidentClipSource> CLiveWindows::ClipSources() const
{
    std::vector<IncidentClipSource> vecSources;
    for (CStreamPlayWindowWithTask* pWindow : m_vecWindows) {
        Vantrel::CPreviewICamera* pPreview = pWindow->GetPreview();
        tessel::ICamera* pCamera = pPreview ? pPreview->GetPreviewCamera() : nullptr;
        if (pCamera)
            vecSources.push_back({QString::fromStdString(pCamera->GetElementName()), pPreview->GetPreAlarmBuffer(),
                                  pWindow->IsPreviewing(), QString::fromStdString(pCamera->GetAlarmSourceID())});
    }
    return vecSources;
}

tessel::ICamera* CLiveWindows::CameraOfGUID(const std::string& strGUID) const
{
    return m_pLiveViewPlugin ? tessel::AsCamera(m_pLiveViewPlugin->GetElementByGUID(strGUID)) : nullptr;
}

void CLiveWindows::Select(int nIndex)
{
    for (int i = 0; i < kWindowCount; ++i) {
        QWidget* pHolder = m_holders[size_t(i)];
        pHolder->setProperty("bSelected", nIndex == i);
        // Property selectors of the style sheet are evaluated at polish time.
        pHolder->style()->unpolish(pHolder);
        pHolder->style()->polish(pHolder);
    }
    if (m_vecWindows.size() >= kWindowCount && nIndex >= 0 && nIndex < m_vecWindows.size())
        m_pSelected = m_vecWindows.at(nIndex);
    // The windows are one stop of the Tab chain, the selected window; the
    // arrow keys move on from there (CKeyboardFlow).
    for (CStreamPlayWindowWithTask* pWindow : qAsConst(m_vecWindows))
        pWindow->setFocusPolicy(pWindow == m_pSelected ? Qt::StrongFocus : Qt::ClickFocus);
    // While the keyboard is in the windows it stays with the selection (a
    // restore, a drop): the marked window is the one the shortcuts act on.
    auto* pFocused = qobject_cast<CStreamPlayWindowWithTask*>(m_pDialog->window()->focusWidget());
    if (m_pSelected && pFocused && pFocused != m_pSelected && m_vecWindows.contains(pFocused))
        m_pSelected->setFocus(Qt::OtherFocusReason);
    // The tree follows the camera of the selected window.
    const std::string strGUID = PlayingGUID(m_pSelected);
    if (!strGUID.empty())
        emit signalSelectedCamera(strGUID);
}

void CLiveWindows::SetDualMode(bool bDual)
{
    // The third window stops and is hidden in dual mode.
    if (bDual && m_vecWindows.size() > 2 && IsPreviewing(m_vecWindows.at(2))) {
        m_vecWindows.at(2)->StopLiveView();
        SetCamera(2, nullptr);
    }
    if (bDual)
        Select(0);
    m_holders[2]->setVisible(!bDual);
}

void CLiveWindows::StopAll()
{
    for (CStreamPlayWindowWithTask* pWindow : qAsConst(m_vecWindows)) {
        LSA_CHECK(pWindow) continue;
        pWindow->StopLiveView();
    }
    m_arrCameras.fill(nullptr);
}

void CLiveWindows::SetVideoScaleMode(int nMode)
{
    m_nVideoScaleMode = nMode;
    for (CStreamPlayWindowWithTask* pWindow : qAsConst(m_vecWindows))
        pWindow->SetVideoScaleMode(nMode);
}

void CLiveWindows::ApplyConfiguredScaleMode(CStreamPlayWindowWithTask* pWindow)
{
    if (tessel::CVideoSystemConfig* pConfig = quorra::CLocalDataManagerDelegate().GetVideoSystemConfig())
        pWindow->SetVideoScaleMode(pConfig->GetVideoScaleMode());
}

void CLiveWindows::OnCameraChosen(tessel::IElement* pElement)
{
    // Only a camera goes into a window.
    tessel::ICamera* pCamera = tessel::AsCamera(pElement);
    if (!pCamera)
        return;
    LSA_CHECK(m_pSelected) return;
    const std::string strGUID = pCamera->GetElementID();
    if (strGUID.empty() || PlayingGUID(m_pSelected) == strGUID)
        return;
    const int nIndex = m_vecWindows.indexOf(m_pSelected);
    LSA_CHECK(nIndex >= 0) return;
    SetCamera(nIndex, pCamera);
    m_pSelected->StopLiveView();
    m_pSelected->StartLiveView(strGUID, kStreamType, false);
    ApplyConfiguredScaleMode(m_pSelected);
    SelectNextEmptyWindow(nIndex);
}

void CLiveWindows::SelectNextEmptyWindow(int nFilled)
{
    // Successive double clicks fill the visible windows one after the other.
    for (int i = 0; i < m_vecWindows.size(); ++i) {
        CStreamPlayWindowWithTask* pWindow = m_vecWindows.at(i);
        if (i != nFilled && pWindow->isVisibleTo(m_pDialog) && !IsPreviewing(pWindow)) {
            Select(i);
            break;
        }
    }
}

void CLiveWindows::OnTreeRowStarted(const QModelIndex& index)
{
    if (!index.isValid() || index.data(TesselGUIToolkit::ItemTypeRole).toUInt() != kCameraItemType)
        return;
    LSA_CHECK(m_pGroupTree && m_pGroupTree->m_pModel) return;
    // The host model finds elements by its own indexes: a view's proxy index is
    // mapped to it first.
    QModelIndex miSource = index;
    if (m_pGroupTree->m_pProxy && index.model() == m_pGroupTree->m_pProxy)
        miSource = m_pGroupTree->m_pProxy->mapToSource(index);
    tessel::ICamera* pCamera = tessel::AsCamera(m_pGroupTree->m_pModel->FindElementByElementIndex(miSource));
    if (!pCamera || pCamera->GetElementID().empty())
        return;
    OnCameraChosen(pCamera);
}

void CLiveWindows::OnDrop(CStreamPlayWindowWithTask* pWindow, QDropEvent* pEvent)
{
    const int nIndex = m_vecWindows.indexOf(pWindow);
    LSA_CHECK(nIndex >= 0) return;
    if (!pEvent || !pEvent->mimeData())
        return;
    // Only the tree's drags carry both GUIDs.
    const QVariant vGroup = pEvent->mimeData()->property("GroupGUID");
    const QVariant vCamera = pEvent->mimeData()->property("CameraGUID");
    if (!vGroup.isValid() || !vCamera.isValid())
        return;
    const std::string strGroupGUID = vGroup.toString().toStdString();
    const std::string strGUID = vCamera.toString().toStdString();
    if (strGroupGUID.empty() || strGUID.empty() || PlayingGUID(pWindow) == strGUID)
        return;
    if (m_pLiveViewPlugin) {
        SetCamera(nIndex, CameraOfGUID(strGUID));
        Select(nIndex);
    }
    pWindow->StopLiveView();
    pWindow->StartLiveView(strGUID, kStreamType, false);
}

void CLiveWindows::OnCameraRemoved(const std::string& strGUID)
{
    for (int i = 0; i < kWindowCount; ++i) {
        CStreamPlayWindowWithTask* pWindow = m_vecWindows.value(i);
        if (IsPreviewing(pWindow) && PlayingGUID(pWindow) == strGUID) {
            pWindow->StopLiveView();
            pWindow->ForgetCamera(strGUID);
        }
        // The host deletes the camera after this notice: it must not stay the
        // window's camera, played or not (its start may have been refused).
        if (IsCameraOfGUID(Camera(i), strGUID))
            SetCamera(i, nullptr);
    }
}

void CLiveWindows::OnWindowSelected(CStreamPlayWindowWithTask* pWindow)
{
    const int nIndex = m_vecWindows.indexOf(pWindow);
    LSA_CHECK(nIndex >= 0) return;
    m_pSelected = pWindow;
    Select(nIndex);
}

void CLiveWindows::OnWindowClosed(CStreamPlayWindowWithTask* pWindow)
{
    const int nIndex = m_vecWindows.indexOf(pWindow);
    LSA_CHECK(nIndex >= 0) return;
    SetCamera(nIndex, nullptr);
}

void CLiveWindows::OnLiveViewState(const QObject* pReporter, const CLiveViewEvent& eventLiveView)
{
    // A camera that still plays in another window keeps its playing icon.
    if (eventLiveView.m_nKind == TesselPlayWindow::CLiveViewEvent::kKindStopped) {
        for (CStreamPlayWindowWithTask* pWindow : qAsConst(m_vecWindows)) {
            if (pWindow != pReporter && IsPreviewing(pWindow) && PlayingGUID(pWindow) == eventLiveView.m_strCameraGUID)
                return;
        }
    }
    LSA_CHECK(m_pGroupTree) return;
    m_pGroupTree->UpdateCameraPlayState(eventLiveView);
}

void CLiveWindows::ShowCameraInTree(const std::string& strGUID)
{
    LSA_CHECK(m_pGroupTree && m_pGroupTree->m_pModel && m_pGroupTree->m_pProxy) return;
    const QModelIndex miSource = m_pGroupTree->m_pModel->GetElementIndexByElementID(strGUID);
    const QModelIndex miProxy = m_pGroupTree->m_pProxy->mapFromSource(miSource);
    if (miProxy.isValid())
        m_pGroupTree->TreeView()->setCurrentIndex(miProxy);
}

void CLiveWindows::Collect(std::vector<std::string>& vecGuid)
{
    vecGuid.clear();
    vecGuid.resize(size_t(m_vecWindows.size()));
    for (CStreamPlayWindowWithTask* pWindow : qAsConst(m_vecWindows)) {
        const int nIndex = pWindow ? pWindow->GetPlayWindowIndex() : -1;
        if (IsPreviewing(pWindow) && nIndex >= 0 && size_t(nIndex) < vecGuid.size())
            vecGuid[size_t(nIndex)] = PlayingGUID(pWindow);
    }
    StopAll();
}

void CLiveWindows::Restore(const std::vector<std::string>& vecGuid)
{
    for (int i = 0; size_t(i) < vecGuid.size() && i < m_vecWindows.size(); ++i) {
        const std::string& strGUID = vecGuid[size_t(i)];
        if (strGUID.empty())
            continue;
        m_vecWindows.at(i)->StartLiveView(strGUID, kStreamType, false);
        if (m_pLiveViewPlugin) {
            SetCamera(i, CameraOfGUID(strGUID));
            Select(i);
        }
    }
}

} // namespace LinkageSnapAlarm
