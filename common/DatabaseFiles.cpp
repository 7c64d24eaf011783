#include "common/DatabaseFiles.h"

#include <QDateTime>
#include <QFile>

namespace LinkageSnapAlarm::DatabaseFiles {

QString SetAside(const QString& strPath)
{
    const QString strAside = strPath + QStringLiteral(".damaged-")
                             + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString strTarget = strAside;
    for (int i = 1; QFile::exists(strTarget); ++i)
        strTarget = strAside + QLatin1Char('-') + QString::number(i);
    if (!QFile::rename(strPath, strTarget))
        return QString();
    // A journal belongs to the damaged file, never to the fresh one.
    for (const char* szSuffix : {"-journal", "-wal", "-shm"})
        QFile::rename(strPath + QLatin1String(szSuffix), strTarget + QLatin1String(szSuffix));
    return strTarget;
}

} // namespace LinkageSnapAlarm::DatabaseFiles
