#include "common/FreeSpace.h"

#include "common/LinkageRules.h"

#include "Fendra/DiskDriveUtil.h"

#include <QFile>

namespace LinkageSnapAlarm::FreeSpace {

SpaceCheck CheckFreeSpace(const QString& strFolder)
{
    Fendra::U_LARGE_PART total{};
    Fendra::U_LARGE_PART free{};
    if (Fendra::DiskDriveUtil::GetLocalDriveSpace(QFile::encodeName(strFolder).constData(), &total, &free) != 0)
        return SpaceCheck::Unknown;
    return (free.QuadPart >> 20) < kMinFreeSpaceMiB ? SpaceCheck::NotEnough : SpaceCheck::Enough;
}

} // namespace LinkageSnapAlarm::FreeSpace
