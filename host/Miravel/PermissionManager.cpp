#include "Miravel/PermissionManager.h"

#include "Miravel/InformationMgr.h"
#include "TesselGUIToolkit/ObjectSingleton.h"

namespace Miravel {

CPermissionManager::CPermissionManager() = default;
CPermissionManager::~CPermissionManager() = default;

bool CPermissionManager::verityResPermission(int nModule, int nRight, const std::string& strResGuid,
                                             QWidget* pParent, ShowNoPrivilegeWay eWay)
{
    bool bDenied = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        bDenied = m_setDenied.count({nModule, nRight, strResGuid}) > 0;
    }
    if (bDenied && eWay == NoPrivilegeNotice)
        TesselGUIToolkit::CUiSingleton<CInformationMgr>::Instance().ShowInformationAtScreenRightBottom(
            QObject::tr("NoPermission"), pParent, false, false, false);
    return !bDenied;
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
