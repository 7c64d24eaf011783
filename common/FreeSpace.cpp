#include "common/FreeSpace.h"

#include "common/LinkageRules.h"

#include "Fendra/DiskDriveUtil.h"

#include <QFile>

namespace LinkageSnapAlarm::FreeSpace {

SpaceCheck CheckFreeSpace(const QString& strFolder)
{
    const std::optional<qint64> optFree = FreeBytes(strFolder);
    if (!optFree)
        return SpaceCheck::Unknown;
    return quint64(*optFree >> 20) < kMinFreeSpaceMiB ? SpaceCheck::NotEnough : SpaceCheck::Enough;
}

std::optional<qint64> FreeBytes(const QString& strFolder)
{
    Fendra::U_LARGE_PART total{};
    Fendra::U_LARGE_PART free{};
    if (Fendra::DiskDriveUtil::GetLocalDriveSpace(QFile::encodeName(strFolder).constData(), &total, &free) != 0)
        return std::nullopt;
    return qint64(free.QuadPart);
}

} // namespace LinkageSnapAlarm::FreeSpace
