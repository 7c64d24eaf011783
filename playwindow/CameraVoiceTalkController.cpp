#include "playwindow/CameraVoiceTalkController.h"

#include "playwindow/PlayWindowTexts.h"

#include "Miravel/InformationMgr.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "tessel/ICamera.h"

CCameraVoiceTalkController::CCameraVoiceTalkController() = default;
CCameraVoiceTalkController::~CCameraVoiceTalkController() = default;

bool CCameraVoiceTalkController::StartTalk(tessel::ICamera* pCamera, QWidget* pParent)
{
    if (!pCamera || pCamera->GetElementID().empty())
        return false;
    if (!pCamera->HasSound() || !pCamera->HasRight(tessel::CameraRightSound)) {
        TesselGUIToolkit::CUiSingleton<Miravel::CInformationMgr>::Instance().ShowInformationAtScreenRightBottom(
            PlayWindowTexts::Text(PlayWindowTexts::VoiceTalkNotAllowed), pParent, false, false, false);
        return false;
    }
    if (m_setTalking.insert(pCamera->GetElementID()).second)
        emit SignalTalkStateChanged(QString::fromStdString(pCamera->GetElementID()), true);
    return true;
}

void CCameraVoiceTalkController::StopTalk(const std::string& strCameraGUID)
{
    if (m_setTalking.erase(strCameraGUID) > 0)
        emit SignalTalkStateChanged(QString::fromStdString(strCameraGUID), false);
}

bool CCameraVoiceTalkController::IsTalking(const std::string& strCameraGUID) const
{
    return m_setTalking.count(strCameraGUID) > 0;
}
