#include "Miravel/SystemStatusMonitor.h"

#include "Fendra/DiskDriveUtil.h"
#include "Ostrel/UserDataPath.h"

namespace Miravel {

CSystemStatusMonitor::CSystemStatusMonitor() = default;
CSystemStatusMonitor::~CSystemStatusMonitor() = default;

bool CSystemStatusMonitor::IsSnapshotSpaceEnough() const
{
    Fendra::U_LARGE_PART total{}, free{};
    const std::string strFolder = Ostrel::CUserDataPath().snapshotPath();
    if (Fendra::DiskDriveUtil::GetLocalDriveSpace(strFolder.c_str(), &total, &free) != 0)
        return false;
    return free.QuadPart / (1024u * 1024u) >= kMinSnapshotFreeMiB;
}

} // namespace Miravel
