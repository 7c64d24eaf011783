#include "playwindow/LiveViewController.h"

#include "playwindow/PlayWindowTexts.h"

#include "Vantrel/LiveViewControllerPlugin.h"
#include "playwindow/CameraVoiceTalkController.h"
#include "playwindow/LiveViewActionStates.h"

#include "Miravel/ErrorInfoMgr.h"
#include "Miravel/InformationMgr.h"
#include "Miravel/LocalLogManager.h"
#include "Miravel/PermissionManager.h"
#include "Miravel/SystemStatusMonitor.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "Vantrel/PreviewICamera.h"
#include "playwindow/PlayWindowLogging.h"
#include "protocol/LogText.h"
#include "tessel/ICamera.h"

#include <utility>

namespace {
// Permission codes of the live view module and its rights.
constexpr int kModuleLiveView = 2;
constexpr int kRightLiveView = 1;
constexpr int kRightScreenshot = 3;
constexpr int kRightRecord = 4;
constexpr int kRightSound = 6;

bool Permitted(int nRight, const std::string& strGUID, QWidget* pParent)
{
    auto* pPermissions = TesselGUIToolkit::CObjectSingleton<Miravel::CPermissionManager>::Instance();
    return !pPermissions
           || pPermissions->verityResPermission(kModuleLiveView, nRight, strGUID, pParent, Miravel::NoPrivilegeNotice);
}

Miravel::CInformationMgr& Notices()
{
    return TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance();
}
} // namespace

CLiveViewController::CLiveViewController(CLiveViewControllerPlugin* pPlugin, QWidget* pWindow)
    : QObject(pWindow)
    , m_pPlugin(pPlugin)
    , m_pWindow(pWindow)
    , m_pPreview(new Vantrel::CPreviewICamera(this))
{
    // Notifications come from streaming threads' posts; always queued to us.
    connect(m_pPreview, &Vantrel::CBasePreview::signalPreviewNotify, this, &CLiveViewController::OnPreviewNotify,
            Qt::QueuedConnection);
}

CLiveViewController::~CLiveViewController() = default;

tessel::ICamera* CLiveViewController::ResolveCamera(const std::string& strGUID) const
{
    if (!m_pPlugin || strGUID.empty())
        return nullptr;
    tessel::ICamera* pCamera = tessel::AsCamera(m_pPlugin->GetElementByGUID(strGUID));
    return pCamera && !pCamera->GetElementID().empty() ? pCamera : nullptr;
}

int CLiveViewController::HostStreamType(int nStreamType, int nChannelKind) const
{
    if (nStreamType == kStreamTypeAsGiven)
        return nStreamType;
    const int nType = nChannelKind == 2 ? 0 : nStreamType;
    if (!m_bAlternateStream)
        return nType;
    switch (nType) {
    case 0:
        return 12;
    case 1:
        return 10;
    case 2:
        return 11;
    default:
        return nType;
    }
}

bool CLiveViewController::StartPreview(const std::string& strGUID, int nStreamType, WId hWnd)
{
    m_nFailKind = m_nFailCode = 0;
    m_bFailureTold = false;
    tessel::ICamera* pCamera = ResolveCamera(strGUID);
    if (!pCamera) {
        m_nFailKind = kFailKindNoCamera;
        m_nFailCode = kFailCodeNoCamera;
        return false;
    }
    if (m_pPreview->IsPreview())
        StopPreview();
    m_pPreview->SetParam(pCamera);
    Vantrel::CameraChannelData channel;
    Vantrel::CameraDeviceData device;
    if (!m_pPreview->getCameraDeviceData(channel, device)) {
        channel.nChannel = pCamera->GetChannel();
        device.strDeviceName = pCamera->GetDeviceName();
    }
    m_pPreview->SetDeviceIsEagle(device.bEagleEye);
    const int nHostStream = HostStreamType(nStreamType, channel.nChannelKind);
    if (!m_pPreview->StartPreview(hWnd, nHostStream, 0, false)) {
        TellFailure(Miravel::CErrorInfoMgr::GetErrorInfo());
        m_pPreview->SetParam(nullptr);
        return false;
    }
    Miravel::CLocalLogManager::writeOperationLog(Miravel::CLocalLogManager::LogStartLiveView,
                                                 QString::fromStdString(pCamera->GetElementName()),
                                                 QString::fromStdString(device.strDeviceName));
    return true;
}

void CLiveViewController::StopPreview()
{
    tessel::ICamera* pCamera = m_pPreview->GetPreviewCamera();
    const bool bWasRunning = m_pPreview->IsPreview();
    StopRecord();
    CloseSound();
    m_pPreview->StopPreview();
    m_pPreview->SetParam(nullptr);
    if (pCamera && bWasRunning)
        Miravel::CLocalLogManager::writeOperationLog(Miravel::CLocalLogManager::LogStopLiveView,
                                                     QString::fromStdString(pCamera->GetElementName()),
                                                     QString::fromStdString(pCamera->GetDeviceName()));
}

void CLiveViewController::ForgetCamera(const std::string& strGUID)
{
    tessel::ICamera* pCamera = m_pPreview->GetPreviewCamera();
    // The camera object may be about to go: compare by GUID only while set.
    if (!pCamera || pCamera->GetElementID() != strGUID)
        return;
    if (auto* pTalk = TesselGUIToolkit::CObjectSingleton<CCameraVoiceTalkController>::Instance();
        pTalk && pTalk->IsTalking(strGUID))
        pTalk->StopTalk(strGUID);
    m_pPreview->StopPreview();
    m_pPreview->SetParam(nullptr);
}

