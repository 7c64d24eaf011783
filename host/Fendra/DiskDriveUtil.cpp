#include "Fendra/DiskDriveUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/statvfs.h>

#include <mutex>

namespace Fendra {
namespace {

std::mutex& OverrideMutex()
{
    static std::mutex s_mutex;
    return s_mutex;
}

DiskDriveUtil::FreeSpaceQuery& Override()
{
    static DiskDriveUtil::FreeSpaceQuery s_fnQuery;
    return s_fnQuery;
}

// The location itself or its nearest existing parent; empty when nothing exists.
QString NearestExisting(const QString& strLocation)
{
    QString strPath = QDir::cleanPath(QDir(strLocation).absolutePath());
    while (!QFileInfo::exists(strPath)) {
        const QString strParent = QFileInfo(strPath).path();
        if (strParent == strPath)
            return QString();
        strPath = strParent;
    }
    return strPath;
}

} // namespace

int DiskDriveUtil::GetLocalDriveSpace(const char* szLocation, U_LARGE_PART* pTotal, U_LARGE_PART* pFree)
{
    if (!szLocation || !*szLocation)
        return -1;
    FreeSpaceQuery fnQuery;
    {
        std::lock_guard<std::mutex> lock(OverrideMutex());
        fnQuery = Override();
    }
    if (fnQuery) {
        std::uint64_t nFree = 0;
        const int nResult = fnQuery(szLocation, nFree);
        if (nResult == 0) {
            if (pTotal)
                pTotal->QuadPart = nFree;
            if (pFree)
                pFree->QuadPart = nFree;
        }
        return nResult;
    }

    const QString strExisting = NearestExisting(QFile::decodeName(szLocation));
    struct statvfs stat
    {
    };
    if (strExisting.isEmpty() || statvfs(QFile::encodeName(strExisting).constData(), &stat) != 0)
        return -1;
    if (pTotal)
        pTotal->QuadPart = std::uint64_t(stat.f_blocks) * stat.f_frsize;
    if (pFree)
        pFree->QuadPart = std::uint64_t(stat.f_bavail) * stat.f_frsize;
    return 0;
}

void DiskDriveUtil::SetFreeSpaceOverride(FreeSpaceQuery fnQuery)
{
    std::lock_guard<std::mutex> lock(OverrideMutex());
    Override() = std::move(fnQuery);
}

} // namespace Fendra
