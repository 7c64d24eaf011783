#include "savepic/FolderCheckCache.h"

#include "common/FreeSpace.h"
#include "savepic/SaveFailureLog.h"

#include "common/LinkageRules.h"

#include <QDir>

#include <cerrno>
#include <cstring>

namespace LinkageSnapAlarm {

CFolderCheckCache::Result CFolderCheckCache::Check(const QString& strFolder, bool& bReused)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto tpNow = std::chrono::steady_clock::now();
    bReused = m_bValid && m_strFolder == strFolder && tpNow - m_tpChecked < kReuseFor;
    if (bReused)
        return Result::Ready;
    m_bValid = false;
    // The space of the file system the picture goes to; an unknown answer does
    // not stop the attempt.
    if (FreeSpace::CheckFreeSpace(strFolder) == FreeSpace::SpaceCheck::NotEnough) {
        SaveFailureLog::Failed(QStringLiteral("less than %1 MiB free for %2").arg(kMinFreeSpaceMiB).arg(strFolder));
        return Result::NotEnoughSpace;
    }
    if (!QDir().mkpath(strFolder)) {
        SaveFailureLog::Failed(
            QStringLiteral("folder %1 not made: %2").arg(strFolder, QString::fromLocal8Bit(std::strerror(errno))));
        return Result::FolderFailed;
    }
    m_strFolder = strFolder;
    m_tpChecked = tpNow;
    m_bValid = true;
    return Result::Ready;
}

void CFolderCheckCache::Forget()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bValid = false;
}

} // namespace LinkageSnapAlarm