void CLiveViewController::ApplyActionStates(int nKind)
{
    // A stop queued by a preview that has since been started again belongs to
    // the old stream: the running one keeps its actions.
    if (nKind == CLiveViewActionStates::KindStopped && m_pPreview->IsPreview())
        return;
    const CLiveViewActionStates::PreviewFacts facts{m_pPreview->IsPreview(), m_pPreview->IsRecord()};
    CLiveViewActionStates::Apply(m_pMenuMgr, nKind, facts);
    switch (nKind) {
    case CLiveViewActionStates::KindStopped:
        m_pPreview->CloseShowRegion();
        m_bNoticeReconnected = false;
        break;
    case Vantrel::NotifyStreamLost:
        m_bNoticeReconnected = true;
        break;
    case CLiveViewActionStates::KindRunningAgain:
        if (m_bNoticeReconnected)
            Notices().ShowInfoAtRightBottomANDAddEvent(
                CameraName() + PlayWindowTexts::Text(PlayWindowTexts::Reconnected), m_pWindow);
        m_bNoticeReconnected = false;
        break;
    default:
        break;
    }
}

void CLiveViewController::TellFailure(const QString& strError)
{
    // A start that fails at once and its stream's error report are one failure.
    if (std::exchange(m_bFailureTold, true))
        return;
    Notices().ShowLastErrorInfo(strError, CameraName(), PlayWindowTexts::Text(PlayWindowTexts::LiveViewFailed),
                                m_pWindow);
}

bool CLiveViewController::HasRunningCamera() const
{
    return m_pPreview->IsPreview() && m_pPreview->GetPreviewCamera();
}

QString CLiveViewController::CameraName() const
{
    tessel::ICamera* pCamera = m_pPreview->GetPreviewCamera();
    return pCamera ? QString::fromStdString(pCamera->GetElementName()) : QString();
}

bool CLiveViewController::Capture()
{
    if (!HasRunningCamera())
        return false;
    tessel::ICamera* pCamera = m_pPreview->GetPreviewCamera();
    if (!Permitted(kRightScreenshot, pCamera->GetElementID(), m_pWindow))
        return false;
    auto* pMonitor = TesselGUIToolkit::CObjectSingleton<Miravel::CSystemStatusMonitor>::CreateInstance();
    if (!pMonitor->IsSnapshotSpaceEnough()) {
        Notices().ShowInfoAtRightBottomANDAddEvent(PlayWindowTexts::Text(PlayWindowTexts::NoEnoughHDDSpace), m_pWindow);
        return false;
    }
    if (!m_pPreview->Snapshot()) {
        Notices().ShowLastErrorInfo(Miravel::CErrorInfoMgr::GetErrorInfo(), CameraName(),
                                    PlayWindowTexts::Text(PlayWindowTexts::CaptureFailed), m_pWindow);
        return false;
    }
    const QString strPath = QString::fromStdString(m_pPreview->GetLastSnapshotPath());
    Notices().ShowSnapshotAtScreenRightBottom(strPath, m_pWindow);
    Miravel::CLocalLogManager::writeOperationLog(Miravel::CLocalLogManager::LogSnapshot, CameraName(),
                                                 QString::fromStdString(pCamera->GetDeviceName()));
    return true;
}

bool CLiveViewController::StartRecord()
{
    if (!HasRunningCamera())
        return false;
    if (!Permitted(kRightRecord, m_pPreview->GetPreviewCamera()->GetElementID(), m_pWindow))
        return false;
    if (m_pPreview->IsRecord())
        return true;
    if (m_pPreview->StartRecord())
        return true;
    int nFirst = 4, nSecond = 0;
    Miravel::CErrorInfoMgr::GetErrorCode(nFirst, nSecond);
    Notices().ShowLastErrorInfo(Miravel::CErrorInfoMgr::GetErrorInfoByCode(nFirst, nSecond), CameraName(),
                                PlayWindowTexts::Text(PlayWindowTexts::StartingRecordingFailed), m_pWindow);
    return false;
}

void CLiveViewController::StopRecord()
{
    if (m_pPreview->IsRecord())
        m_pPreview->StopRecord();
}

bool CLiveViewController::OpenSound()
{
    if (!HasRunningCamera())
        return false;
    if (m_pPreview->IsOpenSound())
        return true;
    if (!Permitted(kRightSound, m_pPreview->GetPreviewCamera()->GetElementID(), m_pWindow))
        return false;
    if (m_pPreview->OpenSound())
        return true;
    Notices().ShowLastErrorInfo(Miravel::CErrorInfoMgr::GetErrorInfo(), CameraName(),
                                PlayWindowTexts::Text(PlayWindowTexts::OpeningSoundFailed), m_pWindow);
    return false;
}

void CLiveViewController::CloseSound()
{
    if (m_pPreview->IsOpenSound())
        m_pPreview->CloseSound();
}

void CLiveViewController::OnPreviewNotify(const Vantrel::CPreviewObserver::Param& param)
{
    qCDebug(lcPlayWindow) << "preview notification" << param.nKind
                          << protocol::EscapeForLog(param.strCameraGUID).c_str();
    ApplyActionStates(param.nKind);
    if (param.nKind == Vantrel::NotifyError)
        TellFailure(QString::fromStdString(param.strText));
    emit SignalLiveViewEvent(TesselPlayWindow::MakeLiveViewEvent(param));
}
