#include "Ostrel/UserDataPath.h"
#include "Fendra/SingletonImpl.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace Ostrel {

CUserDataPath::CUserDataPath() = default;

namespace {
// Read every time: the data location follows the environment (XDG_DATA_HOME).
std::string UserFolder(const QString& strName)
{
    const QString strPath = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                            + QStringLiteral("/LinkageHost/") + strName + QLatin1Char('/');
    QDir().mkpath(strPath);
    return QFile::encodeName(QDir::toNativeSeparators(strPath)).toStdString();
}
} // namespace

std::string CUserDataPath::componentPath() const
{
    return UserFolder(QStringLiteral("components"));
}

std::string CUserDataPath::snapshotPath() const
{
    return UserFolder(QStringLiteral("snapshots"));
}

std::string CUserDataPath::recordPath() const
{
    return UserFolder(QStringLiteral("recordings"));
}

std::string CUserDataPath::logPath() const
{
    return UserFolder(QStringLiteral("logs"));
}

} // namespace Ostrel

// The one holder of this type, in host code (see Fendra/Singleton.h).
FENDRA_HOST_SINGLETON(Ostrel::CUserDataPath)
