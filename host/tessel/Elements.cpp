#include "tessel/IAlarmInput.h"
#include "tessel/ICamera.h"
#include "tessel/ILocalDataManager.h"

#include <tuple>
#include <utility>

namespace tessel {

// Out of line so that the type information lives once, in the host library,
// and downcasts work across the plug-in boundary.
IElement::~IElement() = default;
ICamera::~ICamera() = default;
ILocalDataManager::~ILocalDataManager() = default;

CCamera::CCamera(CameraInfo info)
    : m_info(std::move(info))
{
}

CCamera::~CCamera() = default;

bool CameraInfo::operator==(const CameraInfo& other) const
{
    auto tie = [](const CameraInfo& c) {
        return std::tie(c.strGUID, c.strName, c.strGroupID, c.bOnline, c.bEnabled, c.strAlarmSourceID, c.strDeviceName,
                        c.nChannel, c.strStreamUrl, c.bHasPTZ, c.bHasSound, c.uRights, c.strLinkageRole, c.analytics,
                        c.nBufferSeconds, c.nBufferMiB);
    };
    return tie(*this) == tie(other);
}

} // namespace tessel

namespace tessel {

CAlarmInput::CAlarmInput(AlarmInputInfo info)
    : m_info(std::move(info))
{
}

CAlarmInput::~CAlarmInput() = default;

} // namespace tessel
