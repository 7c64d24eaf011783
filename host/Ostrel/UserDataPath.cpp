#include "Ostrel/UserDataPath.h"
#include "Fendra/SingletonImpl.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

namespace Ostrel {

CUserDataPath::CUserDataPath() = default;

std::string CUserDataPath::componentPath() const
{
    // Read every time: the data location follows the environment (XDG_DATA_HOME).
    const QString strPath = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                            + QStringLiteral("/LinkageHost/components/");
    QDir().mkpath(strPath);
    return QFile::encodeName(QDir::toNativeSeparators(strPath)).toStdString();
}

} // namespace Ostrel

// The one holder of this type, in host code (see Fendra/Singleton.h).
FENDRA_HOST_SINGLETON(Ostrel::CUserDataPath)
