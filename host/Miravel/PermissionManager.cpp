#include "Miravel/PermissionManager.h"

#include "Miravel/InformationMgr.h"
#include "TesselGUIToolkit/ObjectSingleton.h"
#include "tessel/GroupManager.h"
#include "tessel/ICamera.h"

#include <algorithm>
#include <iterator>

namespace Miravel {

CPermissionManager::CPermissionManager() = default;
CPermissionManager::~CPermissionManager() = default;

bool CPermissionManager::verityResPermission(int nModule, int nRight, const std::string& strResGuid, QWidget* pParent,
                                             ShowNoPrivilegeWay eWay)
{
    const bool bDenied = !IsGranted(nModule, nRight, strResGuid);
    if (bDenied && eWay == NoPrivilegeNotice)
        TesselGUIToolkit::CUiSingleton<CInformationMgr>::Instance().ShowInformationAtScreenRightBottom(
            QObject::tr("NoPermission"), pParent, false, false, false);
    return !bDenied;
}

bool CPermissionManager::IsGranted(int nModule, int nRight, const std::string& strResGuid)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_setDenied.count({nModule, nRight, strResGuid}) > 0)
            return false;
    }
    if (nModule != PermissionModuleCamera)
        return true;
    static const std::pair<int, tessel::CameraRight> kRights[] = {
        {RightCodeLiveView, tessel::CameraRightLiveView},     {RightCodePTZ, tessel::CameraRightPTZ},
        {RightCodeScreenshot, tessel::CameraRightScreenshot}, {RightCodeRecord, tessel::CameraRightRecord},
        {RightCodeSound, tessel::CameraRightSound},           {RightCodePlayback, tessel::CameraRightPlayback},
    };
    const auto* pIt = std::find_if(std::begin(kRights), std::end(kRights),
                                   [nRight](const auto& right) { return right.first == nRight; });
    const tessel::ICamera* pCamera = tessel::CGroupManager::Instance().FindCamera(strResGuid);
    return pIt != std::end(kRights) && pCamera && pCamera->HasRight(pIt->second);
}

void CPermissionManager::Deny(int nModule, int nRight, const std::string& strResGuid)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_setDenied.emplace(nModule, nRight, strResGuid);
}

void CPermissionManager::GrantAll()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_setDenied.clear();
}

} // namespace Miravel
